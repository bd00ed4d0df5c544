#include "tests/support/fault_walk.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

#include "platform/file_system.h"

namespace tessel::test {

std::string DescribeFault(const TFault& fault) {
  return std::string(FsCallName(fault.kind)) + " #" + std::to_string(fault.nth) + " (" +
         PlatformErrorText(fault.error) + ")";
}

int TypicalError(TFsCall kind) {
  switch (kind) {
    case TFsCall::Write:
    case TFsCall::Flush:
    case TFsCall::Close:
    case TFsCall::MakeDirectory:
      return ENOSPC;
    case TFsCall::Stat:
    case TFsCall::List:
      return ENOENT;
    case TFsCall::OpenWrite:
      return EACCES;
    default:
      return EIO;
  }
}

std::vector<TFsCall> AllFsCalls() {
  std::vector<TFsCall> kinds;
  for (int k = 0; k < static_cast<int>(TFsCall::Count_); ++k) kinds.push_back(TFsCall(k));
  return kinds;
}

int WalkFaults(const std::vector<TFsCall>& kinds, const std::function<bool(const TFault&)>& run) {
  int reached = 0;
  for (const TFsCall kind : kinds) {
    for (int n = 1;; ++n) {
      const TFault fault{kind, n, TypicalError(kind)};
      SCOPED_TRACE(DescribeFault(fault));
      if (!run(fault)) break;
      ++reached;
      if (n >= 500) {
        ADD_FAILURE() << "the operation never gets past the fault";
        break;
      }
    }
  }
  return reached;
}

TFileMap FilesOf(const TMemoryFileSystem& fs) {
  TFileMap files;
  for (const std::string& path : fs.Files()) files[path] = *fs.FileBytes(path);
  return files;
}

std::string NeitherOldNorNew(const TFileMap& before, const TFileMap& expected,
                             const TFileMap& after,
                             const std::function<bool(const std::string&)>& skip) {
  std::set<std::string> paths;
  for (const auto* map : {&before, &expected, &after}) {
    for (const auto& entry : *map) paths.insert(entry.first);
  }
  auto state = [](const TFileMap& map, const std::string& path) {
    auto it = map.find(path);
    return it == map.end() ? std::string("<missing>") : "[" + it->second + "]";
  };
  std::string wrong;
  for (const std::string& path : paths) {
    if (skip && skip(path)) continue;
    const std::string now = state(after, path);
    if (now != state(before, path) && now != state(expected, path)) {
      wrong += path + " holds " + now.substr(0, 200) + "\n";
    }
  }
  return wrong;
}

}  // namespace tessel::test

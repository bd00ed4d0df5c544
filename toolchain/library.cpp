#include "toolchain/library.h"

#include <cstdio>
#include <ostream>

#include "platform/case_fold.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "toolchain/cross_tools.h"
#include "toolchain/tool_main.h"

namespace tessel::toolchain {

namespace {

std::vector<std::string> Members(const std::string& hostLibrary, std::ostream& out) {
  TRunResult listing = RunCrossTool(kCrossAr, {"t", hostLibrary});
  if (listing.exitCode != 0) {
    Report("optlnk", listing.exitCode, listing.output, out);
    throw EToolError("cannot read the library " + hostLibrary);
  }
  std::vector<std::string> members;
  size_t begin = 0;
  while (begin < listing.output.size()) {
    size_t end = listing.output.find('\n', begin);
    if (end == std::string::npos) end = listing.output.size();
    const std::string name = listing.output.substr(begin, end - begin);
    if (!name.empty()) members.push_back(name);
    begin = end + 1;
  }
  return members;
}

}  // namespace

bool ChangeLibrary(const TLibraryChange& change, std::ostream& out) {
  const std::string hostOutput = HostPath(change.output);
  const std::string part = hostOutput + ".part";
  std::remove(part.c_str());
  if (!change.base.empty()) {
    if (!FileExists(change.base)) throw EToolError("library \"" + change.base + "\" not found");
    WriteFileBytes(part, ReadFileBytes(change.base));
  } else if (change.objects.empty()) {
    throw EToolError("no object to put into the new library");
  }
  auto fail = [&] {
    std::remove(part.c_str());
    return false;
  };

  if (!change.objects.empty()) {
    std::vector<std::string> args = {"rcs", part};
    for (const std::string& object : change.objects) {
      if (!FileExists(object)) {
        std::remove(part.c_str());
        throw EToolError("input file \"" + object + "\" not found");
      }
      args.push_back(HostPath(object));
    }
    TRunResult ar = RunCrossTool(kCrossAr, args);
    if (!Report("optlnk", ar.exitCode, ar.output, out)) return fail();
  }

  if (!change.deletions.empty()) {
    const std::vector<std::string> members = Members(part, out);
    std::vector<std::string> args = {"d", part};
    for (const std::string& module : change.deletions) {
      bool found = false;
      for (const std::string& member : members) {
        if (EqualFoldAscii(BaseName(member), module) || EqualFoldAscii(member, module)) {
          args.push_back(member);
          found = true;
        }
      }
      if (!found) out << "optlnk(0): warning: the library holds no module " << module << "\n";
    }
    if (args.size() > 2) {
      TRunResult ar = RunCrossTool(kCrossAr, args);
      if (!Report("optlnk", ar.exitCode, ar.output, out)) return fail();
      TRunResult index = RunCrossTool(kCrossAr, {"s", part});
      if (!Report("optlnk", index.exitCode, index.output, out)) return fail();
    }
  }
  MoveIntoPlace(part, hostOutput);
  return true;
}

}  // namespace tessel::toolchain

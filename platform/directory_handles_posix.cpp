#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

#include "platform/directory_handles.h"
#include "platform/host_stat_posix.h"

namespace tessel {

bool TDirectoryHandles::Stat(const std::string& path, size_t slash, TFileInfo& info) {
  struct stat st;
  if (slash + 1 >= path.size()) {  // no name: the directory itself
    if (::stat(path.c_str(), &st) != 0) return false;
    FillFileInfo(st, info);
    return true;
  }
  const std::string_view directory =
      slash == 0 ? std::string_view("/") : std::string_view(path).substr(0, slash);
  auto [handle, added] = handles_.TryEmplace(directory);
  if (added) {
    *handle = -1;
    if (open_.size() < kMaxHandles) {
      // Not a handle to read through: it only stands for the directory.
      const int opened = ::open(std::string(directory).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
      if (opened >= 0) {
        open_.push_back(opened);
        *handle = opened;
      }
    }
  }
  // A directory that cannot be opened is asked about through the whole path,
  // so that the failure and its reason are the ones a stat gives.
  const int result = *handle >= 0 ? ::fstatat(*handle, path.c_str() + slash + 1, &st, 0)
                                  : ::stat(path.c_str(), &st);
  if (result != 0) return false;
  FillFileInfo(st, info);
  return true;
}

void TDirectoryHandles::Close() {
  for (int handle : open_) ::close(handle);
  open_.clear();
  handles_.Clear();
}

}  // namespace tessel

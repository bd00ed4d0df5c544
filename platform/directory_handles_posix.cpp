#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

#include "platform/directory_handles.h"
#include "platform/host_stat_posix.h"

namespace tessel {

int TDirectoryHandles::Find(std::string_view directory) {
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
  return *handle;
}

bool TDirectoryHandles::Stat(int handle, const std::string& path, size_t slash, TFileInfo& info) {
  struct stat st;
  // Without a handle, or a name, the whole path is asked about, so that a
  // failure and its reason are the ones a stat gives.
  const bool whole = handle < 0 || slash + 1 >= path.size();
  if ((whole ? ::stat(path.c_str(), &st) : ::fstatat(handle, path.c_str() + slash + 1, &st, 0)) !=
      0) {
    return false;
  }
  FillFileInfo(st, info);
  return true;
}

void TDirectoryHandles::Close() {
  for (int handle : open_) ::close(handle);
  open_.clear();
  handles_.Clear();
}

}  // namespace tessel

#pragma once
// Handles on the directories a build looks into, so that a look-up of a
// file asks the system for one name instead of walking the file's whole
// path again: a build asks about thousands of files in a handful of
// directories. Only the machine's own file system has handles; the keeper
// of the handles closes them whenever entries may have changed, as a kept
// handle follows its directory when the path no longer leads there.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host_file_system.h"
#include "support/string_hash_map.h"

namespace tessel {

class TDirectoryHandles {
 public:
  TDirectoryHandles() = default;
  ~TDirectoryHandles() { Close(); }
  TDirectoryHandles(const TDirectoryHandles&) = delete;
  TDirectoryHandles& operator=(const TDirectoryHandles&) = delete;

  // Stat of the host path `path` (following links), whose last "/" is at
  // `slash`: the same answer and errno as a stat of the whole path.
  bool Stat(const std::string& path, size_t slash, TFileInfo& info) {
    return Stat(Find(DirectoryOf(path, slash)), path, slash, info);
  }
  // The handle on a host directory, opened when first asked for; -1 when
  // there is none (the directory cannot be opened, or too many are kept).
  int Find(std::string_view directory);
  // The same stat through a handle from Find on the path's directory.
  static bool Stat(int handle, const std::string& path, size_t slash, TFileInfo& info);
  static std::string_view DirectoryOf(const std::string& path, size_t slash) {
    return slash == 0 ? std::string_view("/") : std::string_view(path).substr(0, slash);
  }
  // Closes every handle.
  void Close();

  // At most this many handles are kept; past them paths are looked up whole.
  static constexpr size_t kMaxHandles = 256;

 private:
  TStringHashMap<int> handles_;  // host directory -> handle, -1: none
  std::vector<int> open_;
};

}  // namespace tessel

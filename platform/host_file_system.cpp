#include "platform/host_file_system.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/host_path.h"

namespace tessel {

namespace {

TFileSystem*& Current() {
  static TFileSystem* current = &RealFileSystem();
  return current;
}

}  // namespace

int64_t TOpenFile::CopyFrom(TOpenFile& source, int64_t count, bool& sourceFailed) {
  constexpr size_t kBlock = 1 << 16;
  std::string buffer(kBlock, '\0');
  int64_t done = 0;
  while (done < count) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(count - done, kBlock));
    const int64_t got = source.Read(buffer.data(), want);
    if (got < 0) {
      sourceFailed = true;
      return -1;
    }
    if (got == 0) break;
    if (!Write(buffer.data(), static_cast<size_t>(got))) {
      sourceFailed = false;
      return -1;
    }
    done += got;
  }
  return done;
}

TFileSystem& CurrentFileSystem() { return *Current(); }

TFileSystemScope::TFileSystemScope(TFileSystem& fileSystem) : previous_(Current()) {
  Current() = &fileSystem;
  DropDirectoryListings();
}

TFileSystemScope::~TFileSystemScope() {
  Current() = previous_;
  DropDirectoryListings();
}

}  // namespace tessel

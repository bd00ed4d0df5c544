#include "platform/host_file_system.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "platform/host_path.h"

namespace tessel {

namespace {

TFileSystem*& Current() {
  static TFileSystem* current = &RealFileSystem();
  return current;
}

}  // namespace

std::string LexicallyNormal(const std::string& absolute) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos < absolute.size()) {
    const size_t slash = absolute.find('/', pos);
    const size_t end = slash == std::string::npos ? absolute.size() : slash;
    const std::string part = absolute.substr(pos, end - pos);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

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

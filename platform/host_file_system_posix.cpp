// The machine's file system: each operation is the one system call (or C
// stream call) it stands for, so going through the interface costs one
// virtual call and nothing more.

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/host_file_system.h"
#include "platform/host_stat_posix.h"

namespace tessel {

void FillFileInfo(const struct stat& st, TFileInfo& info) {
  info.isDirectory = S_ISDIR(st.st_mode);
  info.isLink = S_ISLNK(st.st_mode);
  info.mode = static_cast<uint32_t>(st.st_mode & 07777);
  info.size = static_cast<int64_t>(st.st_size);
  info.writeTime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  info.device = static_cast<uint64_t>(st.st_dev);
  info.inode = static_cast<uint64_t>(st.st_ino);
}

namespace {

constexpr size_t kCopyBlock = 1 << 16;
constexpr size_t kKernelCopyBlock = 1 << 24;

class TPosixOpenFile final : public TOpenFile {
 public:
  explicit TPosixOpenFile(std::FILE* file) : file_(file) {}
  ~TPosixOpenFile() override {
    if (file_ != nullptr) std::fclose(file_);
  }

  int64_t Read(void* buffer, size_t count) override {
    if (count == 0) return 0;
    if (lastWasWrite_ && std::fflush(file_) != 0) return -1;
    lastWasWrite_ = false;
    const size_t got = std::fread(buffer, 1, count, file_);
    if (got < count && std::ferror(file_)) {
      std::clearerr(file_);
      return -1;
    }
    std::clearerr(file_);  // an end of file must not stick to later reads
    return static_cast<int64_t>(got);
  }

  bool Write(const void* buffer, size_t count) override {
    if (count == 0) return true;
    // C streams need a positioning call between a read and a write; a pipe
    // has no position and needs none.
    if (!lastWasWrite_ && std::fseek(file_, 0, SEEK_CUR) != 0 && errno != ESPIPE) return false;
    lastWasWrite_ = true;
    if (std::fwrite(buffer, 1, count, file_) != count) {
      std::clearerr(file_);
      return false;
    }
    return true;
  }

  bool Seek(int64_t position) override {
    if (position < 0) {
      errno = EINVAL;
      return false;
    }
    if (::fseeko(file_, static_cast<off_t>(position), SEEK_SET) != 0) return false;
    lastWasWrite_ = false;
    return true;
  }

  int64_t Position() override {
    const off_t pos = ::ftello(file_);
    return pos < 0 ? -1 : static_cast<int64_t>(pos);
  }

  int64_t Size() override {
    if (std::fflush(file_) != 0) return -1;
    struct stat st;
    if (::fstat(::fileno(file_), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
  }

  bool Truncate(int64_t size) override {
    return std::fflush(file_) == 0 && ::ftruncate(::fileno(file_), static_cast<off_t>(size)) == 0;
  }

  bool Stat(TFileInfo& info) override {
    struct stat st;
    if (::fstat(::fileno(file_), &st) != 0) return false;
    FillFileInfo(st, info);
    return true;
  }

  bool Flush() override { return std::fflush(file_) == 0; }

  bool Sync() override {
    if (std::fflush(file_) != 0) return false;
    return ::fdatasync(::fileno(file_)) == 0 || errno == EINVAL;
  }

  bool Close() override {
    std::FILE* file = file_;
    file_ = nullptr;
    return file == nullptr || std::fclose(file) == 0;
  }

  int64_t CopyFrom(TOpenFile& source, int64_t count, bool& sourceFailed) override;

  int Descriptor() const { return ::fileno(file_); }

 private:
  std::FILE* file_;
  bool lastWasWrite_ = false;
};

int64_t TPosixOpenFile::CopyFrom(TOpenFile& sourceFile, int64_t count, bool& sourceFailed) {
  auto* source = dynamic_cast<TPosixOpenFile*>(&sourceFile);
  if (source == nullptr) return TOpenFile::CopyFrom(sourceFile, count, sourceFailed);
  // Positions as the streams see them, buffered bytes included.
  const int64_t inAt = source->Position();
  if (inAt < 0) {
    sourceFailed = true;
    return -1;
  }
  const int64_t outAt = Position();
  if (outAt < 0 || std::fflush(file_) != 0) {
    sourceFailed = false;
    return -1;
  }
  off_t in = static_cast<off_t>(inAt);
  off_t out = static_cast<off_t>(outAt);
  const int from = source->Descriptor();
  const int to = Descriptor();

  int64_t done = 0;
  bool kernelCopy = true;
  std::string buffer;
  while (done < count) {
    const auto left = static_cast<size_t>(count - done);
    ssize_t moved;
    if (kernelCopy) {
      moved = ::copy_file_range(from, &in, to, &out, std::min(left, kKernelCopyBlock), 0);
      if (moved < 0 && errno != EINTR && errno != EIO && errno != ENOSPC) {
        // Not between these two files here: plain reads and writes.
        kernelCopy = false;
        continue;
      }
    } else {
      if (buffer.empty()) buffer.resize(kCopyBlock);
      moved = ::pread(from, buffer.data(), std::min(left, kCopyBlock), in);
      for (ssize_t put = 0; moved > 0 && put < moved;) {
        const ssize_t now =
            ::pwrite(to, buffer.data() + put, static_cast<size_t>(moved - put), out + put);
        if (now < 0) {
          if (errno == EINTR) continue;
          sourceFailed = false;
          return -1;
        }
        put += now;
      }
      if (moved > 0) {
        in += moved;
        out += moved;
      }
    }
    if (moved < 0) {
      if (errno == EINTR) continue;
      sourceFailed = !kernelCopy;
      return -1;
    }
    if (moved == 0) break;  // the end of the source
    done += moved;
  }
  // Both streams go on behind the copied bytes.
  if (!source->Seek(in)) {
    sourceFailed = true;
    return -1;
  }
  if (!Seek(out)) {
    sourceFailed = false;
    return -1;
  }
  return done;
}

class TPosixFileSystem final : public TFileSystem {
 public:
  bool Stat(const std::string& host, TFileInfo& info) override {
    struct stat st;
    if (::stat(host.c_str(), &st) != 0) return false;
    FillFileInfo(st, info);
    return true;
  }

  bool LinkStat(const std::string& host, TFileInfo& info) override {
    struct stat st;
    if (::lstat(host.c_str(), &st) != 0) return false;
    FillFileInfo(st, info);
    return true;
  }

  std::unique_ptr<TOpenFile> Open(const std::string& host, TOpenMode mode) override {
    // "e" keeps the file from the tools we start, "x" is O_EXCL; fopen
    // opens with one system call.
    const char* streamMode = "rbe";
    switch (mode) {
      case TOpenMode::Read:
        break;
      case TOpenMode::ReadWrite:
        streamMode = "r+be";
        break;
      case TOpenMode::Create:
        streamMode = "w+be";
        break;
      case TOpenMode::Append:
        streamMode = "abe";
        break;
      case TOpenMode::CreateNew:
        streamMode = "w+bxe";
        break;
    }
    std::FILE* file = std::fopen(host.c_str(), streamMode);
    if (file == nullptr) return nullptr;
    return std::make_unique<TPosixOpenFile>(file);
  }

  bool Remove(const std::string& host) override { return ::unlink(host.c_str()) == 0; }

  bool Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }

  bool RenameNoReplace(const std::string& from, const std::string& to) override {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
  }

  bool List(const std::string& host, std::vector<THostEntry>& entries) override {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(host.empty() ? "." : host.c_str()),
                                            ::closedir);
    if (!dir) return false;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
      const char* name = entry->d_name;
      if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
      THostEntry item;
      item.name = name;
      item.isDirectory = entry->d_type == DT_DIR;
      item.kindUnknown = entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK;
      entries.push_back(std::move(item));
      errno = 0;
    }
    return errno == 0;
  }

  bool MakeDirectory(const std::string& host) override { return ::mkdir(host.c_str(), 0777) == 0; }

  bool RemoveDirectory(const std::string& host) override { return ::rmdir(host.c_str()) == 0; }

  bool SetMode(const std::string& host, uint32_t mode) override {
    return ::chmod(host.c_str(), static_cast<mode_t>(mode & 07777)) == 0;
  }

  bool SetWriteTime(const std::string& host, int64_t writeTime) override {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    int64_t seconds = writeTime / 1000000000;
    int64_t nanoseconds = writeTime % 1000000000;
    if (nanoseconds < 0) {
      nanoseconds += 1000000000;
      --seconds;
    }
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = static_cast<long>(nanoseconds);
    return ::utimensat(AT_FDCWD, host.c_str(), times, 0) == 0;
  }

  bool CanCreateIn(const std::string& host) override {
    return ::access(host.c_str(), W_OK | X_OK) == 0;
  }

  uint32_t CreationMask() override {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<uint32_t>(mask);
  }

  std::string ResolveLinks(const std::string& host) override {
    char* resolved = ::realpath(host.c_str(), nullptr);
    if (resolved == nullptr) return std::string();
    std::string result = resolved;
    ::free(resolved);
    return result;
  }
};

}  // namespace

TFileSystem& RealFileSystem() {
  static TPosixFileSystem fileSystem;
  return fileSystem;
}

}  // namespace tessel

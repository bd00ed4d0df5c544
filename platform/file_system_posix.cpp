#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/case_fold.h"
#include "platform/clock.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/host_path_posix.h"
#include "platform/path_split.h"

namespace tessel {

namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool StatHost(const std::string& hostPath, struct stat& st) {
  return !hostPath.empty() && ::stat(hostPath.c_str(), &st) == 0;
}

// Drops the kept directory listings when the function that holds it ends,
// for functions that add, rename or remove entries.
struct TEntriesChange {
  TEntriesChange() = default;
  TEntriesChange(const TEntriesChange&) = delete;
  TEntriesChange& operator=(const TEntriesChange&) = delete;
  ~TEntriesChange() { DropDirectoryListings(); }
};

// Maps a system path and stats it; for a path that exists as written that is
// one stat in all.
bool StatSystem(const std::string& path, struct stat& st, std::string* hostOut = nullptr) {
  THostStat found;
  std::string host = HostPathStat(path, st, found);
  bool ok = found == THostStat::Found;
  if (found == THostStat::Unknown) ok = StatHost(host, st);
  if (hostOut != nullptr) *hostOut = std::move(host);
  return ok;
}

bool IsReadOnlyMode(mode_t mode) { return (mode & kWriteBits) == 0; }

// The read-only flag holds for every user, also for root, as it does on the
// system these paths come from.
bool RefuseReadOnly(const struct stat& st) {
  if (S_ISREG(st.st_mode) && IsReadOnlyMode(st.st_mode)) {
    errno = EACCES;
    return true;
  }
  return false;
}

// Restores errno when a clean-up call would overwrite the reason of a failure.
class TErrnoKeeper {
 public:
  TErrnoKeeper() : saved_(errno) {}
  ~TErrnoKeeper() { errno = saved_; }

 private:
  int saved_;
};

class TFd {
 public:
  explicit TFd(int fd) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) {
      TErrnoKeeper keep;
      ::close(fd_);
    }
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  // Closes and reports whether the last buffered data reached the disk.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool CopyContents(int from, int to) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(to, buffer + done, static_cast<size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += put;
    }
  }
}

bool CopyHostFile(const std::string& from, const std::string& to, bool failIfExists) {
  struct stat source;
  TFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.ok()) return false;
  if (::fstat(in.get(), &source) != 0) return false;
  if (S_ISDIR(source.st_mode)) {
    errno = EISDIR;
    return false;
  }
  struct stat target;
  const bool targetExists = ::stat(to.c_str(), &target) == 0;
  if (targetExists) {
    if (failIfExists) {
      errno = EEXIST;
      return false;
    }
    if (target.st_dev == source.st_dev && target.st_ino == source.st_ino) {
      // Truncating the target would destroy the source.
      errno = EINVAL;
      return false;
    }
    if (S_ISDIR(target.st_mode)) {
      errno = EISDIR;
      return false;
    }
    if (RefuseReadOnly(target)) return false;
  }
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (failIfExists ? O_EXCL : O_TRUNC);
  TFd out(::open(to.c_str(), flags, 0666));
  if (!out.ok()) return false;
  bool ok = CopyContents(in.get(), out.get());
  if (ok) {
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    ok = ::fchmod(out.get(), source.st_mode & 07777) == 0 && ::futimens(out.get(), times) == 0;
  }
  ok = out.Close() && ok;
  if (!ok) {
    TErrnoKeeper keep;
    ::unlink(to.c_str());
  }
  return ok;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return StatSystem(path, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return StatSystem(path, st) && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return StatSystem(path, st);
}

bool IsWritableDirectory(const std::string& path) {
  const std::string host = HostPath(path);
  struct stat st;
  return StatHost(host, st) && S_ISDIR(st.st_mode) && ::access(host.c_str(), W_OK | X_OK) == 0;
}

int64_t FileGetAttr(const std::string& path) {
  std::string host;
  struct stat st;
  if (!StatSystem(path, st, &host)) return -1;
  int64_t attr = 0;
  if (S_ISDIR(st.st_mode)) {
    attr |= faDirectory;
  } else {
    attr |= faArchive;
  }
  if (IsReadOnlyMode(st.st_mode)) attr |= faReadOnly;
  const std::string name =
      ExtractFileName(host.back() == '/' ? host.substr(0, host.size() - 1) : host);
  if (name.size() > 1 && name[0] == '.' && name != "..") attr |= faHidden;
  return attr;
}

bool SetReadOnly(const std::string& path, bool readOnly) {
  const std::string host = HostPath(path);
  struct stat st;
  if (!StatHost(host, st)) return false;
  mode_t mode = st.st_mode & 07777;
  if (readOnly) {
    mode &= ~kWriteBits;
  } else if (IsReadOnlyMode(mode)) {
    // Give back the write bits that the process's mask allows.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode |= kWriteBits & ~mask;
    mode |= S_IWUSR;
  }
  return ::chmod(host.c_str(), mode) == 0;
}

TFileStatus GetFileStatus(const std::string& path) {
  TFileStatus status;
  struct stat st;
  if (!StatSystem(path, st) || S_ISDIR(st.st_mode)) return status;
  status.exists = true;
  status.writeTime = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return status;
}

bool FileLastWriteTime(const std::string& path, TDateTime& out) {
  struct stat st;
  if (!StatSystem(path, st)) return false;
  out = LocalDateTimeFromUnix(st.st_mtim.tv_sec, 0) +
        static_cast<double>(st.st_mtim.tv_nsec) / 86400e9;
  return true;
}

bool SetFileLastWriteTime(const std::string& path, TDateTime localTime) {
  const std::string host = HostPath(path);
  if (host.empty()) return false;
  const DateTimeParts parts = DecodeDateTime(localTime);
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(UnixFromLocalDateTime(localTime));
  times[1].tv_nsec = static_cast<long>(parts.millisecond) * 1000000L;
  return ::utimensat(AT_FDCWD, host.c_str(), times, 0) == 0;
}

int64_t FileSizeOf(const std::string& path) {
  struct stat st;
  if (!StatSystem(path, st) || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool CopyFileTo(const std::string& source, const std::string& target, bool failIfExists) {
  TEntriesChange change;
  const std::string from = HostPath(source);
  const std::string to = HostPath(target);
  if (from.empty() || to.empty()) {
    errno = ENOENT;
    return false;
  }
  return CopyHostFile(from, to, failIfExists);
}

bool MoveFileTo(const std::string& source, const std::string& target) {
  TEntriesChange change;
  const std::string from = HostPath(source);
  std::string to = HostPath(target);
  struct stat src, dst;
  if (!StatHost(from, src) || to.empty()) {
    if (to.empty()) errno = ENOENT;
    return false;
  }
  if (StatHost(to, dst)) {
    if (dst.st_dev != src.st_dev || dst.st_ino != src.st_ino) {
      errno = EEXIST;
      return false;
    }
    // The same entry in another letter case: a rename to the name as written.
    to = JoinPath(ExtractFileDir(to), ExtractFileName(target));
    for (char& c : to) {
      if (c == '\\') c = '/';
    }
    if (to == from) return true;
    return ::rename(from.c_str(), to.c_str()) == 0;
  }
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno == EINVAL || errno == ENOSYS) {
    // File systems without no-replace renames: the check above must do.
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
  }
  if (errno == EXDEV && S_ISREG(src.st_mode)) {
    // Another file system: copy, then remove the original.
    if (!CopyHostFile(from, to, true)) return false;
    return ::unlink(from.c_str()) == 0;
  }
  return false;
}

bool DeleteFileAt(const std::string& path) {
  TEntriesChange change;
  const std::string host = HostPath(path);
  struct stat st;
  if (!StatHost(host, st)) {
    if (host.empty()) errno = ENOENT;
    // A dangling link is still an entry that can go.
    return !host.empty() && ::lstat(host.c_str(), &st) == 0 && ::unlink(host.c_str()) == 0;
  }
  if (S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  if (RefuseReadOnly(st)) return false;
  return ::unlink(host.c_str()) == 0;
}

bool CreateDirectoryAt(const std::string& path) {
  TEntriesChange change;
  const std::string host = HostPath(path);
  if (host.empty()) {
    errno = ENOENT;
    return false;
  }
  return ::mkdir(host.c_str(), 0777) == 0;
}

bool RemoveDirectoryAt(const std::string& path) {
  TEntriesChange change;
  const std::string host = HostPath(path);
  if (host.empty()) {
    errno = ENOENT;
    return false;
  }
  return ::rmdir(host.c_str()) == 0;
}

std::vector<DirEntry> ListDirectory(const std::string& pattern) {
  std::vector<DirEntry> entries;
  const std::string dirPart = ExtractFilePath(pattern);
  const std::string namePattern = ExtractFileName(pattern);
  if (namePattern.empty()) return entries;
  std::string host = dirPart.empty() ? std::string(".") : HostPath(dirPart);
  if (host.empty()) host = ".";
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(host.c_str()), ::closedir);
  if (!dir) return entries;
  const std::string prefix = host.back() == '/' ? host : host + "/";
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || !MatchesWildcard(name, namePattern)) continue;
    DirEntry item;
    item.name = name;
    if (entry->d_type == DT_DIR) {
      item.isDirectory = true;
    } else if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st;
      item.isDirectory = ::stat((prefix + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entries.push_back(std::move(item));
  }
  auto upper = [](std::string s) {
    for (char& c : s) c = FoldAscii(c);
    return s;
  };
  std::vector<std::pair<std::string, size_t>> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) keys.emplace_back(upper(entries[i].name), i);
  std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return entries[a.second].name < entries[b.second].name;  // names differing only in case
  });
  std::vector<DirEntry> sorted;
  sorted.reserve(entries.size());
  for (const auto& key : keys) sorted.push_back(std::move(entries[key.second]));
  return sorted;
}

std::string ReadFileBytes(const std::string& path) {
  TFile file(path, TFile::Mode::Read);
  std::string data;
  char buffer[1 << 16];
  for (;;) {
    const size_t got = file.Read(buffer, sizeof buffer);
    if (got == 0) break;
    data.append(buffer, got);
  }
  return data;
}

void WriteFileBytes(const std::string& path, const std::string& data) {
  TFile file(path, TFile::Mode::Create);
  file.Write(data);
  file.Close();
}

void AppendFileBytes(const std::string& path, const std::string& data) {
  TFile file(path, TFile::Mode::Append);
  file.Write(data);
  file.Close();
}

std::vector<std::string> ReadTextLines(const std::string& path) {
  TTextReader reader(path);
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  return lines;
}

std::string CurrentDirectory() {
  std::string buffer(256, '\0');
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(std::strlen(buffer.c_str()));
      return buffer;
    }
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

std::string PlatformErrorText(int errorCode) {
  char buffer[256];
  // Both the GNU and the XSI variant; the overloads pick whichever we have.
  struct Pick {
    static const char* From(char* result, char*) { return result; }
    static const char* From(int result, char* buffer) { return result == 0 ? buffer : nullptr; }
  };
  const char* text = Pick::From(::strerror_r(errorCode, buffer, sizeof buffer), buffer);
  if (text == nullptr || *text == '\0') return "Error " + std::to_string(errorCode);
  return text;
}

}  // namespace tessel

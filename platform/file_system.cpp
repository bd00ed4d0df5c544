// The file functions of the system's paths: the path mapping, then the
// primitives of the current file system (host_file_system.h).

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/case_fold.h"
#include "platform/clock.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/host_file_system.h"
#include "platform/host_path.h"
#include "platform/host_path_posix.h"
#include "platform/path_split.h"

namespace tessel {

namespace {

// An empty host path is one the mapping refused: missing, as far as anyone asks.
bool StatHost(const std::string& hostPath, TFileInfo& info) {
  if (hostPath.empty()) {
    errno = ENOENT;
    return false;
  }
  return CurrentFileSystem().Stat(hostPath, info);
}

// Refreshes the kept directory listings when the function that holds it
// ends, for functions that add, rename or remove entries.
struct TEntriesChange {
  TEntriesChange() = default;
  TEntriesChange(const TEntriesChange&) = delete;
  TEntriesChange& operator=(const TEntriesChange&) = delete;
  ~TEntriesChange() { RefreshDirectoryListings(); }
};

// Maps a system path and looks it up; for a path that exists as written
// that is one look-up in all.
bool StatSystem(const std::string& path, TFileInfo& info, std::string* hostOut = nullptr) {
  // Without a caller for the host path, its text is kept for the next one:
  // a build asks about thousands of files.
  thread_local std::string scratch;
  std::string& host = hostOut != nullptr ? *hostOut : scratch;
  THostStat found;
  HostPathStat(path, info, found, host);
  bool ok = found == THostStat::Found;
  if (found == THostStat::Unknown) ok = StatHost(host, info);
  return ok;
}

// The read-only flag holds for every user, also for root, as it does on the
// system these paths come from.
bool RefuseReadOnly(const TFileInfo& info) {
  if (!info.isDirectory && info.ReadOnly()) {
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

bool CopyContents(TOpenFile& from, TOpenFile& to) {
  std::string buffer(1 << 16, '\0');
  for (;;) {
    const int64_t got = from.Read(buffer.data(), buffer.size());
    if (got == 0) return true;
    if (got < 0 || !to.Write(buffer.data(), static_cast<size_t>(got))) return false;
  }
}

bool CopyHostFile(const std::string& from, const std::string& to, bool failIfExists) {
  TFileSystem& fs = CurrentFileSystem();
  std::unique_ptr<TOpenFile> in = fs.Open(from, TOpenMode::Read);
  if (!in) return false;
  TFileInfo source;
  if (!in->Stat(source)) return false;
  if (source.isDirectory) {
    errno = EISDIR;
    return false;
  }
  TFileInfo target;
  const bool targetExists = fs.Stat(to, target);
  if (targetExists) {
    if (failIfExists) {
      errno = EEXIST;
      return false;
    }
    if (target.device == source.device && target.inode == source.inode) {
      // Truncating the target would destroy the source.
      errno = EINVAL;
      return false;
    }
    if (target.isDirectory) {
      errno = EISDIR;
      return false;
    }
    if (RefuseReadOnly(target)) return false;
  }
  std::unique_ptr<TOpenFile> out =
      fs.Open(to, failIfExists ? TOpenMode::CreateNew : TOpenMode::Create);
  if (!out) return false;
  bool ok = CopyContents(*in, *out);
  ok = out->Close() && ok;
  // The copy keeps the source's date and read-only flag.
  ok = ok && fs.SetMode(to, source.mode) && fs.SetWriteTime(to, source.writeTime);
  if (!ok) {
    // The copy's failure is what the caller learns; taking the partial
    // target away may fail as well and has nothing to add to it.
    TErrnoKeeper keep;
    fs.Remove(to);
  }
  return ok;
}

}  // namespace

bool FileExists(const std::string& path) {
  TFileInfo info;
  return StatSystem(path, info) && !info.isDirectory;
}

bool DirectoryExists(const std::string& path) {
  TFileInfo info;
  return StatSystem(path, info) && info.isDirectory;
}

bool PathExists(const std::string& path) {
  TFileInfo info;
  return StatSystem(path, info);
}

bool IsWritableDirectory(const std::string& path) {
  const std::string host = HostPath(path);
  TFileInfo info;
  return StatHost(host, info) && info.isDirectory && CurrentFileSystem().CanCreateIn(host);
}

int64_t FileGetAttr(const std::string& path) {
  std::string host;
  TFileInfo info;
  if (!StatSystem(path, info, &host)) return -1;
  int64_t attr = 0;
  if (info.isDirectory) {
    attr |= faDirectory;
  } else {
    attr |= faArchive;
  }
  if (info.ReadOnly()) attr |= faReadOnly;
  const std::string name =
      ExtractFileName(host.back() == '/' ? host.substr(0, host.size() - 1) : host);
  if (name.size() > 1 && name[0] == '.' && name != "..") attr |= faHidden;
  return attr;
}

bool SetReadOnly(const std::string& path, bool readOnly) {
  const std::string host = HostPath(path);
  TFileInfo info;
  if (!StatHost(host, info)) return false;
  TFileSystem& fs = CurrentFileSystem();
  uint32_t mode = info.mode;
  if (readOnly) {
    mode &= ~0222u;
  } else if (info.ReadOnly()) {
    // Give back the write bits that the process's mask allows.
    mode |= 0222u & ~fs.CreationMask();
    mode |= 0200u;
  }
  return fs.SetMode(host, mode);
}

TFileStatus GetFileStatus(const std::string& path) {
  TFileStatus status;
  TFileInfo info;
  if (!StatSystem(path, info) || info.isDirectory) return status;
  status.exists = true;
  status.writeTime = info.writeTime;
  return status;
}

bool FileLastWriteTime(const std::string& path, TDateTime& out) {
  TFileInfo info;
  if (!StatSystem(path, info)) return false;
  int64_t seconds = info.writeTime / 1000000000;
  int64_t nanoseconds = info.writeTime % 1000000000;
  if (nanoseconds < 0) {
    nanoseconds += 1000000000;
    --seconds;
  }
  out = LocalDateTimeFromUnix(seconds, 0) + static_cast<double>(nanoseconds) / 86400e9;
  return true;
}

bool SetFileLastWriteTime(const std::string& path, TDateTime localTime) {
  const std::string host = HostPath(path);
  if (host.empty()) return false;
  const DateTimeParts parts = DecodeDateTime(localTime);
  const int64_t seconds = UnixFromLocalDateTime(localTime);
  return CurrentFileSystem().SetWriteTime(
      host, seconds * 1000000000 + static_cast<int64_t>(parts.millisecond) * 1000000);
}

int64_t FileSizeOf(const std::string& path) {
  TFileInfo info;
  if (!StatSystem(path, info) || info.isDirectory) return -1;
  return info.size;
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
  TFileSystem& fs = CurrentFileSystem();
  const std::string from = HostPath(source);
  std::string to = HostPath(target);
  TFileInfo src, dst;
  if (!StatHost(from, src) || to.empty()) {
    if (to.empty()) errno = ENOENT;
    return false;
  }
  if (StatHost(to, dst)) {
    if (dst.device != src.device || dst.inode != src.inode) {
      errno = EEXIST;
      return false;
    }
    // The same entry in another letter case: a rename to the name as written.
    to = JoinPath(ExtractFileDir(to), ExtractFileName(target));
    for (char& c : to) {
      if (c == '\\') c = '/';
    }
    if (to == from) return true;
    return fs.Rename(from, to);
  }
  if (fs.RenameNoReplace(from, to)) return true;
  if (errno == EINVAL || errno == ENOSYS) {
    // File systems without no-replace renames: the check above must do.
    if (fs.Rename(from, to)) return true;
  }
  if (errno == EXDEV && !src.isDirectory) {
    // Another file system: copy, then remove the original.
    if (!CopyHostFile(from, to, true)) return false;
    return fs.Remove(from);
  }
  return false;
}

bool DeleteFileAt(const std::string& path) {
  TEntriesChange change;
  TFileSystem& fs = CurrentFileSystem();
  const std::string host = HostPath(path);
  TFileInfo info;
  if (!StatHost(host, info)) {
    // A dangling link is still an entry that can go; for a missing one the
    // removal fails as the look-up did.
    return !host.empty() && fs.Remove(host);
  }
  if (info.isDirectory) {
    errno = EISDIR;
    return false;
  }
  if (RefuseReadOnly(info)) return false;
  return fs.Remove(host);
}

bool CreateDirectoryAt(const std::string& path) {
  TEntriesChange change;
  const std::string host = HostPath(path);
  if (host.empty()) {
    errno = ENOENT;
    return false;
  }
  return CurrentFileSystem().MakeDirectory(host);
}

bool RemoveDirectoryAt(const std::string& path) {
  TEntriesChange change;
  const std::string host = HostPath(path);
  if (host.empty()) {
    errno = ENOENT;
    return false;
  }
  return CurrentFileSystem().RemoveDirectory(host);
}

std::vector<DirEntry> ListDirectory(const std::string& pattern) {
  std::vector<DirEntry> entries;
  const std::string dirPart = ExtractFilePath(pattern);
  const std::string namePattern = ExtractFileName(pattern);
  if (namePattern.empty()) return entries;
  const std::string host = dirPart.empty() ? std::string(".") : HostPath(dirPart);
  // A directory outside the confinement lists nothing, not the current one.
  if (host.empty()) return entries;
  std::vector<THostEntry> listed;
  // A directory that cannot be read lists nothing, as a missing one does.
  CurrentFileSystem().List(host, listed);
  const std::string prefix = host.back() == '/' ? host : host + "/";
  for (THostEntry& entry : listed) {
    if (!MatchesWildcard(entry.name, namePattern)) continue;
    bool isDirectory = entry.isDirectory;
    if (entry.kindUnknown) {
      // A link counts as what it leads to.
      TFileInfo info;
      isDirectory = StatHost(prefix + entry.name, info) && info.isDirectory;
    }
    entries.push_back({std::move(entry.name), isDirectory});
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

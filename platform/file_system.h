#pragma once
// File system operations on system paths (mapped through HostPath), built on
// the current file system of host_file_system.h. Query functions never
// throw; the Read/Write helpers throw EFileError with the platform's message
// and the path.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/datetime.h"

namespace tessel {

class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Attribute bits, as the classic file attribute set uses them.
enum : uint32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faDirectory = 0x10,
  faArchive = 0x20,
};

bool FileExists(const std::string& path);       // exists and is no directory
bool DirectoryExists(const std::string& path);  // exists and is a directory
bool PathExists(const std::string& path);       // either
// An existing directory this process may create files in.
bool IsWritableDirectory(const std::string& path);

// Attribute set of the entry, or -1 (all bits) when it does not exist. A
// read-only flag on POSIX is the absence of every write permission bit.
int64_t FileGetAttr(const std::string& path);
// Sets or clears the read-only flag; false on failure.
bool SetReadOnly(const std::string& path, bool readOnly);

// Existence as a file (no directory) and last-write time, from one look-up.
// The time counts nanoseconds since 1970-01-01 00:00 UTC at the precision
// the file system records, so two files written a moment apart compare in
// the order they were written.
struct TFileStatus {
  bool exists = false;
  int64_t writeTime = 0;  // 0 when missing
};
TFileStatus GetFileStatus(const std::string& path);

// Last-write time as local TDateTime at full resolution; false when missing.
bool FileLastWriteTime(const std::string& path, TDateTime& out);
// Sets the last-write time (tests use it instead of sleeping).
bool SetFileLastWriteTime(const std::string& path, TDateTime localTime);

int64_t FileSizeOf(const std::string& path);  // -1 when missing

// CopyFileA semantics: failIfExists refuses to overwrite. The copy keeps the
// source's last-write time and read-only flag. False on failure.
bool CopyFileTo(const std::string& source, const std::string& target, bool failIfExists);
// Rename; fails when the target exists. False on failure.
bool MoveFileTo(const std::string& source, const std::string& target);
bool DeleteFileAt(const std::string& path);       // false when missing or refused
bool CreateDirectoryAt(const std::string& path);  // one level; false on failure
bool RemoveDirectoryAt(const std::string& path);

struct DirEntry {
  std::string name;  // file name as stored on the host
  bool isDirectory = false;
};

// Entries of the directory part of `pattern` whose names match its file-name
// part (wildcards '*' and '?', case-insensitive). "." and ".." are never
// listed. Order: names compared byte-wise after ASCII upper-casing, which is
// deterministic on every host.
std::vector<DirEntry> ListDirectory(const std::string& pattern);

// Whole-file helpers (binary, no newline translation).
std::string ReadFileBytes(const std::string& path);                      // throws
void WriteFileBytes(const std::string& path, const std::string& data);   // throws, truncates
void AppendFileBytes(const std::string& path, const std::string& data);  // throws

// Text lines of a file: CR LF and LF alone both end a line; a final line
// without line end counts. Throws when the file cannot be read.
std::vector<std::string> ReadTextLines(const std::string& path);

// Current working directory of the process (host path).
std::string CurrentDirectory();

// Message for an errno value, as the platform words it.
std::string PlatformErrorText(int errorCode);

}  // namespace tessel

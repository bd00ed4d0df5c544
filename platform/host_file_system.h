#pragma once
// The file system as the rest of the program reaches it: primitive
// operations on host paths (the path mapping of host_path.h sits above
// them). Everything that reads or writes files goes through the current
// instance, which is the machine's own file system unless a test has put an
// in-memory one in its place (memory_file_system.h) with a
// TFileSystemScope.
//
// Convention of every operation: success, or false / nullptr / -1 with
// errno telling why, as the system calls do. Nothing here throws; the
// callers word the message with the file's name.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessel {

// What one look-up tells about an entry.
struct TFileInfo {
  bool isDirectory = false;
  bool isLink = false;  // only from LinkStat
  uint32_t mode = 0;    // permission bits (07777)
  int64_t size = 0;
  int64_t writeTime = 0;  // nanoseconds since 1970-01-01 00:00 UTC
  uint64_t device = 0;    // device and inode: the identity of a file
  uint64_t inode = 0;
  // No write bit for anyone: the read-only attribute.
  bool ReadOnly() const { return (mode & 0222) == 0; }
};

struct THostEntry {
  std::string name;
  bool isDirectory = false;
  // A link, or a file system that does not tell kinds in listings: only a
  // Stat of the entry says whether it is a directory.
  bool kindUnknown = false;
};

enum class TOpenMode {
  Read,       // existing file, read only
  ReadWrite,  // existing file, read and write, position 0
  Create,     // created or truncated, read and write
  Append,     // created when missing, writes go to the end
  CreateNew,  // created, failing with EEXIST when it exists; read and write
};

// An open file with one position for reads and writes, buffered as the
// platform buffers streams. Close (or the destructor) releases it.
class TOpenFile {
 public:
  virtual ~TOpenFile() = default;
  // Bytes read (short or 0 at the end), -1 on failure.
  virtual int64_t Read(void* buffer, size_t count) = 0;
  // All bytes or failure.
  virtual bool Write(const void* buffer, size_t count) = 0;
  virtual bool Seek(int64_t position) = 0;
  virtual int64_t Position() = 0;  // -1 on failure
  virtual int64_t Size() = 0;      // -1 on failure
  virtual bool Truncate(int64_t size) = 0;
  // What a look-up of the open file tells (its identity stays while it is
  // renamed).
  virtual bool Stat(TFileInfo& info) = 0;
  virtual bool Flush() = 0;
  // Flushes and waits until the data is on the disk.
  virtual bool Sync() = 0;
  // Writes what is buffered and releases the file; false when the data did
  // not make it. The file is released either way.
  virtual bool Close() = 0;
  // Copies up to `count` bytes from the source's position to this file's
  // position; both positions move behind the bytes. Returns the bytes
  // copied (short at the end of the source), or -1 with `sourceFailed`
  // telling which side failed. This default reads and writes in blocks.
  virtual int64_t CopyFrom(TOpenFile& source, int64_t count, bool& sourceFailed);
};

class TFileSystem {
 public:
  virtual ~TFileSystem() = default;
  // Follows links; false (errno) when the entry or a link's target is missing.
  virtual bool Stat(const std::string& host, TFileInfo& info) = 0;
  // The entry itself, a link as a link.
  virtual bool LinkStat(const std::string& host, TFileInfo& info) = 0;
  virtual std::unique_ptr<TOpenFile> Open(const std::string& host, TOpenMode mode) = 0;
  virtual bool Remove(const std::string& host) = 0;  // a file or link
  // Replaces an existing target.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Fails with EEXIST when the target exists; EINVAL or ENOSYS where the
  // file system cannot rename that way.
  virtual bool RenameNoReplace(const std::string& from, const std::string& to) = 0;
  // Entries without "." and "..", in the order the file system keeps them;
  // one read of the directory, no look-up of the entries.
  virtual bool List(const std::string& host, std::vector<THostEntry>& entries) = 0;
  virtual bool MakeDirectory(const std::string& host) = 0;
  virtual bool RemoveDirectory(const std::string& host) = 0;
  virtual bool SetMode(const std::string& host, uint32_t mode) = 0;
  virtual bool SetWriteTime(const std::string& host, int64_t writeTime) = 0;
  // Whether this process may create entries in the directory.
  virtual bool CanCreateIn(const std::string& host) = 0;
  // The permission bits a new file loses (the process's creation mask).
  virtual uint32_t CreationMask() = 0;
  // The path with every link resolved; "" when that fails.
  virtual std::string ResolveLinks(const std::string& host) = 0;
};

// An absolute host path with "." and ".." resolved as text and repeated
// separators collapsed; "/" for the root.
std::string LexicallyNormal(const std::string& absolute);

// The machine's file system.
TFileSystem& RealFileSystem();
// The instance every file operation uses.
TFileSystem& CurrentFileSystem();

// Puts a file system in place of the current one while it lives (tests);
// scopes nest. Directory listings kept by the path mapping are dropped on
// both changes, as they belong to the file system that was read.
class TFileSystemScope {
 public:
  explicit TFileSystemScope(TFileSystem& fileSystem);
  ~TFileSystemScope();
  TFileSystemScope(const TFileSystemScope&) = delete;
  TFileSystemScope& operator=(const TFileSystemScope&) = delete;

 private:
  TFileSystem* previous_;
};

}  // namespace tessel

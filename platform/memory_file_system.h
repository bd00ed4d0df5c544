#pragma once
// A file system held in memory, for tests: put it in place with
// TFileSystemScope, fill it with AddFile / AddDirectory, and let the code
// under test read and write. Each kind of call is counted, and the Nth call
// of a kind can be made to fail with a chosen errno, so a test can walk a
// failure through every I/O call of an operation in turn:
//
//   for (int n = 1;; ++n) {
//     TMemoryFileSystem fs;  ... fill ...
//     fs.FailAt(TFsCall::Write, n, ENOSPC);
//     ... run the operation, check the outcome ...
//     if (!fs.FaultReached()) break;  // it got through without the fault
//   }
//
// Paths are host paths; relative ones count from CurrentDirectory ("/" by
// default). There are no links; every entry is its own file.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host_file_system.h"

namespace tessel {

enum class TFsCall {
  Stat,             // Stat, LinkStat
  OpenRead,         // Open for reading only
  OpenWrite,        // Open in every mode that may write or create
  Read,             // reads from an open file
  Write,            // writes to an open file, Truncate
  Flush,            // Flush, Sync
  Close,            // closing a file opened for writing
  Rename,           // Rename, RenameNoReplace
  Remove,           // Remove
  List,             // List
  MakeDirectory,    // MakeDirectory
  RemoveDirectory,  // RemoveDirectory
  SetAttributes,    // SetMode, SetWriteTime
  Count_
};

// Name of the kind for test messages ("Write", "Rename", ...).
const char* FsCallName(TFsCall kind);

class TMemoryFileSystem : public TFileSystem {
 public:
  TMemoryFileSystem();
  ~TMemoryFileSystem() override;
  TMemoryFileSystem(const TMemoryFileSystem&) = delete;
  TMemoryFileSystem& operator=(const TMemoryFileSystem&) = delete;

  // --- filling and inspecting (never counted, never failing) ---
  // Creates the file with its missing directories; writeTime 0 = now.
  void AddFile(const std::string& host, const std::string& bytes, int64_t writeTime = 0);
  void AddDirectory(const std::string& host);  // with the directories above it
  std::optional<std::string> FileBytes(const std::string& host) const;
  bool HasFile(const std::string& host) const;
  bool HasDirectory(const std::string& host) const;
  // Every file, by normalised path, in byte order.
  std::vector<std::string> Files() const;
  // Files directly in the directory (names only), in byte order.
  std::vector<std::string> FilesIn(const std::string& host) const;
  void SetCurrentDirectory(const std::string& host) { current_ = Normalise(host); }
  const std::string& CurrentDirectory() const { return current_; }
  // The time given to files as they are written (0 = the wall clock).
  void SetClock(int64_t writeTime) { clock_ = writeTime; }

  // --- faults ---
  // The `nth` call of the kind from now on (1 = the next) fails with
  // `error`; `sticky` fails every later call of the kind too (a full disk).
  void FailAt(TFsCall kind, int nth, int error, bool sticky = false);
  void ClearFaults();
  // Whether an armed fault has been reached since it was armed.
  bool FaultReached() const { return faultReached_; }
  // Calls of the kind since the start or the last ResetCounts.
  int Calls(TFsCall kind) const { return calls_[static_cast<int>(kind)]; }
  void ResetCounts();

  // --- TFileSystem ---
  bool Stat(const std::string& host, TFileInfo& info) override;
  bool LinkStat(const std::string& host, TFileInfo& info) override;
  std::unique_ptr<TOpenFile> Open(const std::string& host, TOpenMode mode) override;
  bool Remove(const std::string& host) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool RenameNoReplace(const std::string& from, const std::string& to) override;
  bool List(const std::string& host, std::vector<THostEntry>& entries) override;
  bool MakeDirectory(const std::string& host) override;
  bool RemoveDirectory(const std::string& host) override;
  bool SetMode(const std::string& host, uint32_t mode) override;
  bool SetWriteTime(const std::string& host, int64_t writeTime) override;
  bool CanCreateIn(const std::string& host) override;
  uint32_t CreationMask() override { return 022; }
  std::string ResolveLinks(const std::string& host) override;

  struct TNode;
  // Counts the call and tells whether it fails (errno set). Used by the
  // open files too.
  bool Fails(TFsCall kind);
  int64_t Clock() const;

 private:
  struct TFault {
    TFsCall kind;
    int at;  // call count at which it fires
    int error;
    bool sticky;
  };

  std::string Normalise(const std::string& host) const;
  std::shared_ptr<TNode> Find(const std::string& path) const;
  // The directory at the path; nullptr with ENOENT or ENOTDIR otherwise.
  std::shared_ptr<TNode> FindDirectory(const std::string& path) const;
  // The directory that holds `path`: errno ENOENT / ENOTDIR when it cannot.
  bool ParentReady(const std::string& path) const;
  bool RenameEntry(const std::string& from, const std::string& to, bool replace);

  std::map<std::string, std::shared_ptr<TNode>> entries_;
  std::string current_ = "/";
  int64_t clock_ = 0;
  uint64_t nextInode_ = 1;
  int calls_[static_cast<int>(TFsCall::Count_)] = {};
  std::vector<TFault> faults_;
  bool faultReached_ = false;
};

}  // namespace tessel

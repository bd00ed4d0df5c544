// Choosing, opening, copying, locking and closing the target.

#include <algorithm>

#include "patcher/patch_values.h"
#include "patcher/patcher.h"
#include "platform/atomic_file.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

// A value that names itself (directly or through others) never settles.
constexpr int kMaxDirectoryExpansions = 64;

}  // namespace

void TPatcher::CmdDirectory(const std::string& value) {
  FDirectory = Unquote(value);
  ExpandDirectory();
  result_ = "\r\n -> " + FDirectory;
}

// Replaces %NAME% by the setting NAME while the text between the first two
// "%" is not blank. A single "%" without a partner stays as written.
void TPatcher::ExpandDirectory() {
  for (int round = 0; round < kMaxDirectoryExpansions; ++round) {
    int status = fsFollowed;
    const std::string name = GetField(FDirectory, 2, "%", &status);
    if (status != fsFollowed || IsBlank(name)) return;
    const std::string expanded = ReplaceAll(FDirectory, "%" + name + "%", GetSetting(name));
    if (expanded == FDirectory) return;
    FDirectory = expanded;
  }
}

void TPatcher::CmdTargetUnlock(const std::string& value) {
  FUnlock = IsTrueFlag(value);
  result_ = FlagResult(FUnlock);
}

void TPatcher::CmdTargetLock(const std::string& value) {
  FLock = IsTrueFlag(value);
  result_ = FlagResult(FLock);
}

void TPatcher::CmdSourceFile(const std::string& value) {
  FSourceName = FDirectory + Unquote(value);
  result_ = "\r\n -> " + FSourceName;
}

void TPatcher::CmdTargetFile(const std::string& value) {
  // The previous target is finished first, with its lock rule, rather than
  // left open behind the new one.
  CloseTarget(false);
  ownTarget_ = false;
  cause_.clear();

  FTargetName = FDirectory + Unquote(value);
  if (FileExists(FTargetName)) {
    // A target that vanished since counts as one without attributes.
    const int64_t attr = FileGetAttr(FTargetName);
    FTargetAttr = attr < 0 ? 0 : static_cast<uint32_t>(attr);
    if (FTargetAttr & faReadOnly) {
      if (!FUnlock) return Fail("Target readonly! Not unlocked!\r\n" + FTargetName);
      // Should the attribute stay, opening the target for writing below
      // fails, and that failure is reported as any other of this command.
      SetReadOnly(FTargetName, false);
    }
  } else {
    // A target made now starts without attributes of an earlier one.
    FTargetAttr = 0;
    if (IsBlank(FSourceName)) {
      return Fail("Target missing and Source not defined!\r\n" + FTargetName);
    }
    if (!FileExists(FSourceName)) {
      return Fail("Target and Source missing!\r\n" + FTargetName + "\r\n" + FSourceName);
    }
  }
  // Rebuilding the target from itself would truncate the source before it
  // is read. The file system decides, whatever the two path texts say.
  if (!IsBlank(FSourceName) && SameFile(FSourceName, FTargetName)) {
    return Fail("Target and Source are the same file!\r\n" + FTargetName + "\r\n" + FSourceName);
  }

  // An operating-system error here ends the command quietly: no result, no
  // error text; the next command that needs the target raises "TargetFile
  // not open" with the cause kept here.
  FTargetOpen = Guarded([&] {
    if (IsBlank(FSourceName)) {
      FTarget = TFile(FTargetName, TFile::Mode::ReadWrite);
      ownTarget_ = true;
      result_ = "\r\n reset " + FTargetName;
    } else {
      CopySource();
      result_ = "\r\n copy " + FTargetName;
    }
  });
  if (!FTargetOpen) {
    // Closing a handle that failed to open or copy can fail again; the
    // cause that matters is kept already.
    Guarded([&] { FTarget.Close(); });
    result_.clear();
  }
}

// Rebuilds the target from the source, at most FMaxSize bytes. The copy is
// made beside the target and replaces it only when complete, so a source
// that cannot be read or a disk that fills up leaves the previous target as
// it was. The run patches the target in place afterwards, so the copy does
// not wait for the disk (which took longer than the copy itself).
void TPatcher::CopySource() {
  TFile source(FSourceName, TFile::Mode::Read);
  const int64_t limit = FMaxSize > 0 ? FMaxSize : 0;
  TAtomicFile copy(FTargetName, TAtomicFile::TSync::Transient);
  // A source shorter than the limit is copied whole.
  copy.File().CopyFrom(source, limit);
  copy.Commit();
  ownTarget_ = true;
  FTarget = TFile(FTargetName, TFile::Mode::ReadWrite);
}

// Closes the target and applies the lock rule; with deleteFile the target
// file goes, but only when this run created it or opened it for writing: a
// file the run never opened as its own target is the user's. A failed run
// removes even a target that would be locked: it is half-written. A
// read-only file that was never unlocked is left alone, as the file system
// of the system's home platform refuses to delete it.
void TPatcher::CloseTarget(bool deleteFile) {
  bool lock = false;
  if (FTargetOpen) {
    FTargetOpen = false;
    if (FUnlock && (FTargetAttr & faReadOnly)) FLock = true;
    lock = FLock;
    if (deleteFile) {
      // The file goes anyway: what its close could not write is lost with it.
      Guarded([&] { FTarget.Close(); });
    } else {
      FTarget.Close();
    }
  }
  if (deleteFile && ownTarget_ && !IsBlank(FTargetName)) {
    // A target that is gone already, or that the file system refuses to
    // delete (a read-only one), stays as it is; the closing line that
    // follows reports the failed run all the same.
    DeleteFileAt(FTargetName);
  }
  // The lock is a protection against later edits, not part of the bytes;
  // a file system without the attribute leaves the target writable.
  if (lock && FileExists(FTargetName)) SetReadOnly(FTargetName, true);
}

}  // namespace tessel

// Choosing, opening, copying, locking and closing the target.

#include <algorithm>

#include "patcher/patch_values.h"
#include "patcher/patcher.h"
#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

constexpr int64_t kCopyBlock = 1 << 16;
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

  FTargetName = FDirectory + Unquote(value);
  if (FileExists(FTargetName)) {
    FTargetAttr = static_cast<uint32_t>(FileGetAttr(FTargetName));
    if (FTargetAttr & faReadOnly) {
      if (FUnlock) {
        SetReadOnly(FTargetName, false);
      } else {
        FError = "Target readonly! Not unlocked!\r\n" + FTargetName;
      }
    }
  } else {
    // A target made now starts without attributes of an earlier one.
    FTargetAttr = 0;
    if (IsBlank(FSourceName)) {
      FError = "Target missing and Source not defined!\r\n" + FTargetName;
    } else if (!FileExists(FSourceName)) {
      FError = "Target and Source missing!\r\n" + FTargetName + "\r\n" + FSourceName;
    }
  }
  if (!IsBlank(FError)) return;
  // Rebuilding the target from itself would truncate the source before it
  // is read. The file system decides, whatever the two path texts say.
  if (!IsBlank(FSourceName) && SameFile(FSourceName, FTargetName)) {
    FError = "Target and Source are the same file!\r\n" + FTargetName + "\r\n" + FSourceName;
    return;
  }

  // An operating-system error here ends the command quietly; the next
  // command that needs the target reports it as not open.
  try {
    if (IsBlank(FSourceName)) {
      FTarget = TFile(FTargetName, TFile::Mode::ReadWrite);
      ownTarget_ = true;
      result_ = "\r\n reset " + FTargetName;
    } else {
      CopySource();
      result_ = "\r\n copy " + FTargetName;
    }
    FTargetOpen = true;
  } catch (const EFileError&) {
    FTarget.Close();
    FTargetOpen = false;
    result_.clear();
  }
}

// Rebuilds the target from the source, at most FMaxSize bytes.
void TPatcher::CopySource() {
  // The source is opened and its first block read before the target is
  // truncated, so an unreadable source does not cost the target its content.
  TFile source(FSourceName, TFile::Mode::Read);
  const int64_t limit = FMaxSize > 0 ? FMaxSize : 0;
  // The first block is read before the target is made; the rest streams
  // from file to file.
  std::string block(static_cast<size_t>(std::min<int64_t>(kCopyBlock, limit)), '\0');
  const size_t got = block.empty() ? 0 : source.Read(block.data(), block.size());
  FTarget = TFile(FTargetName, TFile::Mode::Create);
  ownTarget_ = true;
  FTarget.Write(block.data(), got);
  if (got == block.size()) FTarget.CopyFrom(source, limit - static_cast<int64_t>(got));
  FTarget.Seek(0);
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
    FTarget.Close();
    FTargetOpen = false;
    if (FUnlock && (FTargetAttr & faReadOnly)) FLock = true;
    lock = FLock;
  }
  if (deleteFile && ownTarget_ && !IsBlank(FTargetName) && FileExists(FTargetName)) {
    const int64_t attr = FileGetAttr(FTargetName);
    if (attr >= 0 && !(attr & faReadOnly)) DeleteFileAt(FTargetName);
  }
  if (lock && FileExists(FTargetName)) SetReadOnly(FTargetName, true);
}

}  // namespace tessel

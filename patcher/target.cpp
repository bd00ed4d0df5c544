// Choosing, opening, copying, locking and closing the target.

#include <algorithm>

#include "patcher/patch_values.h"
#include "patcher/patcher.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
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

  // An operating-system error here ends the command quietly; the next
  // command that needs the target reports it as not open.
  try {
    if (IsBlank(FSourceName)) {
      FTarget = TFile(FTargetName, TFile::Mode::ReadWrite);
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
  if (HostPath(FSourceName) == HostPath(FTargetName)) {
    // Truncating the target would empty the source too.
    source.Close();
    FTarget = TFile(FTargetName, TFile::Mode::ReadWrite);
    if (FTarget.Size() > limit) FTarget.Truncate(limit);
    FTarget.Seek(0);
    return;
  }
  // The first block is read before the target is made; the rest streams
  // from file to file.
  std::string block(static_cast<size_t>(std::min<int64_t>(kCopyBlock, limit)), '\0');
  const size_t got = block.empty() ? 0 : source.Read(block.data(), block.size());
  FTarget = TFile(FTargetName, TFile::Mode::Create);
  FTarget.Write(block.data(), got);
  if (got == block.size()) FTarget.CopyFrom(source, limit - static_cast<int64_t>(got));
  FTarget.Seek(0);
}

// Closes the target and applies the lock rule; with deleteFile the target
// file goes (also when it was not open). A failed run removes even a target
// that would be locked: it is half-written. A read-only file that was never
// unlocked is left alone, as the file system of the system's home platform
// refuses to delete it.
void TPatcher::CloseTarget(bool deleteFile) {
  bool lock = false;
  if (FTargetOpen) {
    FTarget.Close();
    FTargetOpen = false;
    if (FUnlock && (FTargetAttr & faReadOnly)) FLock = true;
    lock = FLock;
  }
  if (deleteFile && !IsBlank(FTargetName) && FileExists(FTargetName)) {
    const int64_t attr = FileGetAttr(FTargetName);
    if (attr >= 0 && !(attr & faReadOnly)) DeleteFileAt(FTargetName);
  }
  if (lock && FileExists(FTargetName)) SetReadOnly(FTargetName, true);
}

}  // namespace tessel

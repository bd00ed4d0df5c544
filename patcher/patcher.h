#pragma once
// TPatcher: interprets a patch script that creates or opens one binary file,
// the target, and writes bytes, texts, other files, sizes, times and
// checksums into it, checks its bytes, draws text into a display bitmap
// inside it and exports regions of it.
//
// One error convention for every command. A user-level failure sets the
// error text (Fail); the run ends after that line, and a target the run
// made or opened for writing is deleted. Operating-system errors raise
// EFileError naming the file, invalid strict numbers EConvertError, and a
// command that needs the target while none is open ETargetNotOpen; they end
// the run at once and pass through Run. Only two commands turn an
// operating-system error into something else (Guarded): INSERTFILE into the
// error text " -> File error", TARGETFILE into a quiet failure that leaves
// no target open. The error behind either is kept as Cause().

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "patcher/patch_values.h"  // EConvertError
#include "platform/datetime.h"
#include "platform/file_stream.h"
#include "settings/uParamlist.h"

namespace tessel {

// Raised by every command that needs the target while none is open.
// After a TARGETFILE that failed quietly the text goes on with its cause.
class ETargetNotOpen : public std::runtime_error {
 public:
  explicit ETargetNotOpen(const std::string& cause = "")
      : std::runtime_error(cause.empty() ? "TargetFile not open"
                                         : "TargetFile not open (" + cause + ")") {}
};

class TPatcher {
 public:
  using TLogEvent = std::function<void(const std::string& text, bool force)>;

  // Own, empty parameter list.
  TPatcher();
  // The caller's list (not owned): the script sees and may change it.
  explicit TPatcher(TParamlist* params);
  ~TPatcher();
  TPatcher(const TPatcher&) = delete;
  TPatcher& operator=(const TPatcher&) = delete;

  // Log sink; the engine passes its Log operation.
  TLogEvent OnLog;

  // Processes the whole script. The outcome is reported through the log only.
  void Run(const std::string& scriptPath);

  // OnLog with Text + CR LF; Clear empties and Notify appends to the main
  // window's log; then pending messages are processed.
  void LogLine(const std::string& text, bool clear, bool notify);

  // Source of the current time for INSERTTIME (tests fix it).
  void SetClock(std::function<TDateTime()> clock) { clock_ = std::move(clock); }

  // State after a run, for callers that want more than the log.
  const std::string& Error() const { return FError; }
  // The operating-system error behind the last guarded failure (INSERTFILE's
  // " -> File error", a TARGETFILE that could not open or copy the target);
  // empty when there was none.
  const std::string& Cause() const { return cause_; }
  bool TargetOpen() const { return FTargetOpen; }
  const std::string& TargetName() const { return FTargetName; }

 private:
  using THandler = void (TPatcher::*)(const std::string& value);
  struct TCommand {
    const char* keyword;
    THandler handler;
  };
  static const std::vector<TCommand>& CommandTable();

  void ExecuteLine();
  // A user-level failure: the run ends after the current line with `text`.
  void Fail(const std::string& text) { FError = text; }
  // Runs an operating-system step of a command that the rules let fail
  // without an exception: true when it succeeded; otherwise the cause is
  // kept and false returned.
  template <class TStep>
  bool Guarded(TStep&& step);
  void ExecuteUnmatched(const std::string& value);
  void CheckTargetOpen() const;
  void CloseTarget(bool deleteFile);
  void CopySource();
  void ExpandDirectory();

  // Values and positions.
  std::string Field(const std::string& value, int n) const;
  int FieldsIn(const std::string& value) const;
  // Fields 1 to count in one pass (missing ones empty), for long lists.
  std::vector<std::string> SplitFields(const std::string& value, int count) const;
  int32_t OffsetRule(int32_t position) const;
  // File offset of a script position (field text); FILESIZE only where
  // allowed. False, with FError set, for an offset before the file start.
  bool ResolveOffset(const std::string& text, bool allowFileSize, int64_t& offset);
  // A position that must name a byte of the target (checks, display address).
  bool ResolveInsideTarget(const std::string& text, int64_t& offset);
  int64_t TargetSize() const { return FTarget.Size(); }
  std::string ReadTargetAt(int64_t offset, size_t count);
  // Exactly `count` bytes from the position, or EFileError naming the target.
  std::string ReadTargetExact(size_t count);
  // False, with FError set, when writing `count` bytes at `offset` would
  // grow the target past FMaxSize.
  bool WriteFits(int64_t offset, int64_t count);
  bool WriteFits(int64_t count) { return WriteFits(FTarget.Position(), count); }
  void WriteTargetAt(int64_t offset, const std::string& bytes);
  std::string Word32Bytes(uint32_t value) const;

  // Commands (value = text after the first "=").
  void CmdDirectory(const std::string& value);
  void CmdTargetUnlock(const std::string& value);
  void CmdTargetLock(const std::string& value);
  void CmdBigEndian(const std::string& value);
  void CmdInvert(const std::string& value);
  void CmdAdjustment(const std::string& value);
  void CmdTargetFile(const std::string& value);
  void CmdMakeCSource(const std::string& value);
  void CmdGoto(const std::string& value);
  void CmdSourceFile(const std::string& value);
  void CmdTestBitmap(const std::string& value);
  void CmdInsertFile(const std::string& value);
  void CmdCodeOffset(const std::string& value);
  void CmdMaxSize(const std::string& value);
  void CmdFileOffset(const std::string& value);
  void CmdDelim(const std::string& value);
  void CmdInsertString(const std::string& value);
  void CmdInsertTime(const std::string& value);
  void CmdCopy(const std::string& value);
  void CmdPaste(const std::string& value);
  void CmdInsertFileSize(const std::string& value);
  void CmdInsertChar(const std::string& value);
  void CmdInsertList(const std::string& value);
  void CmdChecksumInit(const std::string& value);
  void CmdDisplayAddr(const std::string& value);
  void CmdPrintString(const std::string& value);
  void CmdPrintList(const std::string& value);
  void CmdChecksumCalc(const std::string& value);
  void CmdChecksumSave(const std::string& value);
  void CmdCheckString(const std::string& value);
  void CmdCheckList(const std::string& value);

  void WriteListFile(const std::string& listName, TFile& file, int64_t offset, int64_t size);
  void PrintString(int32_t x, int32_t y, const std::string& text);
  void DrawChar(unsigned char c, int32_t& x, int32_t& y);
  void SaveDisplayBitmap(const std::string& fileName);
  void MakeCSource(const std::string& fileName, uint32_t address, int32_t length);

  std::unique_ptr<TParamlist> ownParams_;  // set when the list is the patcher's own
  TParamlist* FParams;
  std::string FLine;
  std::string FSourceName;
  std::string FTargetName;
  bool FUnlock = false;
  bool FLock = false;
  uint32_t FTargetAttr = 0;
  TFile FTarget;
  bool FTargetOpen = false;
  std::string FError;
  int32_t FAdjustment = 0;
  int32_t FFileOffset = 0;
  int32_t FCodeOffset = 0;
  std::string FDirectory;
  std::string FDelimiter = ",";
  bool FInvert = false;
  bool FBigEndian = true;
  int32_t FLineNo = 0;
  uint32_t FChecksum = 0;
  int32_t FDisplayAddr = -1;
  std::string FCopyBuffer;  // bytes held by COPY, as many as it read
  int32_t FMaxSize = 2147483647;

  // The target was created or opened for writing by this run: only such a
  // target is deleted after a failed run.
  bool ownTarget_ = false;
  std::string result_;  // result text of the current command
  std::string cause_;   // see Cause()
  std::function<TDateTime()> clock_;
};

template <class TStep>
bool TPatcher::Guarded(TStep&& step) {
  try {
    step();
    return true;
  } catch (const EFileError& e) {
    cause_ = e.what();
    return false;
  }
}

}  // namespace tessel

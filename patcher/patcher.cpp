// The run loop, line handling, the command table and the log of TPatcher.

#include "patcher/patcher.h"

#include <algorithm>
#include <cstdio>

#include "patcher/patch_values.h"
#include "platform/clock.h"
#include "platform/path_split.h"
#include "support/Base_00.h"
#include "support/user_interface.h"

namespace tessel {

namespace {

std::string ElapsedText(uint32_t milliseconds) {
  unsigned ms = milliseconds % 1000;
  unsigned seconds = milliseconds / 1000;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u.%03u", (seconds / 3600) % 24,
                (seconds / 60) % 60, seconds % 60, ms);
  return buffer;
}

}  // namespace

TPatcher::TPatcher() : TPatcher(nullptr) {}

TPatcher::TPatcher(TParamlist* params) : FParams(params), clock_(Now) {
  // Without a list the patcher still needs one for VARIABLES and AUTOEXPAND.
  if (FParams == nullptr) {
    ownParams_ = std::make_unique<TParamlist>();
    FParams = ownParams_.get();
  }
}

TPatcher::~TPatcher() {
  try {
    CloseTarget(false);
  } catch (...) {
    // A destructor must not throw. A successful run has flushed the target
    // already (Run), so what a failing close could still lose is nothing
    // the run wrote; the handle is released regardless.
  }
}

// The order is the order of lookup (the first match runs).
const std::vector<TPatcher::TCommand>& TPatcher::CommandTable() {
  static const std::vector<TCommand> table = {
      {"DIRECTORY", &TPatcher::CmdDirectory},
      {"TARGETUNLOCK", &TPatcher::CmdTargetUnlock},
      {"TARGETLOCK", &TPatcher::CmdTargetLock},
      {"BIGENDIAN", &TPatcher::CmdBigEndian},
      {"INVERT", &TPatcher::CmdInvert},
      {"ADJUSTMENT", &TPatcher::CmdAdjustment},
      {"TARGETFILE", &TPatcher::CmdTargetFile},
      {"MAKECSOURCE", &TPatcher::CmdMakeCSource},
      {"GOTO", &TPatcher::CmdGoto},
      {"SOURCEFILE", &TPatcher::CmdSourceFile},
      {"TESTBITMAP", &TPatcher::CmdTestBitmap},
      {"INSERTFILE", &TPatcher::CmdInsertFile},
      {"CODEOFFSET", &TPatcher::CmdCodeOffset},
      {"MAXSIZE", &TPatcher::CmdMaxSize},
      {"FILEOFFSET", &TPatcher::CmdFileOffset},
      {"DELIM", &TPatcher::CmdDelim},
      {"INSERTSTRING", &TPatcher::CmdInsertString},
      {"INSERTTIME", &TPatcher::CmdInsertTime},
      {"COPY", &TPatcher::CmdCopy},
      {"PASTE", &TPatcher::CmdPaste},
      {"INSERTFILESIZE", &TPatcher::CmdInsertFileSize},
      {"INSERTCHAR", &TPatcher::CmdInsertChar},
      {"INSERTLIST", &TPatcher::CmdInsertList},
      {"CHKSUM_INIT", &TPatcher::CmdChecksumInit},
      {"DISPLAYADDR", &TPatcher::CmdDisplayAddr},
      {"PRINTSTRING", &TPatcher::CmdPrintString},
      {"PRINTLIST", &TPatcher::CmdPrintList},
      {"CHKSUM_CALC", &TPatcher::CmdChecksumCalc},
      {"CHKSUM_SAVE", &TPatcher::CmdChecksumSave},
      {"CHECKSTRING", &TPatcher::CmdCheckString},
      {"CHECKLIST", &TPatcher::CmdCheckList},
  };
  return table;
}

void TPatcher::LogLine(const std::string& text, bool clear, bool notify) {
  if (OnLog) OnLog(text + "\r\n", false);
  TUserInterface& window = MainWindow();
  if (clear) window.ClearLog();
  if (notify) window.LogLine(text);
  window.ProcessMessages();
}

void TPatcher::Run(const std::string& scriptPath) {
  const uint32_t started = TickCount();
  const std::string scriptName = ExtractFileName(scriptPath);
  LogLine("Start! " + scriptName, true, true);
  {
    TTextReader script(scriptPath);
    FLineNo = 0;
    while (script.ReadLine(FLine)) {
      ++FLineNo;
      ExecuteLine();
      if (!IsBlank(FError)) break;
    }
  }
  // Written bytes still buffered must reach the target now: a failure at
  // the close after the run could no longer be reported.
  if (IsBlank(FError) && FTargetOpen) FTarget.Flush();
  std::string summary;
  if (IsBlank(FError)) {
    summary = Decimal(FLineNo) + " lines processed.";
  } else {
    summary = "Error at lineNo: " + Decimal(FLineNo) + "\r\n" + FError;
    CloseTarget(true);
  }
  LogLine(summary + "\r\n" + "Ready! " + scriptName + " " + ElapsedText(TickCount() - started),
          false, true);
}

void TPatcher::ExecuteLine() {
  const std::string asRead = FLine;
  try {
    FLine = FParams->Expand(FLine, false);
  } catch (const EExpansionTooLarge& e) {
    return Fail(std::string(e.what()) + " " + asRead);
  }
  const size_t equals = FLine.find('=');
  const std::string keyword = AsciiUpperCase(FLine.substr(0, equals));
  const std::string value = equals == std::string::npos ? "" : FLine.substr(equals + 1);

  result_.clear();
  bool matched = false;
  for (const TCommand& command : CommandTable()) {
    if (keyword == command.keyword) {
      (this->*command.handler)(value);
      matched = true;
      break;
    }
  }
  if (!matched) {
    ExecuteUnmatched(value);
    return;
  }
  if (!IsBlank(result_)) LogLine(asRead + result_, false, false);
}

// Comments, blank lines, variable assignments and unknown commands.
void TPatcher::ExecuteUnmatched(const std::string& value) {
  if (FLine.compare(0, 2, "//") == 0) {
    if (!IsBlank(FLine.substr(2))) LogLine(FLine, false, false);
    return;
  }
  if (IsBlank(FLine)) return;
  const std::string name = FLine.substr(0, FLine.find('='));
  if (name == "VARIABLES" || IsElement(FParams->ValueOf("VARIABLES"), name, ",")) {
    FParams->SetValue(name, value);
    LogLine("variable: " + FLine, false, false);
    return;
  }
  LogLine("Unknown command at lineNo: " + Decimal(FLineNo) + "(ignored)" + "\r\n" + FLine, false,
          true);
}

void TPatcher::CheckTargetOpen() const {
  // After a quiet TARGETFILE failure the exception says why.
  if (!FTargetOpen) throw ETargetNotOpen(cause_);
}

std::string TPatcher::Field(const std::string& value, int n) const {
  // An empty delimiter cuts nothing: the whole value is field 1.
  if (FDelimiter.empty()) return n == 1 ? value : std::string();
  return GetField(value, n, FDelimiter);
}

int TPatcher::FieldsIn(const std::string& value) const {
  if (FDelimiter.empty()) return IsBlank(value) ? 0 : 1;
  return FieldCount(value, FDelimiter);
}

std::vector<std::string> TPatcher::SplitFields(const std::string& value, int count) const {
  std::vector<std::string> fields;
  fields.reserve(static_cast<size_t>(std::max(count, 0)));
  size_t start = 0;
  bool more = true;
  while (static_cast<int>(fields.size()) < count) {
    if (!more) {
      fields.emplace_back();
      continue;
    }
    const size_t end = FDelimiter.empty() ? std::string::npos : value.find(FDelimiter, start);
    more = end != std::string::npos;
    fields.push_back(value.substr(start, more ? end - start : std::string::npos));
    if (more) start = end + FDelimiter.size();
  }
  return fields;
}

int32_t TPatcher::OffsetRule(int32_t position) const {
  // Signed 32-bit arithmetic that wraps instead of overflowing.
  return static_cast<int32_t>(static_cast<uint32_t>(position) - static_cast<uint32_t>(FCodeOffset) +
                              static_cast<uint32_t>(FFileOffset));
}

bool TPatcher::ResolveOffset(const std::string& text, bool allowFileSize, int64_t& offset) {
  if (allowFileSize && text == "FILESIZE") {
    offset = static_cast<int32_t>(static_cast<uint32_t>(TargetSize()) +
                                  static_cast<uint32_t>(FAdjustment));
  } else {
    offset = OffsetRule(StrictNumber(text));
  }
  if (offset < 0) {
    Fail("Position before start of file! " + FLine);
    return false;
  }
  return true;
}

bool TPatcher::ResolveInsideTarget(const std::string& text, int64_t& offset) {
  if (!ResolveOffset(text, false, offset)) return false;
  if (offset >= TargetSize()) {
    Fail("Position exceeds filesize! " + FLine);
    return false;
  }
  return true;
}

std::string TPatcher::ReadTargetAt(int64_t offset, size_t count) {
  const int64_t size = TargetSize();
  if (offset >= size) return {};
  if (static_cast<int64_t>(count) > size - offset) count = static_cast<size_t>(size - offset);
  std::string bytes(count, '\0');
  FTarget.Seek(offset);
  bytes.resize(FTarget.Read(bytes.data(), count));
  return bytes;
}

bool TPatcher::WriteFits(int64_t offset, int64_t count) {
  const int64_t end = offset + count;
  // Overwriting bytes the target already has never grows it.
  if (count <= 0 || end <= TargetSize() || end <= FMaxSize) return true;
  Fail("Size exceeds max allowed size! " + FLine);
  return false;
}

std::string TPatcher::ReadTargetExact(size_t count) {
  const int64_t position = FTarget.Position();
  // Checked before the buffer is sized, so a huge count cannot exhaust memory.
  std::string bytes;
  if (position + static_cast<int64_t>(count) <= TargetSize()) {
    bytes.resize(count);
    bytes.resize(FTarget.Read(bytes.data(), count));
  }
  if (bytes.size() != count) {
    throw EFileError("Read beyond end of file \"" + FTargetName +
                     "\": " + Decimal(static_cast<int64_t>(count)) + " bytes from offset " +
                     Decimal(position) + " wanted");
  }
  return bytes;
}

void TPatcher::WriteTargetAt(int64_t offset, const std::string& bytes) {
  FTarget.Seek(offset);
  FTarget.Write(bytes);
}

std::string TPatcher::Word32Bytes(uint32_t value) const {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) {
    const int shift = FBigEndian ? 24 - 8 * i : 8 * i;
    bytes[i] = static_cast<char>((value >> shift) & 0xFF);
  }
  return bytes;
}

}  // namespace tessel

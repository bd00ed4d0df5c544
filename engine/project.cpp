// The engine object: construction, the log and the final state.

#include "engine/uProject.h"

#include "engine/build_record.h"
#include "engine/collection_files.h"
#include "engine/dependency_memo.h"
#include "engine/file_status_cache.h"
#include "platform/environment.h"
#include "platform/executable.h"
#include "platform/file_system.h"
#include "platform/path_split.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

// Entries wait in memory up to this size between the flush points.
constexpr size_t kLogBufferSize = 1 << 16;

std::string ChooseLogPath(const std::string& given) {
  if (!given.empty()) return given;
  std::string fromEnvironment = GetEnvironmentValue(kEngineLogVariable);
  if (!fromEnvironment.empty()) return fromEnvironment;
  return DefaultEngineLogPath();
}

}  // namespace

std::string DefaultEngineLogPath() {
  // ASCII folding only: the path is a host path and must still resolve.
  // Only the name is folded: the directories are the executable's as the
  // system spells them, where a folded spelling would have to be searched
  // for, directory by directory, at every start.
  const std::string executable = ExecutablePath();
  const std::string dir = ExtractFilePath(executable);
  std::string name = AsciiUpperCase(ExtractFileName(executable));
  if (name.ends_with(".EXE")) name.erase(name.size() - 4);
  name += ".LOG";
  // An installed program cannot write beside itself: its log then goes to
  // the user's state directory under the same name.
  if (IsWritableDirectory(dir.empty() ? "." : dir)) return dir + name;
  return UserStateDirectory() + "/" + name;
}

TProject::TProject(const std::string& logFilePath)
    : LogFile(TTextWriter::Over(ChooseLogPath(logFilePath))),
      Collections(std::make_unique<TCollectionFiles>()),
      Statuses(std::make_unique<TFileStatusCache>()),
      Dependencies(std::make_unique<TDependencyMemo>()) {
  // Room for the entries up to a flush, and the one that crosses the mark.
  LogBuffer.reserve(kLogBufferSize + 4096);
  const auto& arguments = CommandLineArguments();
  LogFile.Write(arguments.empty() ? std::string() : arguments.front());
  LogFile.Flush();
}

TProject::~TProject() { FlushLogQuietly(); }

void TProject::Cancel() { State = psCancelled; }

void TProject::SetState(uint8_t state) {
  if (State != psCancelled) State = state;
}

void TProject::AddStep(int32_t amount) {
  // The counter wraps like the 32-bit register it is shown as.
  StepCounter =
      static_cast<int32_t>(static_cast<uint32_t>(StepCounter) + static_cast<uint32_t>(amount));
}

void TProject::Log(std::string_view text, bool force) {
  if (Depth > 0) LogBuffer.append(static_cast<size_t>(Depth), ' ');
  LogBuffer += text;
  if (LogBuffer.size() >= kLogBufferSize) WriteLogBuffer();
  if ((ReportAll || force) && LogWindow != nullptr) {
    std::string line(text);
    if (line.ends_with("\r\n")) line.erase(line.size() - 2);
    LogWindow->LogLine(RepeatText(".", Depth) + line);
  }
}

void TProject::LogEcho(std::string_view key, std::string_view text) {
  if (ReportAll && LogWindow != nullptr) {
    std::string echo(key);
    echo += '=';
    echo += text;
    echo += "\r\n";
    Log(echo);
    return;
  }
  // Straight into the buffer: every script line is echoed.
  if (Depth > 0) LogBuffer.append(static_cast<size_t>(Depth), ' ');
  LogBuffer += key;
  LogBuffer += '=';
  LogBuffer += text;
  LogBuffer += "\r\n";
  if (LogBuffer.size() >= kLogBufferSize) WriteLogBuffer();
}

void TProject::FilesChanged() { Statuses->Drop(); }

void TProject::WriteLogBuffer() {
  if (LogBuffer.empty()) return;
  // Emptied however the write ends: one that fails must not be retried
  // with every entry. The storage stays for the next entries.
  struct TEmptied {
    std::string& text;
    ~TEmptied() { text.clear(); }
  } emptied{LogBuffer};
  LogFile.Write(LogBuffer);
  LogFile.Flush();
}

void TProject::FlushLog() {
  WriteLogBuffer();
  // The log is written over the last one: at the first flush that counts
  // (before a tool starts, at the end of a build) the rest of the old text
  // goes, so a tool that kills the engine leaves no stale lines behind.
  if (!LogCut) {
    LogCut = true;
    LogFile.CutHere();  // a device or a pipe has nothing to cut
  }
}

void TProject::FlushLogQuietly() noexcept {
  try {
    FlushLog();
  } catch (...) {
    // The error that is already on its way matters more.
  }
}

const TStringList* TProject::List(int index) const {
  const auto& list = Lists.at(static_cast<size_t>(index));
  return list ? &*list : nullptr;
}

std::string TProject::InWorkDir(const std::string& workDir, const std::string& name) {
  return workDir.empty() ? name : JoinPath(workDir, name);
}

}  // namespace tessel

// Running a tool: the log entries around it, the process start with its
// private environment, and the filtered display of its output.

#include "engine/uProject.h"
#include "platform/file_system.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

const char* const kOutputFileName = "MyOutPut.TXT";

// Texts of the active MESSAGE_TO_IGNORE entries; an empty text matches
// nothing, so it is left out.
std::vector<std::string> IgnoredTexts(const TStringList* entries) {
  std::vector<std::string> texts;
  if (entries == nullptr) return texts;
  for (const std::string& raw : *entries) {
    std::string entry = ReplaceAll(raw, "\"", "");
    if (AnsiUpperCase(GetField(entry, 2, ";")) == "OFF") continue;
    std::string text = GetField(entry, 1, ";");
    if (!text.empty()) texts.push_back(std::move(text));
  }
  return texts;
}

}  // namespace

ProcessResult TProject::RunCommand(const std::string& command, const std::string& workDir,
                                   const TStringList* environment) {
  Log(kLogSeparator);
  Log("cmd: " + command + "\r\n");
  Log("wd: " + workDir + "\r\n");
  if (LogWindow != nullptr) {
    LogWindow->LogLine(command + " " + DisplayText + " " +
                       IntToHex(static_cast<uint32_t>(StepCounter), 8));
  }
  DisplayText.clear();
  if (ReportAll) ShowOutputFile(InWorkDir(workDir, kOptionsFileName));
  if (environment != nullptr) {
    std::string text = "ENV: \r\n";
    for (const std::string& entry : *environment) text += entry + "\r\n";
    Log(text + "\r\n");
  }

  ProcessResult result = RunProcess(command, workDir, environment);
  Log("result: " + std::to_string(result.errorCode) + " " + std::to_string(result.exitCode) +
      "\r\n");
  ShowOutputFile(InWorkDir(workDir, kOutputFileName));

  // This is where a cancel request reaches the engine; the window may keep
  // control for a while.
  FlushLog();
  if (LogWindow != nullptr) {
    LogWindow->ProcessMessages();
  } else {
    MainWindow().ProcessMessages();
  }
  return result;
}

ProcessResult TProject::RunProcess(const std::string& command, const std::string& workDir,
                                   const TStringList* environment) {
  // With a SETENV list the tool sees exactly these variables, PATH included
  // only when the script sets it.
  std::optional<std::vector<std::string>> block;
  if (environment != nullptr) {
    block.emplace();
    block->reserve(environment->size());
    for (const std::string& entry : *environment) block->push_back(ReplaceAll(entry, ";", "="));
  }
  // One that holds something goes, as cutting its bytes off in place makes
  // some file systems write them to the disk first; an empty one is simply
  // opened again. One that cannot go is truncated by the run, or it keeps
  // the tool from starting, which fails the step.
  const std::string outputFile = InWorkDir(workDir, kOutputFileName);
  if (FileSizeOf(outputFile) != 0) DeleteFileAt(outputFile);
  // Whatever the tool does to the engine, the log holds everything before it.
  FlushLog();
  // No command-line length limit here: the platform passes arguments
  // without a fixed buffer.
  const ProcessResult result =
      RunTool(command, workDir.empty() ? "." : workDir, block, kOutputFileName);
  FilesChanged();  // the tool may have written anything
  return result;
}

void TProject::ShowOutputFile(const std::string& path) {
  // A missing or empty file has no lines to show.
  if (LogWindow == nullptr || FileSizeOf(path) <= 0) return;
  std::vector<std::string> ignored = IgnoredTexts(List(klMessageToIgnore));
  for (const std::string& line : ReadTextLines(path)) {
    bool hidden = false;
    for (const std::string& text : ignored) {
      if (line.find(text) != std::string::npos) {
        hidden = true;
        break;
      }
    }
    if (!hidden) LogWindow->LogLine(line);
  }
}

}  // namespace tessel

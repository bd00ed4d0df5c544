// Run: the script file loop, line splitting and the echo rule.

#include <optional>

#include "engine/build_record.h"
#include "engine/uProject.h"
#include "platform/host_path.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

bool StartsWithUpper(const std::string& text, const std::string& prefix) {
  return AnsiUpperCase(text.substr(0, prefix.size())) == prefix;
}

}  // namespace

uint8_t TProject::Run(const std::string& argument) {
  // Directories read for names in another letter case are read once per
  // build (the platform drops them when files come and go).
  TDirectoryListingScope listings;
  // Files may have changed since an earlier run of this engine.
  if (Depth < 0) FilesChanged();
  uint8_t result = 0;
  try {
    result = RunArgument(argument);
  } catch (...) {
    FlushLogQuietly();
    throw;
  }
  if (Depth < 0) FlushLog();
  return result;
}

uint8_t TProject::RunArgument(const std::string& argument) {
  if (StartsWithUpper(argument, "/BIND:")) {
    Vars.SetValue("MAKEALL", "TRUE");
    Vars.SetValue("BIND", AnsiUpperCase(argument.substr(6)));
    BindAction();
    return 0;
  }
  if (StartsWithUpper(argument, "/BMP256TOCGI:")) {
    Vars.SetValue("MAKEALL", "TRUE");
    Vars.SetValue("BMP256TOCGI", AnsiUpperCase(argument.substr(13)));
    Bmp256ToCgiAction();
    return 0;
  }
  return RunScript(argument);
}

uint8_t TProject::RunScript(const std::string& path) {
  // A new build: a stop of an earlier run on this engine is over.
  if (Depth < 0) Stopped = false;
  if (Depth + 1 > kMaxIncludeDepth) {
    Log("Scripts nested more than " + IntToStr(kMaxIncludeDepth) + " levels deep: \"" + path +
            "\" is not run and the build stops.\r\n",
        true);
    Stopped = true;
    SetState(psNotReady);
    return State;
  }
  SetState(psRunning);
  ++Depth;
  if (IsBlank(Vars.ValueOf("PROJECTDIR"))) DeriveProjectDirs(path);

  if (!FileExists(path)) {
    Log("Missing \"" + path +
            "\"\r\nUse Tessel (File - Full setup - Save) to create the project scripts.",
        true);
    --Depth;
    SetState(psNotReady);
    return State;
  }
  std::optional<TTextReader> reader;
  try {
    reader.emplace(path);
  } catch (const EFileError&) {
    // The script is abandoned like a missing one: the including script goes
    // on, and a top script ends "not ready".
    Log("Error opening \"" + path + "\"\r\n", true);
    --Depth;
    SetState(psNotReady);
    return State;
  }

  // The top script keeps its build record for the whole build.
  if (Depth == 0) Record = std::make_unique<TBuildRecord>(TBuildRecord::PathFor(path));

  // The closing entries are written for every script that was read, also
  // when an error ends the run.
  auto close = [&] {
    reader.reset();
    Log(kLogSeparator);
    Log("Script closed.\r\n");
    --Depth;
    if (Depth < 0) SaveRecord();
  };
  try {
    ReadScript(*reader);
  } catch (...) {
    close();
    throw;
  }
  close();
  if (!Stopped) SetState(psReady);
  return State;
}

void TProject::ReadScript(TTextReader& reader) {
  std::string line;
  while (State != psCancelled && !Stopped && reader.ReadLine(line)) {
    switch (HandleLine(line)) {
      case TLineResult::Next:
        break;
      case TLineResult::SkipNextLine:
        reader.ReadLine(line);
        break;
      case TLineResult::LeaveScript:
        return;
    }
  }
}

TProject::TLineResult TProject::HandleLine(const std::string& line) {
  if (line.starts_with("//") || line.starts_with("\\\\")) return TLineResult::Next;
  size_t equals = line.find('=');
  if (equals == std::string::npos) return TLineResult::Next;
  std::string key = line.substr(0, equals);
  std::string value = line.substr(equals + 1);

  // Option and environment lines are many and would only repeat themselves.
  std::string trimmed = Trim(key);
  if (!SameTextAnsi(trimmed, "OPTION") && !SameTextAnsi(trimmed, "SETENV")) {
    Log(kLogSeparator);
    Log(Expand(line, true) + "\r\n");
  }

  for (const TKeywordRow& row : kKeywordTable) {
    if (key != row.key) continue;
    if (row.stored) Vars.SetValue(key, value);
    return (this->*row.action)(value);
  }
  Vars.SetValue(key, value);
  return TLineResult::Next;
}

void TProject::SaveRecord() {
  if (Record == nullptr) return;
  // Without the record the next build goes by dates alone: worth a line in
  // the log, not a failed build.
  if (!Record->Save()) Log("Build record \"" + Record->Path() + "\" not written.\r\n");
  Record.reset();
}

void TProject::DeriveProjectDirs(const std::string& scriptPath) {
  std::string projectDir = DropLastField(ExtractFilePath(scriptPath));
  std::string sdkDir = DropLastField(projectDir);
  Vars.SetValue("PROJECTDIR", "\"" + projectDir + "\"");
  Vars.SetValue("SDKDIR", "\"" + sdkDir + "\"");
}

}  // namespace tessel

// The options file TEMP.TXT that every tool run reads through "-SUB=".

#include "engine/uProject.h"

namespace tessel {

TFreshTextFile TProject::CreateOptionsFile(const std::string& workDir) {
  return TFreshTextFile(InWorkDir(workDir, kOptionsFileName));
}

void TProject::WriteOption(TFreshTextFile& file, const std::string& line) {
  file.WriteLine(line);
  Log(line + "\r\n");
}

void TProject::WriteOptions(TFreshTextFile& file, const TStringList& lines) {
  for (const std::string& line : lines) WriteOption(file, line);
}

TStringList TProject::OptionLines(int listIndex, const char* placeholder) const {
  TStringList lines;
  OptionLinesInto(listIndex, placeholder, lines);
  return lines;
}

void TProject::OptionLinesInto(int listIndex, const char* placeholder, TStringList& lines) const {
  const TStringList* options = List(listIndex);
  if (options == nullptr) {
    lines.clear();
    if (placeholder != nullptr) lines.emplace_back(placeholder);
    return;
  }
  lines.resize(options->size());
  // Without quote removal: quotes written around paths in an option survive.
  // Steps give the same option texts again and again: each is compiled once
  // per build (up to a bound, as the lines are).
  for (size_t i = 0; i < options->size(); ++i) {
    const std::string& option = (*options)[i];
    TParamlist::TCompiledText* compiled = CompiledOptions.Find(option);
    if (compiled == nullptr && CompiledOptions.Size() < kKeptLines) {
      compiled = CompiledOptions.TryEmplace(option).first;
      *compiled = TParamlist::Compile(option, false);
    }
    if (compiled != nullptr) {
      Vars.ExpandInto(*compiled, nullptr, lines[i]);
    } else {
      lines[i] = Expand(option, false);
    }
  }
}

ProcessResult TProject::RunToolOnOptions(const std::string& quotedTool, const std::string& workDir,
                                         const TStringList& options,
                                         const std::string& displayText) {
  TFreshTextFile file = CreateOptionsFile(workDir);
  Log("options:\r\n");
  WriteOptions(file, options);
  file.Close();
  DisplayText = displayText;
  return RunCommand(quotedTool + " " + kOptionsArgument, workDir, List(klSetEnv));
}

}  // namespace tessel

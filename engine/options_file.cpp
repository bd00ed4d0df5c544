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
  const TStringList* options = List(listIndex);
  if (options == nullptr) return placeholder != nullptr ? TStringList{placeholder} : TStringList{};
  TStringList lines;
  lines.reserve(options->size());
  // Without quote removal: quotes written around paths in an option survive.
  // Steps give the same option texts again and again: each is compiled once
  // per build (up to a bound, as the lines are).
  for (const std::string& option : *options) {
    TParamlist::TCompiledText* compiled = CompiledOptions.Find(option);
    if (compiled == nullptr && CompiledOptions.Size() < kKeptLines) {
      compiled = CompiledOptions.TryEmplace(option).first;
      *compiled = TParamlist::Compile(option, false);
    }
    lines.push_back(compiled != nullptr ? Vars.Expand(*compiled) : Expand(option, false));
  }
  return lines;
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

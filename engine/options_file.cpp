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

bool TProject::WriteOptionList(TFreshTextFile& file, int listIndex) {
  const TStringList* options = List(listIndex);
  if (options == nullptr) return false;
  // Without quote removal: quotes written around paths in an option survive.
  for (const std::string& option : *options) WriteOption(file, Expand(option, false));
  return true;
}

ProcessResult TProject::RunToolOnOptions(const std::string& quotedTool, const std::string& workDir,
                                         int listIndex, const char* placeholder,
                                         const std::string& displayText) {
  TFreshTextFile options = CreateOptionsFile(workDir);
  Log("options:\r\n");
  if (!WriteOptionList(options, listIndex) && placeholder != nullptr) {
    WriteOption(options, placeholder);
  }
  options.Close();
  DisplayText = displayText;
  return RunCommand(quotedTool + " " + kOptionsArgument, workDir, List(klSetEnv));
}

}  // namespace tessel

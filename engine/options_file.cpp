// The options file TEMP.TXT that every tool run reads through "-SUB=".

#include "engine/uProject.h"

namespace tessel {

TTextWriter TProject::CreateOptionsFile(const std::string& workDir) {
  return TTextWriter(InWorkDir(workDir, "TEMP.TXT"));
}

void TProject::WriteOption(TTextWriter& file, const std::string& line) {
  file.WriteLine(line);
  Log(line + "\r\n");
}

bool TProject::WriteOptionList(TTextWriter& file, int listIndex) {
  const TStringList* options = List(listIndex);
  if (options == nullptr) return false;
  // Without quote removal: quotes written around paths in an option survive.
  for (const std::string& option : *options) WriteOption(file, Expand(option, false));
  return true;
}

}  // namespace tessel

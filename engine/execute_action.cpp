// EXECUTE: the generic compile, assemble or link step of the scripts.

#include "engine/uProject.h"

namespace tessel {

void TProject::ExecuteAction(int listIndex) {
  AddStep(256);
  if (IsUpToDate()) {
    ReportSkip();
    return;
  }
  std::string tool = ExpandedValue("EXECUTE", true);
  std::string workDir = ExpandedValue("WORKDIR", true);

  TTextWriter options = CreateOptionsFile(workDir);
  Log("options:\r\n");
  if (!WriteOptionList(options, listIndex)) WriteOption(options, "FOption[ optXXX ] not assigned.");
  options.Close();

  DisplayText = ExpandedValue("PROG", true);
  RunCommand("\"" + tool + "\" -SUB=TEMP.TXT", workDir, List(klSetEnv));
}

}  // namespace tessel

// EXECUTE: the generic compile, assemble or link step of the scripts.

#include "engine/uProject.h"

namespace tessel {

void TProject::ExecuteAction(int listIndex) {
  AddStep(256);
  if (IsUpToDate()) {
    ReportSkip();
    return;
  }
  const std::string tool = "\"" + ExpandedValue("EXECUTE", true) + "\"";
  RunStep({ExpandedValue("DEPENDANT", true)}, [&] {
    return ToolFailure(
        RunToolOnOptions(tool, ExpandedValue("WORKDIR", true), listIndex,
                         "FOption[ optXXX ] not assigned.", ExpandedValue("PROG", true)),
        tool);
  });
}

}  // namespace tessel

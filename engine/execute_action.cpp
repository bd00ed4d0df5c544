// EXECUTE: the generic compile, assemble or link step of the scripts.

#include "engine/uProject.h"

namespace tessel {

void TProject::ExecuteAction(int listIndex) {
  AddStep(256);
  if (IsUpToDate()) {
    ReportSkip();
    return;
  }
  RunToolOnOptions("\"" + ExpandedValue("EXECUTE", true) + "\"", ExpandedValue("WORKDIR", true),
                   listIndex, "FOption[ optXXX ] not assigned.", ExpandedValue("PROG", true));
}

}  // namespace tessel

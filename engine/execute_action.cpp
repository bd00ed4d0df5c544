// EXECUTE: the generic compile, assemble or link step of the scripts.

#include "engine/build_record.h"
#include "engine/uProject.h"

namespace tessel {

void TProject::ExecuteAction(int listIndex) {
  AddStep(256);
  const std::string tool = "\"" + ExpandedValue("EXECUTE", true) + "\"";
  const TStringList options = OptionLines(listIndex, "FOption[ optXXX ] not assigned.");
  const bool upToDate = IsUpToDate();
  const TStepIdentity step =
      IdentifyStep(TStepHash().Add("EXECUTE").Add(tool).Add(options).Value());
  if (!MustRun(upToDate, step)) return;
  RunStep(step, {step.target}, [&] {
    return ToolFailure(RunToolOnOptions(tool, ExpandedValue("WORKDIR", true), options,
                                        ExpandedValue("PROG", true)),
                       tool);
  });
}

}  // namespace tessel

// EXECUTE: the generic compile, assemble or link step of the scripts.

#include "engine/build_record.h"
#include "engine/uProject.h"

namespace tessel {

void TProject::ExecuteAction(int listIndex) {
  AddStep(256);
  // Expanded into storage kept from the last step: nothing in a step runs
  // another EXECUTE before this one ends.
  std::string& tool = ExecuteStorage.tool;
  tool.assign(1, '"');
  AppendExpandedValue("EXECUTE", true, tool);
  tool += '"';
  TStringList& options = ExecuteStorage.options;
  OptionLinesInto(listIndex, "FOption[ optXXX ] not assigned.", options);
  const bool upToDate = IsUpToDate();
  TStepIdentity& step = ExecuteStorage.step;
  IdentifyStep(TStepHash().Add("EXECUTE").Add(tool).Add(options).Value(), step);
  if (!MustRun(upToDate, step)) return;
  RunStep(step, {step.target}, [&] {
    return ToolFailure(RunToolOnOptions(tool, ExpandedValue("WORKDIR", true), options,
                                        ExpandedValue("PROG", true)),
                       tool);
  });
}

}  // namespace tessel

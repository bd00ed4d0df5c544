// The Build command: pre-build checks, the engine run on the project script,
// the forced full build after a program update and the closing line.

#include "app/main_core.h"
#include "app/prebuild_checks.h"
#include "engine/uProject.h"
#include "platform/file_system.h"

namespace tessel {

TBuildResult TMainCore::Build() {
  if (busy_) {
    build_.Cancel();
    return TBuildResult::CancelRequested;
  }
  if (!RunPreBuildChecks(currentProjectFile_, baseIniFile_, MakeAll, ui_)) {
    return TBuildResult::Refused;
  }

  busy_ = true;
  Changed();
  // Back to idle on every path, also when the run throws.
  struct TIdleGuard {
    TMainCore& core;
    ~TIdleGuard() {
      core.busy_ = false;
      core.builtOnce_ = true;
      core.Changed();
    }
  } idle{*this};

  ui_.ClearLog();
  ui_.ProcessMessages();

  TProgramSettings settings = ProgramSettings();
  if (!FileExists(currentProjectFile_)) OpenProject();
  if (!FileExists(currentProjectFile_)) return TBuildResult::NoProject;
  ui_.LogLine("Execute: " + currentProjectFile_);

  TBuildSettings run;
  run.logWindow = &ui_;
  run.reportAll = ReportAll;
  run.makeAll = MakeAll;
  run.engineLogPath = config_.engineLogPath;
  const std::string version = ProgramVersionOf(config_.fileVersion);
  if (version != settings.FileVersion()) {
    run.makeAll = true;
    ui_.ShowInformation("New program version. A \"Make all\" will be performed.");
  }

  const TBuildOutcome outcome = build_.Run(ScriptPathOf(currentProjectFile_), run);
  if (outcome.state == psReady) settings.SetFileVersion(version);
  ui_.LogLine(outcome.closingLine);
  if (outcome.state == psReady) return TBuildResult::Ready;
  return outcome.state == psCancelled ? TBuildResult::Cancelled : TBuildResult::Errors;
}

}  // namespace tessel

#include "app/build_run.h"

#include "engine/uProject.h"

namespace tessel {

std::string ClosingLine(uint8_t state) {
  if (state == psCancelled) return "Cancelled";
  if (state == psReady) return "Ready";
  return "Finished with errors.";
}

TBuildOutcome TBuildRun::Run(const std::string& scriptPath, const TBuildSettings& settings) {
  TProject engine(settings.engineLogPath);
  engine.LogWindow = settings.logWindow;
  engine.ReportAll = settings.reportAll;
  engine.MakeAll = settings.makeAll;

  // The reference must not outlive the engine, also when the run throws.
  struct TRunningGuard {
    TProject*& slot;
    ~TRunningGuard() { slot = nullptr; }
  } guard{running_};
  running_ = &engine;

  TBuildOutcome outcome;
  outcome.state = engine.Run(scriptPath);
  outcome.closingLine = ClosingLine(outcome.state);
  return outcome;
}

void TBuildRun::Cancel() {
  if (running_ != nullptr) running_->Cancel();
}

}  // namespace tessel

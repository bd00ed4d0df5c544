// A failed step ends the build: the reason is logged, what the step wrote to
// its targets is removed, and no further script line runs.

#include <string.h>

#include "engine/build_record.h"
#include "engine/file_status_cache.h"
#include "engine/uProject.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "support/Base_00.h"

namespace tessel {

namespace {

// The targets as they were when the step began; a target that is new or
// rewritten since then was written by the step.
class TTargetsBefore {
 public:
  // With the run's status cache the make rule has usually just read them.
  TTargetsBefore(const std::vector<std::string>& targets, TFileStatusCache* statuses) {
    for (const std::string& path : targets) {
      if (IsBlank(path)) continue;
      before_.push_back({path, statuses != nullptr ? statuses->Get(path) : GetFileStatus(path)});
    }
  }

  // Paths removed, in the order the step named them.
  std::vector<std::string> RemoveWritten() const {
    std::vector<std::string> removed;
    for (const auto& [path, then] : before_) {
      const TFileStatus now = GetFileStatus(path);
      if (!now.exists || (then.exists && now.writeTime == then.writeTime)) continue;
      if (DeleteFileAt(path)) removed.push_back(path);
    }
    return removed;
  }

 private:
  std::vector<std::pair<std::string, TFileStatus>> before_;
};

}  // namespace

std::string TProject::ToolFailure(const ProcessResult& result, const std::string& command) {
  if (result.errorCode == 0 && result.exitCode == 0) return "";
  const std::vector<std::string> arguments = SplitCommandLine(StripOuterQuotes(command));
  const std::string tool = "\"" + (arguments.empty() ? command : arguments.front()) + "\"";
  if (result.errorCode != 0) {
    return tool + " could not be started (" +
           PlatformErrorText(static_cast<int>(result.errorCode)) + ")";
  }
  if (result.signal != 0) {
    return tool + " was killed by signal " + std::to_string(result.signal) + " (" +
           strsignal(static_cast<int>(result.signal)) + ")";
  }
  return tool + " exited with " + std::to_string(result.exitCode);
}

bool TProject::RunStep(const TStepIdentity& step, const std::vector<std::string>& targets,
                       const std::function<std::string()>& work) {
  const TTargetsBefore before(targets, Depth >= 0 ? Statuses.get() : nullptr);
  auto recordOutcome = [&](bool succeeded) {
    if (Record == nullptr || step.key.empty()) return;
    if (succeeded) {
      Record->Succeeded(step.key, step.hash);
    } else {
      Record->Failed(step.key);  // runs again next time, whatever the dates say
    }
  };
  auto removeWritten = [&] {
    for (const std::string& path : before.RemoveWritten()) {
      Log("Removed \"" + path + "\", which the failed step wrote.\r\n", true);
    }
    FilesChanged();
  };
  std::string failure;
  try {
    failure = work();
  } catch (...) {
    FilesChanged();
    recordOutcome(false);
    removeWritten();
    throw;
  }
  // Whatever the step ran may have written files.
  FilesChanged();
  recordOutcome(failure.empty());
  if (failure.empty()) return true;
  Log("Step failed: " + failure + " - the build stops.\r\n", true);
  removeWritten();
  Stopped = true;
  SetState(psFailed);
  return false;
}

}  // namespace tessel

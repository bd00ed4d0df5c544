#pragma once
// One build run: a fresh engine runs a project script, and its final state
// becomes the closing line the Build command writes.

#include <cstdint>
#include <string>

#include "support/user_interface.h"

namespace tessel {

class TProject;

struct TBuildSettings {
  TUserInterface* logWindow = nullptr;  // receives the engine's lines; not owned
  bool reportAll = false;
  bool makeAll = false;
  std::string engineLogPath;  // empty: the engine's default
};

struct TBuildOutcome {
  uint8_t state = 0;
  std::string closingLine;  // "Ready", "Cancelled" or "Finished with errors."
};

// "Cancelled" for 3, "Ready" for 2, "Finished with errors." otherwise.
std::string ClosingLine(uint8_t state);

class TBuildRun {
 public:
  // Runs the script; exceptions of the run pass through after the engine is
  // gone. Not re-entrant.
  TBuildOutcome Run(const std::string& scriptPath, const TBuildSettings& settings);
  // Cancels the running engine, if any (from ProcessMessages during a run).
  void Cancel();
  bool IsRunning() const { return running_ != nullptr; }

 private:
  TProject* running_ = nullptr;  // valid only while Run is active
};

}  // namespace tessel

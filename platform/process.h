#pragma once
// Starting a tool the way "CMD /C command > output" would, without any shell:
//  - when the command starts with a double quote and holds more than two, the
//    first and the last double quote are removed (the CMD /C rule);
//  - the rest is split into arguments by the Windows rules (blanks and tabs
//    separate, double quotes group and are removed, backslashes before a
//    quote follow the usual doubling rule);
//  - the first argument, mapped to a host path, is the program; a bare name
//    is looked for in the working directory and then along PATH, passing
//    over files that may not be executed, as a shell does (when only such
//    files exist, the first one is reported as not runnable);
//  - it runs in the working directory with standard output and standard error
//    written to the output file there; with an environment block the program
//    sees exactly those variables and no others;
//  - a program that cannot be started gives exit code 127 and one line in
//    the output file saying why.
// The tool runs in its own process group, so a Ctrl-C at the terminal reaches
// the front end (which cancels the build) and not the tool.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessel {

struct ProcessResult {
  uint32_t errorCode = 0;  // platform error of the start itself; 0 when started
  uint32_t exitCode = 0;   // exit status of the tool (127 when it could not run)
  uint32_t signal = 0;     // the signal that ended the tool (exitCode is then 128 + signal)
};

// CMD /C outer-quote rule.
std::string StripOuterQuotes(const std::string& command);

// Windows argument splitting (CommandLineToArgv rules).
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// Starts tools. The real runner spawns programs; tests and the fuzz targets
// put one in that never starts a program.
class TProcessRunner {
 public:
  virtual ~TProcessRunner() = default;
  // Runs `command` (the text that would follow "CMD /C ") in `workDir` (system
  // path), waits for it and returns its status. `outputFile` is a file name in
  // the working directory that receives standard output and standard error.
  // `environment` holds NAME=VALUE entries, or is absent to inherit the
  // program's environment.
  virtual ProcessResult Run(const std::string& command, const std::string& workDir,
                            const std::optional<std::vector<std::string>>& environment,
                            const std::string& outputFile) = 0;
};

// The runner that starts real programs.
TProcessRunner& SystemProcessRunner();

// The process-wide runner every tool start goes through: the system runner
// unless a scope has put another one in.
TProcessRunner& CurrentProcessRunner();

// Puts `runner` in for its lifetime and restores the previous one after.
// Scopes nest; make them on the thread that starts the builds, before any runs.
class TProcessRunnerScope {
 public:
  explicit TProcessRunnerScope(TProcessRunner& runner);
  ~TProcessRunnerScope();
  TProcessRunnerScope(const TProcessRunnerScope&) = delete;
  TProcessRunnerScope& operator=(const TProcessRunnerScope&) = delete;

 private:
  TProcessRunner* previous_;
};

// Runs a tool with the current runner (see TProcessRunner::Run).
ProcessResult RunTool(const std::string& command, const std::string& workDir,
                      const std::optional<std::vector<std::string>>& environment,
                      const std::string& outputFile = "MyOutPut.TXT");

}  // namespace tessel

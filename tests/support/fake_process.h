#pragma once
// A process runner for tests that starts no program: each tool is a test
// function called in-process. It may write files, print lines into the
// output file, return an exit status, end as if killed by a signal, or fail
// to start. The in-process stand-in (StandinTool) acts like the compiled
// stand-in tool, STANDIN.LOG record included.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace tessel::test {

// What a fake tool sees.
struct TFakeToolRun {
  std::vector<std::string> args;  // the program as written, then its arguments
  std::string workDir;            // system path
  std::optional<std::vector<std::string>> environment;
  std::string outputFile;  // system path of the file that gets the tool's output

  // System path of a file named relative to the working directory.
  std::string InWorkDir(const std::string& name) const;
  // A line of output, ended with LF as the tools end theirs.
  void Print(const std::string& line) const;
};

// How a fake tool ends.
struct TFakeToolEnd {
  uint32_t exitCode = 0;
  uint32_t signal = 0;      // ended by this signal (a tool killed mid-run)
  uint32_t startError = 0;  // the start failed with this platform error

  static TFakeToolEnd Exit(uint32_t code) { return {code, 0, 0}; }
  static TFakeToolEnd Killed(uint32_t signal) { return {0, signal, 0}; }
  static TFakeToolEnd NotStarted(uint32_t error) { return {0, 0, error}; }
};

using TFakeTool = std::function<TFakeToolEnd(const TFakeToolRun&)>;

class TFakeProcessRunner final : public TProcessRunner {
 public:
  // `program` is matched exactly against the first word of the command.
  void Add(const std::string& program, TFakeTool tool);

  // As the system runner: the output file is created empty before the tool
  // runs; a missing working directory fails the start; a program nobody
  // added cannot start (exit code 127 and the reason in the output file).
  ProcessResult Run(const std::string& command, const std::string& workDir,
                    const std::optional<std::vector<std::string>>& environment,
                    const std::string& outputFile) override;

  // Every command given, in order, started or not.
  std::vector<std::string> commands;

 private:
  std::map<std::string, TFakeTool> tools_;
};

// The stand-in tool's behaviour, run in-process (no -kill-parent).
TFakeTool StandinTool();

// A fake runner put in for the lifetime of the object, with the in-process
// stand-in under each of the given names.
class TFakeTools {
 public:
  explicit TFakeTools(const std::vector<std::string>& standinNames = {});
  TFakeProcessRunner runner;

 private:
  TProcessRunnerScope scope_{runner};
};

}  // namespace tessel::test

#include "tests/support/fake_process.h"

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "tests/support/standin_run.h"

extern char** environ;

namespace tessel::test {

std::string TFakeToolRun::InWorkDir(const std::string& name) const {
  return JoinPath(workDir, name);
}

void TFakeToolRun::Print(const std::string& line) const {
  AppendFileBytes(outputFile, line + "\n");
}

void TFakeProcessRunner::Add(const std::string& program, TFakeTool tool) {
  tools_[program] = std::move(tool);
}

ProcessResult TFakeProcessRunner::Run(const std::string& command, const std::string& workDir,
                                      const std::optional<std::vector<std::string>>& environment,
                                      const std::string& outputFile) {
  commands.push_back(command);
  ProcessResult result;
  if (!DirectoryExists(workDir)) {
    result.errorCode = FileExists(workDir) ? ENOTDIR : ENOENT;
    return result;
  }
  TFakeToolRun run;
  run.workDir = workDir;
  run.environment = environment;
  run.outputFile = JoinPath(workDir, outputFile);
  try {
    WriteFileBytes(run.outputFile, "");
  } catch (const EFileError&) {
    result.errorCode = EACCES;
    return result;
  }
  size_t begin = command.find_first_not_of(" \t");
  run.args = SplitCommandLine(
      StripOuterQuotes(command.substr(begin == std::string::npos ? command.size() : begin)));
  const auto tool = run.args.empty() ? tools_.end() : tools_.find(run.args[0]);
  if (tool == tools_.end()) {
    AppendFileBytes(run.outputFile, "Cannot start " + (run.args.empty() ? "" : run.args[0]) + ": " +
                                        PlatformErrorText(ENOENT) + "\r\n");
    result.exitCode = 127;
    return result;
  }
  const TFakeToolEnd end = tool->second(run);
  result.errorCode = end.startError;
  if (end.signal != 0) {
    result.signal = end.signal;
    result.exitCode = 128 + end.signal;
  } else if (end.startError == 0) {
    result.exitCode = end.exitCode;
  }
  return result;
}

namespace {

// The stand-in's reach: files relative to the working directory through the
// platform's file functions, output into the output file.
class TInProcessHost final : public TStandinHost {
 public:
  explicit TInProcessHost(const TFakeToolRun& run) : run_(run) {}

  bool Read(const std::string& name, std::string& data, std::string& reason) override {
    try {
      data = ReadFileBytes(run_.InWorkDir(name));
      return true;
    } catch (const EFileError& error) {
      reason = error.what();
      return false;
    }
  }

  bool Write(const std::string& name, const std::string& data, bool append) override {
    try {
      if (append) {
        AppendFileBytes(run_.InWorkDir(name), data);
      } else {
        WriteFileBytes(run_.InWorkDir(name), data);
      }
      return true;
    } catch (const EFileError&) {
      return false;
    }
  }

  void Emit(int /*stream*/, const std::string& line) override { run_.Print(line); }

  void KillParent() override {
    throw std::logic_error("the in-process stand-in cannot kill the test");
  }

  void Sleep(long milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }

 private:
  const TFakeToolRun& run_;
};

}  // namespace

TFakeTool StandinTool() {
  return [](const TFakeToolRun& run) {
    std::vector<std::string> environment;
    if (run.environment) {
      environment = *run.environment;
    } else {
      for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
    }
    TInProcessHost host(run);
    const std::vector<std::string> args(run.args.begin() + 1, run.args.end());
    const TStandinEnd end = ActAsStandin(args, HostPath(run.workDir), std::move(environment), host);
    if (end.signal != 0) return TFakeToolEnd::Killed(static_cast<uint32_t>(end.signal));
    return TFakeToolEnd::Exit(static_cast<uint32_t>(end.exitCode));
  };
}

TFakeTools::TFakeTools(const std::vector<std::string>& standinNames) {
  for (const std::string& name : standinNames) runner.Add(name, StandinTool());
}

}  // namespace tessel::test

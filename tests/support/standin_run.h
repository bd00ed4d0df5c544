#pragma once
// What one run of the stand-in tool does (protocol in standin_tool.cpp),
// independent of where it runs: the compiled stand-in program acts through
// the operating system, the in-process stand-in of the fake process runner
// through the platform's file functions.

#include <string>
#include <vector>

namespace tessel::test {

class TStandinHost {
 public:
  virtual ~TStandinHost() = default;
  // Whole file by a name relative to the working directory; false with the
  // reason when it cannot be read.
  virtual bool Read(const std::string& name, std::string& data, std::string& reason) = 0;
  // Creates or truncates, or appends to, a file; false when that fails.
  virtual bool Write(const std::string& name, const std::string& data, bool append) = 0;
  // One line on standard output (stream 1) or standard error (stream 2).
  virtual void Emit(int stream, const std::string& line) = 0;
  // SIGKILL to the process that started the tool.
  virtual void KillParent() = 0;
  virtual void Sleep(long milliseconds) = 0;
};

struct TStandinEnd {
  int exitCode = 0;
  int signal = 0;  // non-zero: the run ends by this signal instead
};

// One run: `args` after the program name, `workDir` and `environment` as the
// tool sees them (the environment is recorded sorted).
TStandinEnd ActAsStandin(const std::vector<std::string>& args, const std::string& workDir,
                         std::vector<std::string> environment, TStandinHost& host);

}  // namespace tessel::test

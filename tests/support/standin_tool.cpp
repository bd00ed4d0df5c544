// A stand-in for the external tool chain, started by the tests the way the
// engine starts its tools: `tool -SUB=TEMP.TXT` (the argument may be absent).
//
// Every run appends one record to STANDIN.LOG in its working directory, one
// item per line, each line ending in LF:
//   RUN <n>               n = 1 for the first record in that log, then 2, ...
//   ARG <text>            one line per argument after the program name
//   CWD <path>            the working directory
//   ENV <NAME=VALUE>      the whole environment, sorted byte-wise
//   OPTIONS <file>        the -SUB= file as given (absent without -SUB=)
//   OPT <line>            each line of that file (CR LF or LF ends a line)
//   UNREADABLE <reason>   instead of OPT lines when the file cannot be read
//   END
// In the texts, '%' is written as %25, CR as %0D and LF as %0A.
//
// The protocol lives in standin_run.cpp, which the fake process runner of the
// tests runs in-process as well.
//
// Then it acts on the directive lines of the options file, in order; other
// lines are ordinary options and ignored:
//   -print=TEXT          TEXT and a newline on standard output
//   -stderr=TEXT         TEXT and a newline on standard error
//   -output=FILE         FILE created or truncated, holding "standin run <n>"
//                        and a newline (relative to the working directory)
//   -append=FILE:TEXT    TEXT and a newline appended to FILE (split at the
//                        first ':')
//   -sleep=MS            sleep MS milliseconds before exiting
//   -exit=N              exit status N (default 0)
//   -kill=SIG            the run ends at once by signal SIG (a tool killed
//                        mid-run); later directives are not acted on
//   -kill-parent         SIGKILL to the process that started it (a build
//                        killed while its tool runs)

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/standin_run.h"

extern char** environ;

namespace {

class TProcessHost final : public tessel::test::TStandinHost {
 public:
  bool Read(const std::string& name, std::string& data, std::string& reason) override {
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      reason = std::strerror(errno);
      return false;
    }
    char buffer[8192];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) data.append(buffer, static_cast<size_t>(n));
    if (n < 0) reason = std::strerror(errno);
    ::close(fd);
    return n == 0;
  }

  bool Write(const std::string& name, const std::string& data, bool append) override {
    const int fd =
        ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0666);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    ::close(fd);
    return done == data.size();
  }

  void Emit(int stream, const std::string& line) override {
    const std::string text = line + "\n";
    if (::write(stream, text.data(), text.size()) < 0) std::exit(3);
  }

  void KillParent() override { ::kill(::getppid(), SIGKILL); }

  void Sleep(long milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

}  // namespace

int main(int argc, char** argv) {
  char cwd[4096];
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
  TProcessHost host;
  const tessel::test::TStandinEnd end = tessel::test::ActAsStandin(
      std::vector<std::string>(argv + 1, argv + argc),
      ::getcwd(cwd, sizeof cwd) != nullptr ? cwd : "?", std::move(environment), host);
  if (end.signal != 0) {
    ::signal(end.signal, SIG_DFL);
    ::raise(end.signal);
  }
  return end.exitCode;
}

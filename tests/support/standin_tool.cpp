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
//   -kill-parent         SIGKILL to the process that started it (a build
//                        killed while its tool runs)

#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '%') {
      out += "%25";
    } else if (c == '\r') {
      out += "%0D";
    } else if (c == '\n') {
      out += "%0A";
    } else {
      out += c;
    }
  }
  return out;
}

bool ReadWhole(const std::string& path, std::string& data) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[8192];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) data.append(buffer, static_cast<size_t>(n));
  ::close(fd);
  return n == 0;
}

bool WriteWhole(const std::string& path, const std::string& data, int flags) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666);
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

void Emit(int fd, const std::string& text) {
  const std::string line = text + "\n";
  if (::write(fd, line.data(), line.size()) < 0) std::exit(3);
}

std::vector<std::string> Lines(const std::string& data) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < data.size()) {
    size_t end = data.find('\n', pos);
    const size_t next = end == std::string::npos ? data.size() : end + 1;
    if (end == std::string::npos) end = data.size();
    std::string line = data.substr(pos, end - pos);
    if (end < data.size() && !line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    pos = next;
  }
  return lines;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string optionsFile;
  bool haveOptions = false;
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& arg : args) {
    if (arg.size() >= 5 && strncasecmp(arg.c_str(), "-SUB=", 5) == 0) {
      optionsFile = arg.substr(5);
      haveOptions = true;
      break;
    }
  }

  std::string previous;
  ReadWhole("STANDIN.LOG", previous);
  int run = 1;
  for (const std::string& line : Lines(previous)) {
    if (StartsWith(line, "RUN ")) ++run;
  }

  std::string record = "RUN " + std::to_string(run) + "\n";
  for (const std::string& arg : args) record += "ARG " + Escape(arg) + "\n";
  char cwd[4096];
  record += "CWD " + Escape(::getcwd(cwd, sizeof cwd) != nullptr ? cwd : "?") + "\n";
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
  std::sort(environment.begin(), environment.end());
  for (const std::string& entry : environment) record += "ENV " + Escape(entry) + "\n";

  std::vector<std::string> options;
  if (haveOptions) {
    record += "OPTIONS " + Escape(optionsFile) + "\n";
    std::string data;
    if (ReadWhole(optionsFile, data)) {
      options = Lines(data);
      for (const std::string& option : options) record += "OPT " + Escape(option) + "\n";
    } else {
      record += "UNREADABLE " + Escape(std::strerror(errno)) + "\n";
    }
  }
  record += "END\n";
  if (!WriteWhole("STANDIN.LOG", record, O_APPEND)) return 3;

  int exitCode = 0;
  long sleepMs = 0;
  for (const std::string& option : options) {
    if (StartsWith(option, "-print=")) {
      Emit(1, option.substr(7));
    } else if (StartsWith(option, "-stderr=")) {
      Emit(2, option.substr(8));
    } else if (StartsWith(option, "-output=")) {
      if (!WriteWhole(option.substr(8), "standin run " + std::to_string(run) + "\n", O_TRUNC)) {
        Emit(2, "standin: cannot write " + option.substr(8));
        exitCode = 3;
      }
    } else if (StartsWith(option, "-append=")) {
      const std::string rest = option.substr(8);
      const size_t colon = rest.find(':');
      const std::string file = rest.substr(0, colon);
      const std::string text = colon == std::string::npos ? "" : rest.substr(colon + 1);
      if (!WriteWhole(file, text + "\n", O_APPEND)) {
        Emit(2, "standin: cannot append to " + file);
        exitCode = 3;
      }
    } else if (StartsWith(option, "-sleep=")) {
      sleepMs = std::strtol(option.c_str() + 7, nullptr, 10);
    } else if (option == "-kill-parent") {
      ::kill(::getppid(), SIGKILL);
    } else if (StartsWith(option, "-exit=")) {
      exitCode = static_cast<int>(std::strtol(option.c_str() + 6, nullptr, 10));
    }
  }
  if (sleepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
  return exitCode;
}

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/host_file_system.h"
#include "platform/host_path.h"
#include "platform/host_path_posix.h"
#include "platform/path_split.h"
#include "platform/process.h"

extern char** environ;

namespace tessel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsAbsoluteSystemPath(const std::string& path) {
  if (!path.empty() && IsPathDelimiter(path[0])) return true;
  return path.size() >= 2 && path[1] == ':';
}

// A look-up through the current file system; an empty path is missing.
bool LookUp(const std::string& hostPath, TFileInfo& info) {
  if (hostPath.empty()) {
    errno = ENOENT;
    return false;
  }
  return CurrentFileSystem().Stat(hostPath, info);
}

bool IsRunnableFile(const std::string& hostPath) {
  struct stat st;
  return !hostPath.empty() && ::stat(hostPath.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool ExistsOnHost(const std::string& hostPath) {
  struct stat st;
  return !hostPath.empty() && ::stat(hostPath.c_str(), &st) == 0;
}

std::string PathVariable(const std::optional<std::vector<std::string>>& environment) {
  if (!environment) return GetEnvironmentValue("PATH");
  for (const std::string& entry : *environment) {
    if (entry.compare(0, 5, "PATH=") == 0) return entry.substr(5);
  }
  return std::string();
}

bool IsExecutableFile(const std::string& hostPath) {
  return IsRunnableFile(hostPath) && ::access(hostPath.c_str(), X_OK) == 0;
}

// Host path of the program the way the command interpreter finds it: a path
// relative to the working directory, or a bare name in the working directory
// and then in PATH. A file there that may not be executed is passed over for
// a later one, yet stands for the name when no executable follows, so that
// the start fails with its reason. Empty when nothing is found.
std::string ResolveProgram(const std::string& program, const std::string& workDir,
                           const std::optional<std::vector<std::string>>& environment,
                           TFileInfo& info, THostStat& found) {
  found = THostStat::Unknown;
  if (IsAbsoluteSystemPath(program)) return HostPathStat(program, info, found);
  const std::string inWorkDir = HostPath(JoinPath(workDir, program));
  if (HasDirectoryPart(program) || IsExecutableFile(inWorkDir)) return inWorkDir;
  std::string notExecutable = IsRunnableFile(inWorkDir) ? inWorkDir : std::string();
  const std::string path = PathVariable(environment);
  size_t pos = 0;
  while (pos < path.size()) {
    size_t end = path.find(':', pos);
    if (end == std::string::npos) end = path.size();
    if (end > pos) {
      const std::string candidate = HostPath(path.substr(pos, end - pos) + "/" + program);
      if (IsExecutableFile(candidate)) return candidate;
      if (notExecutable.empty() && IsRunnableFile(candidate)) notExecutable = candidate;
    }
    pos = end + 1;
  }
  return notExecutable;
}

void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    done += static_cast<size_t>(n);
  }
}

class TSpawnSetup {
 public:
  TSpawnSetup() {
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attr);
  }
  ~TSpawnSetup() {
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attr);
  }
  TSpawnSetup(const TSpawnSetup&) = delete;
  TSpawnSetup& operator=(const TSpawnSetup&) = delete;

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
};

// The shell's convention: a tool ended by a signal gives 128 + the signal.
void SetExitStatus(int status, ProcessResult& result) {
  if (WIFEXITED(status)) {
    result.exitCode = static_cast<uint32_t>(WEXITSTATUS(status));
  } else if (WIFSIGNALED(status)) {
    result.signal = static_cast<uint32_t>(WTERMSIG(status));
    result.exitCode = 128u + result.signal;
  } else {
    result.exitCode = 1;
  }
}

}  // namespace

std::string StripOuterQuotes(const std::string& command) {
  if (command.empty() || command[0] != '"') return command;
  const size_t last = command.rfind('"');
  if (std::count(command.begin(), command.end(), '"') <= 2) return command;
  return command.substr(1, last - 1) + command.substr(last + 1);
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> args;
  size_t i = 0;
  const size_t n = commandLine.size();
  while (i < n && IsBlank(commandLine[i])) ++i;
  if (i == n) return args;

  // The program name: up to the next quote when it starts with one, else up to
  // the next blank; backslashes are plain characters here.
  std::string program;
  if (commandLine[i] == '"') {
    ++i;
    while (i < n && commandLine[i] != '"') program += commandLine[i++];
    if (i < n) ++i;
  } else {
    while (i < n && !IsBlank(commandLine[i])) program += commandLine[i++];
  }
  args.push_back(program);
  while (i < n && IsBlank(commandLine[i])) ++i;

  // The arguments: 2n backslashes before a quote give n and the quote groups,
  // 2n+1 give n and a literal quote; other backslashes are literal. Inside a
  // group, a doubled quote is a literal quote that also ends the group.
  std::string arg;
  bool started = false;
  int quotes = 0;  // 1 while inside a group
  while (i < n) {
    const char c = commandLine[i];
    if (IsBlank(c) && quotes == 0) {
      if (started) args.push_back(arg);
      arg.clear();
      started = false;
      ++i;
      continue;
    }
    started = true;
    if (c == '\\') {
      size_t count = 0;
      while (i < n && commandLine[i] == '\\') {
        ++count;
        ++i;
      }
      if (i < n && commandLine[i] == '"') {
        arg.append(count / 2, '\\');
        if (count % 2 == 1) {
          arg += '"';
          ++i;
        }
        // An even count leaves the quote to the code below.
      } else {
        arg.append(count, '\\');
      }
      continue;
    }
    if (c == '"') {
      ++quotes;
      ++i;
      // Runs of quotes: every third one of a run (counting the group's opening
      // quote) is a literal quote.
      while (i < n && commandLine[i] == '"') {
        if (++quotes == 3) {
          arg += '"';
          quotes = 0;
        }
        ++i;
      }
      if (quotes == 2) quotes = 0;
      continue;
    }
    arg += c;
    ++i;
  }
  if (started) args.push_back(arg);
  return args;
}

namespace {

class TSpawnRunner final : public TProcessRunner {
 public:
  ProcessResult Run(const std::string& command, const std::string& workDir,
                    const std::optional<std::vector<std::string>>& environment,
                    const std::string& outputFile) override;
};

TProcessRunner*& InstalledRunner() {
  static TProcessRunner* runner = &SystemProcessRunner();
  return runner;
}

}  // namespace

TProcessRunner& SystemProcessRunner() {
  static TSpawnRunner runner;
  return runner;
}

TProcessRunner& CurrentProcessRunner() { return *InstalledRunner(); }

TProcessRunnerScope::TProcessRunnerScope(TProcessRunner& runner) : previous_(InstalledRunner()) {
  InstalledRunner() = &runner;
}

TProcessRunnerScope::~TProcessRunnerScope() { InstalledRunner() = previous_; }

ProcessResult RunTool(const std::string& command, const std::string& workDir,
                      const std::optional<std::vector<std::string>>& environment,
                      const std::string& outputFile) {
  // The output file and whatever the tool writes are new entries: listings
  // kept by the path mapping are brought up to date once this returns.
  struct TRefreshListings {
    ~TRefreshListings() { RefreshDirectoryListings(); }
  } refreshListings;
  return CurrentProcessRunner().Run(command, workDir, environment, outputFile);
}

ProcessResult TSpawnRunner::Run(const std::string& command, const std::string& workDir,
                                const std::optional<std::vector<std::string>>& environment,
                                const std::string& outputFile) {
  ProcessResult result;
  // An empty working directory stands for the current one.
  // Each path is mapped and looked up at once: a path that exists as
  // written costs one look-up in all.
  TFileInfo info;
  THostStat found = THostStat::Unknown;
  const std::string hostWorkDir =
      workDir.empty() ? std::string(".") : HostPathStat(workDir, info, found);
  // A failed one is looked up again for its reason.
  if (found != THostStat::Found && !LookUp(hostWorkDir, info)) {
    result.errorCode = static_cast<uint32_t>(errno);
    return result;
  }
  if (!info.isDirectory) {
    result.errorCode = ENOTDIR;
    return result;
  }

  const std::string hostOutput = HostPathStat(JoinPath(workDir, outputFile), info, found);
  if (found == THostStat::Unknown && !LookUp(hostOutput, info)) found = THostStat::Missing;
  if (found != THostStat::Missing && !info.isDirectory && info.ReadOnly()) {
    result.errorCode = EACCES;  // read-only, as for every other writer
    return result;
  }
  const int out = ::open(hostOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (out < 0) {
    result.errorCode = static_cast<uint32_t>(errno);
    return result;
  }
  struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
  } closeOut{out};

  size_t begin = 0;
  while (begin < command.size() && IsBlank(command[begin])) ++begin;
  const std::vector<std::string> args = SplitCommandLine(StripOuterQuotes(command.substr(begin)));
  if (args.empty() || args[0].empty()) {
    WriteAll(out, "Cannot start: the command is empty\r\n");
    result.exitCode = 127;
    return result;
  }
  const std::string program = ResolveProgram(args[0], workDir, environment, info, found);
  const bool runnable = found == THostStat::Unknown
                            ? IsRunnableFile(program)
                            : found == THostStat::Found && !info.isDirectory;
  if (!runnable) {
    // What exists but cannot be run is a directory.
    const int reason = ExistsOnHost(program) ? EISDIR : ENOENT;
    WriteAll(out, "Cannot start " + args[0] + ": " + PlatformErrorText(reason) + "\r\n");
    result.exitCode = 127;
    return result;
  }

  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  if (environment) {
    for (const std::string& entry : *environment) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
  }

  TSpawnSetup setup;
  ::posix_spawn_file_actions_addchdir_np(&setup.actions, hostWorkDir.c_str());
  ::posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(&setup.actions, out, 1);
  ::posix_spawn_file_actions_adddup2(&setup.actions, out, 2);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // Nothing of ours leaks into the tool.
  ::posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);
#endif
  // Own process group: a Ctrl-C at the terminal reaches the front end only.
  ::posix_spawnattr_setpgroup(&setup.attr, 0);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int sig : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD, SIGTSTP, SIGTTIN, SIGTTOU}) {
    sigaddset(&defaults, sig);
  }
  ::posix_spawnattr_setsigmask(&setup.attr, &none);
  ::posix_spawnattr_setsigdefault(&setup.attr, &defaults);
  ::posix_spawnattr_setflags(
      &setup.attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = 0;
  const int spawnError = ::posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attr,
                                       argv.data(), environment ? envp.data() : environ);
  if (spawnError != 0) {
    WriteAll(out, "Cannot start " + args[0] + ": " + PlatformErrorText(spawnError) + "\r\n");
    result.exitCode = 127;
    return result;
  }
  int status = 0;
  for (;;) {
    if (::waitpid(pid, &status, 0) == pid) break;
    if (errno == EINTR) continue;  // the front end's Ctrl-C handler ran
    result.exitCode = 1;
    return result;
  }
  SetExitStatus(status, result);
  return result;
}

}  // namespace tessel

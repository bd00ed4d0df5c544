#include "toolchain/cross_tools.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/host_path.h"
#include "toolchain/tool_invocation.h"

extern char** environ;

namespace tessel::toolchain {

const TCrossTool kCrossGcc = {"sh4-linux-gnu-gcc", "gcc-sh4-linux-gnu"};
const TCrossTool kCrossAs = {"sh4-linux-gnu-as", "binutils-sh4-linux-gnu"};
const TCrossTool kCrossLd = {"sh4-linux-gnu-ld", "binutils-sh4-linux-gnu"};
const TCrossTool kCrossAr = {"sh4-linux-gnu-ar", "binutils-sh4-linux-gnu"};
const TCrossTool kCrossObjcopy = {"sh4-linux-gnu-objcopy", "binutils-sh4-linux-gnu"};

namespace {

const char* const kDefaultPath = "/usr/local/bin:/usr/bin:/bin";

bool IsExecutable(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string SearchPath() {
  const char* path = std::getenv("PATH");
  return path != nullptr && *path != '\0' ? std::string(path) + ":" + kDefaultPath : kDefaultPath;
}

// The directory for temporary files: SHC_TMP when it names one (the build
// sets it to the SDK's debug directory), else TMPDIR, else /tmp.
std::string TempDirectory() {
  for (const char* name : {"SHC_TMP", "TMPDIR"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    const std::string host = HostPath(value);
    struct stat st;
    if (::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(host.c_str(), W_OK) == 0)
      return host;
  }
  return "/tmp";
}

std::vector<std::string> ChildEnvironment() {
  std::vector<std::string> env;
  bool havePath = false;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (text.compare(0, 7, "LC_ALL=") == 0 || text.compare(0, 7, "TMPDIR=") == 0) continue;
    if (text.compare(0, 5, "PATH=") == 0) {
      havePath = true;
      env.push_back("PATH=" + SearchPath());
      continue;
    }
    env.push_back(text);
  }
  if (!havePath) env.push_back(std::string("PATH=") + kDefaultPath);
  env.push_back("LC_ALL=C");
  env.push_back("TMPDIR=" + TempDirectory());
  return env;
}

}  // namespace

std::string FindCrossTool(const TCrossTool& tool) {
  const std::string path = SearchPath();
  size_t begin = 0;
  while (begin <= path.size()) {
    size_t end = path.find(':', begin);
    if (end == std::string::npos) end = path.size();
    const std::string dir = path.substr(begin, end - begin);
    if (!dir.empty()) {
      const std::string candidate = dir + "/" + tool.name;
      if (IsExecutable(candidate)) return candidate;
    }
    begin = end + 1;
  }
  throw EToolError(std::string(tool.name) + " not found; install the Debian package " +
                   tool.package + " (scripts/setup.sh installs it)");
}

TRunResult RunCrossTool(const TCrossTool& tool, const std::vector<std::string>& args) {
  const std::string program = FindCrossTool(tool);
  std::vector<std::string> argStrings = {program};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings = ChildEnvironment();
  std::vector<char*> envp;
  for (std::string& entry : envStrings) envp.push_back(entry.data());
  envp.push_back(nullptr);

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    throw EToolError(std::string("cannot run ") + tool.name + ": " + std::strerror(errno));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  const int spawnError =
      ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawnError != 0) {
    ::close(pipeFds[0]);
    throw EToolError(std::string("cannot run ") + program + ": " + std::strerror(spawnError));
  }
  TRunResult result;
  char buffer[4096];
  while (true) {
    const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
    if (got > 0) {
      result.output.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(pipeFds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.exitCode = 128 + WTERMSIG(status);
  } else {
    result.exitCode = 1;
  }
  return result;
}

TTempFile::TTempFile(const std::string& suffix) {
  std::string pattern = TempDirectory() + "/tessel-sh-XXXXXX" + suffix;
  const int fd = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
  if (fd < 0)
    throw EToolError("cannot create a temporary file in " + TempDirectory() + ": " +
                     std::strerror(errno));
  ::close(fd);
  FPath = pattern;
}

TTempFile::~TTempFile() {
  if (!FPath.empty()) ::unlink(FPath.c_str());
}

}  // namespace tessel::toolchain

#include "fuzz/harness.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/process.h"

namespace tessel::fuzz {

namespace fs = std::filesystem;

namespace {

// Each output file may grow to this size: a count that would fill the disk
// ends the command with a write error instead.
constexpr rlim_t kMaxFileSize = 64 << 20;

void WriteHostFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) {
    std::fprintf(stderr, "fuzz harness: cannot write %s\n", path.c_str());
    std::abort();
  }
}

std::string ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Names, sizes, modes, times and contents of a tree, as one text.
std::string Snapshot(const fs::path& directory) {
  std::vector<std::string> entries;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(directory, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    struct stat st;
    if (::lstat(it->path().c_str(), &st) != 0) continue;
    std::string entry = it->path().string() + " " + std::to_string(st.st_mode) + " " +
                        std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
                        std::to_string(st.st_mtim.tv_nsec);
    if (S_ISREG(st.st_mode)) entry += " " + ReadHostFile(it->path());
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end());
  std::string text;
  for (const std::string& entry : entries) text += entry + "\n";
  return text;
}

// Tools never start: each run leaves one line in the output file.
class TFakeTools final : public TProcessRunner {
 public:
  ProcessResult Run(const std::string& command, const std::string& workDir,
                    const std::optional<std::vector<std::string>>& /*environment*/,
                    const std::string& outputFile) override {
    ProcessResult result;
    try {
      const std::string path = workDir.empty() ? outputFile : workDir + "\\" + outputFile;
      WriteFileBytes(path, "fake tool: " + command + "\r\n");
    } catch (const EFileError&) {
      result.errorCode = 2;
      result.exitCode = 127;
    }
    return result;
  }
};

}  // namespace

TScratch& TScratch::Get() {
  static TScratch scratch;
  return scratch;
}

TScratch::TScratch() {
  std::string pattern = (fs::temp_directory_path() / "tessel-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("fuzz harness: mkdtemp");
    std::abort();
  }
  root_ = pattern;
  home_ = fs::current_path().string();
  box_ = root_ + "/box";
  outside_ = root_ + "/outside";
  fs::create_directories(box_);
  // Sentinels named like the files the inputs work on, one level up, where
  // "..\" in a path would reach them.
  for (const char* name : {"s.bin", "t.bin", "IN.BMP", "DEMO.INI", "BaseOptions.ini"}) {
    WriteHostFile(fs::path(outside_) / name, std::string("sentinel ") + name);
  }
  WriteHostFile(fs::path(root_) / "s.bin", "sentinel above the box");
  snapshot_ = Snapshot(outside_) + Snapshot(root_ + "/s.bin");

  struct rlimit limit = {kMaxFileSize, kMaxFileSize};
  ::setrlimit(RLIMIT_FSIZE, &limit);
  ::signal(SIGXFSZ, SIG_IGN);
  SetConfinement(box_);
  SetSyncBeforeReplace(false);
  // The scratch area goes at exit; the path outlives every static object.
  static const char* root = ::strdup(root_.c_str());
  std::atexit([] {
    std::error_code ec;
    fs::remove_all(root, ec);
  });
}

void TScratch::Reset(const TFiles& files) {
  std::error_code ec;
  // Entries made read-only by an input must go too.
  for (auto it = fs::recursive_directory_iterator(box_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    ::chmod(it->path().c_str(), it->is_directory() ? 0755 : 0644);
  }
  for (const auto& entry : fs::directory_iterator(box_, ec)) fs::remove_all(entry.path(), ec);
  for (const auto& [name, bytes] : files) WriteHostFile(fs::path(box_) / name, bytes);
  // Relative paths of an input are taken in the box.
  if (::chdir(box_.c_str()) != 0) std::abort();
}

void TScratch::CheckOutside() const {
  // Back where the fuzzer keeps its corpus, which it names by relative paths.
  if (::chdir(home_.c_str()) != 0) std::abort();
  struct stat st;
  if (::stat(box_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    std::fprintf(stderr, "fuzz harness: the scratch directory is gone\n");
    std::abort();
  }
  if (Snapshot(outside_) + Snapshot(root_ + "/s.bin") != snapshot_) {
    std::fprintf(stderr, "fuzz harness: a file outside the scratch directory changed\n");
    std::abort();
  }
}

TFiles ReadTree(const std::string& directory, const std::string& prefix) {
  TFiles files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(directory, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    files.emplace_back(prefix + fs::relative(it->path(), directory).string(),
                       ReadHostFile(it->path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

const TFiles& ExampleSdk() {
  static const TFiles files = [] {
    TFiles sdk = ReadTree(TESSEL_FUZZ_EXAMPLE_SDK, "SDK/");
    for (auto& [name, bytes] : sdk) {
      for (size_t at = bytes.find("{SDK}"); at != std::string::npos; at = bytes.find("{SDK}")) {
        bytes.replace(at, 5, "SDK");
      }
    }
    for (auto& file : ReadTree(TESSEL_FUZZ_SEEDS "/project_script", "SDK/Projects/")) {
      sdk.push_back(std::move(file));
    }
    return sdk;
  }();
  return files;
}

void InstallFakeTools() {
  static TFakeTools tools;
  static TProcessRunnerScope scope(tools);
}

}  // namespace tessel::fuzz

// Run time of a syscall script whose entries are all up to date: every line
// collects its declaration into one of five header collection files, finds
// its stub and library entry current, and the headers are left unchanged.
// No tool runs, so the time is the engine's own; it should grow linearly
// with the number of entries.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "engine/uProject.h"
#include "platform/clock.h"
#include "platform/file_system.h"

namespace tessel {
namespace {

constexpr int kHeaders = 5;

// A project that could not be set up would time something else.
void Require(bool done, const std::string& what) {
  if (!done) throw std::runtime_error(what + " failed");
}

const char* const kReturnTypes[] = {"void", "int", "unsigned char*", "short", "void*"};

class TSyscallProject {
 public:
  explicit TSyscallProject(int entries) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    for (const char* sub : {"/lib", "/lib/TEMP", "/obj", "/include", "/templates"}) {
      Require(CreateDirectoryAt(dir_ + sub), "Making a directory");
    }
    const TDateTime old = Now() - 30;
    WriteFileBytes(dir_ + "/templates/SYSCALL_TEMPLATE.SRC", "_<name>: .data.l <number>\r\n");
    WriteFileBytes(dir_ + "/ASMSH_OPTIONS.PRJ", "ASM_OPT=-debug\r\n");
    Require(SetFileLastWriteTime(dir_ + "/ASMSH_OPTIONS.PRJ", old), "Setting a date");

    std::string script =
        "EXIT_IF=SYSCALLS_INVOKED\r\n"
        "PROJECTDIR=\"" +
        dir_ +
        "\"\r\n"
        "WORKDIR=\"$(PROJECTDIR)\"\r\n"
        "LIBDIR=\"$(PROJECTDIR)\\lib\"\r\n"
        "OBJECTDIR=\"$(PROJECTDIR)\\obj\"\r\n"
        "HEADERDIR=\"$(PROJECTDIR)\\include\"\r\n"
        "TEMPLATEDIR=\"$(PROJECTDIR)\\templates\"\r\n"
        "ASM_CMD=\"$(PROJECTDIR)\\no-such-assembler\"\r\n"
        "LNK_CMD=\"$(PROJECTDIR)\\no-such-linker\"\r\n"
        "LIBRARY=SYSCALLS\r\n";
    for (int h = 0; h < kHeaders; ++h) {
      const std::string key = "HEADER" + std::to_string(h);
      script += key + "=fxcg_" + std::to_string(h) + ".h\r\n";
      script += "DELFILE=\"$(HEADERDIR)\\$(" + key + ").TMP\"\r\n";
    }
    script +=
        "DEPENDENCY=\r\n"
        "DEPENDENCY=\"$(PROJECTDIR)\\ASMSH_OPTIONS.PRJ\"\r\n"
        "ASM_OPT=\r\n"
        "INCLUDE=\"$(PROJECTDIR)\\ASMSH_OPTIONS.PRJ\"\r\n"
        "LIB_MOD_OPT=\r\n"
        "LIB_MOD_OPT=-input=\"$(OBJECTDIR)\\$(PROG).OBJ\"\r\n"
        "LIB_OPT=\r\n"
        "LIB_OPT=-output=\"$(LIBDIR)\\$(LIBRARY).LIB\"\r\n"
        "CONSTANT_DEPENDENCY_FILE=\"$(LIBDIR)\\$(LIBRARY).LIB\"\r\n"
        "SOURCEDIR=\"$(LIBDIR)\\TEMP\"\r\n";
    for (int i = 0; i < entries; ++i) {
      const std::string name = "Syscall_" + std::to_string(i);
      char number[16];
      std::snprintf(number, sizeof number, "%04X", i);
      script += std::string("SYSCALL=h'") + number + ";" + kReturnTypes[i % 5] + " " + name +
                "(int x, int y, void*data);$(HEADER" + std::to_string(i % kHeaders) +
                ");20200101000000\r\n";
      WriteFileBytes(dir_ + "/obj/" + name + ".OBJ", "obj\n");
      Require(SetFileLastWriteTime(dir_ + "/obj/" + name + ".OBJ", old), "Setting a date");
    }
    script +=
        "CONSTANT_DEPENDENCY_FILE=\r\n"
        "LIB_OPT=\r\n"
        "LIB_MOD_OPT=\r\n"
        "OPTION=\r\n"
        "ASM_OPT=\r\n"
        "UPDATEHEADERFILES=$(HEADERDIR)\r\n"
        "SYSCALLS_INVOKED=TRUE\r\n";
    WriteFileBytes(dir_ + "/SYSCALLS.PRJ", script);
    WriteFileBytes(dir_ + "/lib/SYSCALLS.LIB", "lib\n");
    Require(SetFileLastWriteTime(dir_ + "/lib/SYSCALLS.LIB", old + 1), "Setting a date");
  }
  ~TSyscallProject() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::string& Dir() const { return dir_; }

  // One build; false when it did not end ready or ran a tool.
  bool Build() const {
    TProject engine(dir_ + "/engine.log");
    return engine.Run(dir_ + "/SYSCALLS.PRJ") == psReady && !FileExists(dir_ + "/MyOutPut.TXT");
  }

 private:
  std::string dir_;
};

void BM_UpToDateSyscalls(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  TSyscallProject project(entries);
  // The first build writes the headers; the timed ones find them current.
  if (!project.Build()) state.SkipWithError("the first build failed");
  for (auto _ : state) {
    if (!project.Build()) state.SkipWithError("the build failed or ran a tool");
  }
  if (FileExists(project.Dir() + "/include/fxcg_0.h.TMP")) {
    state.SkipWithError("a collection file was left behind");
  }
  state.SetComplexityN(entries);
  state.counters["entries/s"] = benchmark::Counter(static_cast<double>(entries),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_UpToDateSyscalls)
    ->Arg(1500)
    ->Arg(3000)
    ->Arg(6000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace tessel

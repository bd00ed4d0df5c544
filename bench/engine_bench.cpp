// Run time of a project script over up-to-date sources: variables, guarded
// includes and EXECUTE steps whose targets are newer than their sources, so
// no tool runs and the time is the engine's own. Ten script lines per source
// file; the time should grow linearly with the script length.

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

constexpr int kLinesPerFile = 10;

// A project that could not be set up would time something else.
void Require(bool done, const std::string& what) {
  if (!done) throw std::runtime_error(what + " failed");
}

class TBenchProject {
 public:
  explicit TBenchProject(int files) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    Require(CreateDirectoryAt(dir_ + "/src"), "Making a directory");
    Require(CreateDirectoryAt(dir_ + "/obj"), "Making a directory");
    TDateTime old = Now() - 2;
    for (int i = 0; i < files; ++i) {
      std::string name = "F" + std::to_string(i);
      WriteFileBytes(dir_ + "/src/" + name + ".CPP", "int x;\n");
      WriteFileBytes(dir_ + "/obj/" + name + ".OBJ", "obj\n");
      Require(SetFileLastWriteTime(dir_ + "/src/" + name + ".CPP", old), "Setting a date");
      Require(SetFileLastWriteTime(dir_ + "/obj/" + name + ".OBJ", old + 1), "Setting a date");
    }
    WriteFileBytes(dir_ + "/common.prj",
                   "EXIT_IF=COMMON_INVOKED\r\n"
                   "HEADERDIR=\"$(PROJECTDIR)\\include\"\r\n"
                   "MESSAGE_TO_IGNORE=\r\n"
                   "MESSAGE_TO_IGNORE=remark;ON\r\n"
                   "COMMON_INVOKED=TRUE\r\n");
    std::string script =
        "// benchmark project\r\n"
        "WORKDIR=" +
        dir_ +
        "\r\n"
        "SRCDIR=$(WORKDIR)/src\r\n"
        "OBJDIR=$(WORKDIR)/obj\r\n"
        "COMPILE_CMD=$(WORKDIR)/no-such-compiler\r\n"
        "SETENV=SHC_LIB;$(WORKDIR)\r\n";
    for (int i = 0; i < files; ++i) {
      std::string name = "F" + std::to_string(i);
      script += "PROG=" + name +
                "\r\n"
                "SOURCEFILE=$(SRCDIR)/" +
                name +
                ".CPP\r\n"
                "DEPENDENCY=\r\n"
                "DEPENDENCY=$(SOURCEFILE)\r\n"
                "DEPENDANT=$(OBJDIR)/$(PROG).OBJ\r\n"
                "OPTION=\r\n"
                "OPTION=-include=$(HEADERDIR)\r\n"
                "OPTION=\"$(SOURCEFILE)\"\r\n"
                "EXECUTE=$(COMPILE_CMD)\r\n"
                "INCLUDE=$(WORKDIR)/common.prj\r\n";
    }
    WriteFileBytes(dir_ + "/top.prj", script);
  }
  ~TBenchProject() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const std::string& Dir() const { return dir_; }

 private:
  std::string dir_;
};

void BM_UpToDateScript(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  TBenchProject project(lines / kLinesPerFile);
  for (auto _ : state) {
    TProject engine(project.Dir() + "/engine.log");
    uint8_t result = engine.Run(project.Dir() + "/top.prj");
    if (result != psReady) state.SkipWithError("the script did not end ready");
    benchmark::DoNotOptimize(result);
  }
  state.SetComplexityN(lines);
  state.counters["lines/s"] =
      benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_UpToDateScript)
    ->Arg(2500)
    ->Arg(5000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace tessel

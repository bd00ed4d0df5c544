#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "platform/file_system.h"
#include "tests/engine/engine_fixture.h"
#include "tests/engine/library_fixture.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/standin_tool.h"
#include "tests/support/test_dates.h"

namespace tessel::test {
namespace {

class StepFailure : public TEngineTest {
 protected:
  static TDateTime At(int minute) { return TestDate(2025, 3, 1, 9, minute); }
  std::string FileAt(const std::string& name, const std::string& bytes, TDateTime when) {
    std::string path = dir.Write(name, bytes);
    EXPECT_TRUE(SetFileLastWriteTime(path, when));
    return path;
  }
  bool Shown(const std::string& line) const {
    return std::find(Window().begin(), Window().end(), line) != Window().end();
  }
  // A compile step of src.c into x.obj with the stand-in tool.
  std::vector<std::string> Compile(const std::vector<std::string>& options) const {
    std::vector<std::string> lines = {"WORKDIR=" + dir.Path(), "DEPENDENCY=$(WORKDIR)/src.c",
                                      "DEPENDANT=$(WORKDIR)/x.obj", "OPTION="};
    for (const std::string& option : options) lines.push_back("OPTION=" + option);
    lines.push_back("EXECUTE=" + tool);
    return lines;
  }
};

TEST_F(StepFailure, AToolThatExitsNonZeroEndsTheBuildAndTakesItsHalfWrittenTargetAlong) {
  FileAt("src.c", "int x;", At(10));
  // Included, so that the enclosing script must stop too.
  std::vector<std::string> inner = Compile({"-output=x.obj", "-exit=3"});
  inner.push_back("INNER_AFTER=1");
  Script("INC.PRJ", inner);
  EXPECT_EQ(RunLines({"INCLUDE=" + dir.File("INC.PRJ"), "OUTER_AFTER=1", "EXECUTE=" + tool}),
            psFailed);

  const std::string failed = "Step failed: \"" + tool + "\" exited with 3 - the build stops.";
  const std::string log = LogText();
  const size_t result = log.find(" result: 0 3\r\n");
  ASSERT_NE(result, std::string::npos);
  EXPECT_EQ(log.find(" " + failed + "\r\n"), result + 14) << "right after the step's own lines";
  EXPECT_TRUE(Shown("." + failed));
  EXPECT_TRUE(Shown(".Removed \"" + dir.Path() + "/x.obj\", which the failed step wrote."));
  EXPECT_FALSE(FileExists(dir.File("x.obj")));
  EXPECT_EQ(engine->Vars.IndexOfName("INNER_AFTER"), -1);
  EXPECT_EQ(engine->Vars.IndexOfName("OUTER_AFTER"), -1);
  EXPECT_EQ(ReadStandinLog(dir.Path()).size(), 1u) << "no later tool runs";
  EXPECT_EQ(engine->Depth, -1);
  EXPECT_TRUE(log.ends_with("Script closed.\r\n"));

  // Fixed: the next build runs the step again and ends ready.
  EXPECT_EQ(RunLines(Compile({"-output=x.obj"})), psReady);
  EXPECT_EQ(dir.Read("x.obj"), "standin run 2\n");
}

TEST_F(StepFailure, UnderMakeAllTheQuotedTargetOfAFailedStepGoesToo) {
  // Without the make rule the step reads its target itself, quotes removed.
  FileAt("src.c", "int x;", At(10));
  std::vector<std::string> lines = Compile({"-output=x.obj", "-exit=3"});
  lines[2] = "DEPENDANT=\"$(WORKDIR)/x.obj\"";
  lines.insert(lines.begin(), "MAKEALL=TRUE");
  EXPECT_EQ(RunLines(lines), psFailed);
  EXPECT_FALSE(FileExists(dir.File("x.obj")));
  EXPECT_TRUE(Shown("Removed \"" + dir.Path() + "/x.obj\", which the failed step wrote."));
}

TEST_F(StepFailure, ATargetTheFailedToolDidNotWriteStays) {
  FileAt("x.obj", "old object", At(5));
  FileAt("src.c", "int x;", At(10));
  EXPECT_EQ(RunLines(Compile({"-exit=1"})), psFailed);
  EXPECT_EQ(dir.Read("x.obj"), "old object");
  EXPECT_FALSE(std::any_of(Window().begin(), Window().end(),
                           [](const std::string& line) { return line.starts_with("Removed"); }));
}

TEST_F(StepFailure, ToolsThatCannotStartFailTheStep) {
  FileAt("src.c", "int x;", At(10));
  std::vector<std::string> lines = Compile({});
  lines.back() = "EXECUTE=$(WORKDIR)/no-such-tool";
  lines.push_back("AFTER=1");
  EXPECT_EQ(RunLines(lines), psFailed);
  EXPECT_TRUE(Shown("Step failed: \"" + dir.Path() +
                    "/no-such-tool\" exited with 127 - the build "
                    "stops."));
  EXPECT_EQ(engine->Vars.IndexOfName("AFTER"), -1);
  lines[lines.size() - 2] = "EXECUTE=" + tool;  // the tool found again
  EXPECT_EQ(RunLines(lines), psReady);
  EXPECT_EQ(engine->Vars.ValueOf("AFTER"), "1");

  // The start itself fails (an output file the tool may not write, say).
  ui.log.clear();
  tools.runner.Add(tool, [](const TFakeToolRun&) { return TFakeToolEnd::NotStarted(EACCES); });
  EXPECT_EQ(RunLines(Compile({})), psFailed);
  EXPECT_TRUE(Shown("Step failed: \"" + tool +
                    "\" could not be started (Permission denied) - the build stops."));
}

TEST_F(StepFailure, AToolKilledMidRunEndsTheBuildAndItsHalfWrittenTargetGoes) {
  FileAt("src.c", "int x;", At(10));
  FileAt("x.obj", "old object", At(5));
  tools.runner.Add(tool, [](const TFakeToolRun& run) {
    run.Print("compiling");
    AppendFileBytes(run.InWorkDir("x.obj"), " and half a new one");
    return TFakeToolEnd::Killed(9);
  });
  std::vector<std::string> lines = Compile({});
  lines.push_back("AFTER=1");
  EXPECT_EQ(RunLines(lines), psFailed);
  EXPECT_NE(LogText().find("result: 0 137\r\n"), std::string::npos);
  EXPECT_TRUE(Shown("compiling"));
  EXPECT_TRUE(
      Shown("Step failed: \"" + tool + "\" was killed by signal 9 (Killed) - the build stops."));
  EXPECT_TRUE(Shown("Removed \"" + dir.Path() + "/x.obj\", which the failed step wrote."));
  EXPECT_FALSE(FileExists(dir.File("x.obj")));
  EXPECT_EQ(engine->Vars.IndexOfName("AFTER"), -1);
}

TEST_F(StepFailure, AnIconThatFailsItsChecksLeavesNoIconAndNamesTheBitmap) {
  std::string bitmap = FileAt("BAD.BMP", BuildBmp(PlainBmp(92, 63)), At(10));
  std::string icon = dir.File("BAD.CGI");
  std::vector<std::string> lines = {"DEPENDENCY=" + bitmap, "DEPENDANT=" + icon,
                                    "BMP256TOCGI=\"$(DEPENDENCY);$(DEPENDANT)\"", "AFTER=1"};
  EXPECT_EQ(RunLines(lines), psFailed);
  EXPECT_FALSE(FileExists(icon)) << "an empty icon would look up to date";
  EXPECT_TRUE(Shown("biHeight has to be exactly 64 pixel. (file: " + bitmap + ")"));
  EXPECT_TRUE(Shown("Step failed: icon conversion of \"" + bitmap +
                    "\" failed its checks - the build stops."));
  EXPECT_EQ(engine->Vars.IndexOfName("AFTER"), -1);

  // A bitmap cut short raises an error; the icon it began is gone as well.
  FileAt("BAD.BMP", BuildBmp(PlainBmp(92, 64)).substr(0, 40), At(10));
  EXPECT_THROW(RunLines(lines), EFileError);
  EXPECT_FALSE(FileExists(icon));

  // Fixed: the next build converts it.
  FileAt("BAD.BMP", BuildBmp(PlainBmp(92, 64)), At(10));
  EXPECT_EQ(RunLines(lines), psReady);
  EXPECT_EQ(dir.Read("BAD.CGI").size(), 11776u);
}

class LibraryStepFailure : public TLibraryTest {};

TEST_F(LibraryStepFailure, AFailedCompileAddsNothingAndAFailedLibrarianStopsTheNextRoutine) {
  dir.Write("lib/SOURCE/ADD.CPP", "cpp");
  dir.Write("lib/SOURCE/SUB.CPP", "cpp");
  std::vector<std::string> lines = Head("TOOLS");
  lines.push_back("SOURCEDIR=\"$(LIBDIR)\\SOURCE\"");
  lines.push_back("OPTION=-exit=2");
  lines.push_back("TOOLS=int Add(int a);tools.h");
  lines.push_back("TOOLS=int Sub(int a);tools.h");
  auto runs = Build(lines, false, psFailed);
  ASSERT_EQ(runs.size(), 1u) << "the compile only: no library step, no second routine";
  EXPECT_FALSE(FileExists(dir.File("obj/Add.OBJ")));
  EXPECT_FALSE(FileExists(dir.File("lib/TOOLS.LIB")));

  // The compiles work now, but the librarian fails on the new library.
  lines = Head("TOOLS");
  lines.push_back("SOURCEDIR=\"$(LIBDIR)\\SOURCE\"");
  lines.push_back("LIB_OPT=-exit=4");
  lines.push_back("TOOLS=int Add(int a);tools.h");
  lines.push_back("TOOLS=int Sub(int a);tools.h");
  runs = Build(lines, false, psFailed);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_FALSE(FileExists(dir.File("lib/TOOLS.LIB"))) << "the half-made library is removed";
  EXPECT_TRUE(Shown("Step failed: \"" + tool + "\" exited with 4 - the build stops."));
}

}  // namespace
}  // namespace tessel::test

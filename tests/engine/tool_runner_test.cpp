#include <gtest/gtest.h>

#include <algorithm>

#include "platform/datetime.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/standin_tool.h"

namespace tessel::test {
namespace {

const std::string kSep = "--- --- ---\r\n";

class ToolRunner : public TEngineTest {
 protected:
  std::string Command() const { return "\"" + tool + "\" -SUB=TEMP.TXT"; }
};

// End to end: the compiled stand-in started by the system runner.
class ToolRunnerEndToEnd : public TEngineTest {
 protected:
  TProcessRunnerScope real{SystemProcessRunner()};
  const std::string tool = StandinToolPath();
  std::string Command() const { return "\"" + tool + "\" -SUB=TEMP.TXT"; }
};

TEST_F(ToolRunnerEndToEnd, ExecuteLineWritesItsLogEntriesInOrderAndShowsCommandAndOutput) {
  ASSERT_EQ(
      RunLines({"WORKDIR=\"" + dir.Path() + "\"", "PROG=demo", "DEPENDANT=$(WORKDIR)/demo.obj",
                "SETENV=SHC_LIB;C:\\SH\\bin", "OPTION=-print=hello", "OPTION=-stderr=oops",
                "OPTION=-define=\"$(PROG)\"", "OPTION=-I$(WORKDIR)", "EXECUTE=" + tool}),
      psReady);
  const std::string d = dir.Path();
  EXPECT_EQ(LogText(), kSep + "WORKDIR=" + d + "\r\n" + kSep + "PROG=demo\r\n" + kSep +
                           "DEPENDANT=" + d + "/demo.obj\r\n" + kSep + "EXECUTE=" + tool + "\r\n" +
                           "options:\r\n-print=hello\r\n-stderr=oops\r\n-define=\"demo\"\r\n-I" +
                           d + "\r\n" + kSep + "cmd: " + Command() + "\r\nwd: " + d +
                           "\r\nENV: \r\nSHC_LIB;C:\\SH\\bin\r\n\r\nresult: 0 0\r\n" + kSep +
                           "Script closed.\r\n");
  // Without "Report all": the command line with display text and step, and
  // the tool's output.
  EXPECT_EQ(Window(), (std::vector<std::string>{Command() + " demo 00000100", "hello", "oops"}));
  EXPECT_EQ(ui.processMessagesCalls, 1);
  EXPECT_EQ(dir.Read("TEMP.TXT"),
            "-print=hello\r\n-stderr=oops\r\n-define=\"demo\"\r\n-I" + d + "\r\n");

  auto runs = ReadStandinLog(d);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].args, std::vector<std::string>{"-SUB=TEMP.TXT"});
  EXPECT_EQ(runs[0].workDir, d);
  EXPECT_EQ(runs[0].environment, std::vector<std::string>{"SHC_LIB=C:\\SH\\bin"});  // no PATH
  EXPECT_EQ(engine->DisplayText, "");
}

// The options file and the output file are used again from step to step:
// each tool reads only its own options and each shown output is its own,
// however long the one before was, or whether there was any.
TEST_F(ToolRunnerEndToEnd, EachStepSeesOnlyItsOwnOptionsAndOutput) {
  ASSERT_EQ(RunLines({"WORKDIR=\"" + dir.Path() + "\"", "DEPENDANT=$(WORKDIR)/demo.obj",
                      "OPTION=-print=hello", "OPTION=-print=world", "EXECUTE=" + tool,
                      "OPTION=", "OPTION=-print=x", "EXECUTE=" + tool, "OPTION=", "EXECUTE=" + tool,
                      "OPTION=-print=again", "EXECUTE=" + tool}),
            psReady);
  std::vector<std::string> shown;
  for (const std::string& line : Window()) {
    shown.push_back(line.rfind(Command(), 0) == 0 ? "cmd" : line);
  }
  EXPECT_EQ(shown,
            (std::vector<std::string>{"cmd", "hello", "world", "cmd", "x", "cmd", "cmd", "again"}));
  EXPECT_EQ(dir.Read("TEMP.TXT"), "-print=again\r\n");
  EXPECT_EQ(dir.Read("MyOutPut.TXT"), "again\n");
  EXPECT_EQ(ReadStandinLog(dir.Path()).size(), 4u);
}

TEST_F(ToolRunner, ReportAllShowsEveryEntryWithDotsAndTheOptionsFile) {
  engine->ReportAll = true;
  Script("INC.PRJ", {"EXECUTE=" + tool});
  RunLines(
      {"WORKDIR=" + dir.Path(), "OPTION=-print=out", "SETENV=A;1", "INCLUDE=$(WORKDIR)/INC.PRJ"});
  const std::string d = dir.Path();
  EXPECT_EQ(Window(), (std::vector<std::string>{
                          "--- --- ---", "WORKDIR=" + d, "--- --- ---", "INCLUDE=" + d + "/INC.PRJ",
                          ".--- --- ---", ".EXECUTE=" + tool,
                          ".No news!",  // no target: never built by date
                          ".--- --- ---", ".Script closed.", "--- --- ---", "Script closed."}));

  ui.log.clear();
  engine->MakeAll = true;
  RunLines({"INCLUDE=" + d + "/INC.PRJ"});
  EXPECT_EQ(Window(), (std::vector<std::string>{
                          "--- --- ---", "INCLUDE=" + d + "/INC.PRJ", ".--- --- ---",
                          ".EXECUTE=" + tool, ".options:", ".-print=out", ".--- --- ---",
                          ".cmd: " + Command(), ".wd: " + d, Command() + "  00000200",
                          "-print=out",  // TEMP.TXT as the tool reads it
                          ".ENV: \r\nA;1\r\n", ".result: 0 0", "out", ".--- --- ---",
                          ".Script closed.", "--- --- ---", "Script closed."}));
}

TEST_F(ToolRunner, EnvironmentIsExactlyTheSetEnvListOrInheritedWithoutOne) {
  RunLines({"WORKDIR=" + dir.Path(), "DEPENDANT=$(WORKDIR)/x.obj", "V=\"two words\"",
            "SETENV=SHC_LIB;C:\\SH\\bin", "SETENV=SHC_TMP;$(V)", "EXECUTE=" + tool,
            "SETENV=   ", "EXECUTE=" + tool});
  auto runs = ReadStandinLog(dir.Path());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].environment,
            (std::vector<std::string>{"SHC_LIB=C:\\SH\\bin", "SHC_TMP=two words"}));
  // A blank SETENV discarded the list: the program's own environment.
  std::string path = GetEnvironmentValue("PATH");
  ASSERT_FALSE(path.empty());
  EXPECT_NE(std::find(runs[1].environment.begin(), runs[1].environment.end(), "PATH=" + path),
            runs[1].environment.end());
  std::string log = LogText();
  EXPECT_NE(log.find("ENV: "), std::string::npos);
  EXPECT_EQ(log.find("ENV: "), log.rfind("ENV: "));  // only the first run had a list
}

TEST_F(ToolRunner, MessagesToIgnoreFilterTheOutputCaseSensitively) {
  RunLines({"WORKDIR=" + dir.Path(), "DEPENDANT=$(WORKDIR)/x.obj", "OPTION=-print=WARNING 1",
            "OPTION=-print=a warning here", "OPTION=-stderr=ERROR x", "OPTION=-print=remark",
            "OPTION=-print=", "MESSAGE_TO_IGNORE=WARNING;ON", "MESSAGE_TO_IGNORE=ERROR;off",
            "MESSAGE_TO_IGNORE=;ON", "MESSAGE_TO_IGNORE=\"rem\"ark", "EXECUTE=" + tool});
  EXPECT_EQ(Window(),
            (std::vector<std::string>{Command() + "  00000100", "a warning here", "ERROR x", ""}));
}

TEST_F(ToolRunner, UpToDateStepsRunNothingAndTheListFollowsTheCommand) {
  engine->ReportAll = true;
  std::string source = dir.Write("a.c", "c");
  std::string object = dir.Write("a.obj", "o");
  SetFileLastWriteTime(source, 45000.0);
  SetFileLastWriteTime(object, 45001.0);
  RunLines(
      {"WORKDIR=" + dir.Path(), "DEPENDENCY=" + source, "DEPENDANT=" + object, "EXECUTE=" + tool});
  EXPECT_FALSE(FileExists(dir.File("TEMP.TXT")));
  EXPECT_TRUE(ReadStandinLog(dir.Path()).empty());
  EXPECT_NE(std::find(Window().begin(), Window().end(), "No news!"), Window().end());

  ui.log.clear();
  engine->MakeAll = true;
  RunLines({"ASM_CMD=" + tool, "COMPILE_CMD=" + tool, "ASM_OPT=-print=assembling",
            "EXECUTE=$(ASM_CMD)", "EXECUTE=$(COMPILE_CMD)"});
  auto runs = ReadStandinLog(dir.Path());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].options, std::vector<std::string>{"-print=assembling"});
  EXPECT_EQ(runs[1].options, std::vector<std::string>{"FOption[ optXXX ] not assigned."});
  EXPECT_NE(std::find(Window().begin(), Window().end(), Command() + "  00000200"), Window().end());
  EXPECT_NE(std::find(Window().begin(), Window().end(), Command() + "  00000300"), Window().end());
  EXPECT_NE(std::find(Window().begin(), Window().end(), "FOption[ optXXX ] not assigned."),
            Window().end());
}

TEST_F(ToolRunner, CancelDuringAToolLetsItFinishAndStopsEveryScript) {
  ui.onProcessMessages = [this] { engine->Cancel(); };
  Script("INC.PRJ", {"EXECUTE=" + tool, "INNER_AFTER=1", "EXECUTE=" + tool});
  EXPECT_EQ(RunLines({"WORKDIR=" + dir.Path(), "DEPENDANT=$(WORKDIR)/x.obj",
                      "OPTION=-output=done.txt", "INCLUDE=$(WORKDIR)/INC.PRJ", "OUTER_AFTER=1"}),
            psCancelled);
  EXPECT_EQ(engine->State, psCancelled);
  EXPECT_EQ(engine->Depth, -1);
  EXPECT_EQ(dir.Read("done.txt"), "standin run 1\n");
  EXPECT_EQ(ReadStandinLog(dir.Path()).size(), 1u);
  EXPECT_EQ(engine->Vars.IndexOfName("INNER_AFTER"), -1);
  EXPECT_EQ(engine->Vars.IndexOfName("OUTER_AFTER"), -1);
  EXPECT_TRUE(LogText().ends_with("result: 0 0\r\n " + kSep + " Script closed.\r\n" + kSep +
                                  "Script closed.\r\n"));
}

TEST_F(ToolRunner, AFailingToolShowsInTheResultLineAndStopsTheBuild) {
  RunLines({"WORKDIR=" + dir.Path(), "DEPENDANT=$(WORKDIR)/x.obj", "OPTION=-exit=3",
            "EXECUTE=" + tool, "EXECUTE=$(WORKDIR)/no-such-tool"});
  EXPECT_EQ(engine->State, psFailed);
  std::string log = LogText();
  EXPECT_NE(log.find("result: 0 3\r\n"), std::string::npos);
  EXPECT_EQ(log.find("no-such-tool\r\n"), std::string::npos) << "the second line never runs";
  ASSERT_EQ(Window().size(), 2u);
  EXPECT_EQ(Window()[1], "Step failed: \"" + tool + "\" exited with 3 - the build stops.");
  EXPECT_EQ(ui.processMessagesCalls, 1);

  // A tool that cannot start: the reason is its output.
  ui.log.clear();
  RunLines(
      {"WORKDIR=" + dir.Path(), "DEPENDANT=$(WORKDIR)/x.obj", "EXECUTE=$(WORKDIR)/no-such-tool"});
  EXPECT_EQ(engine->State, psFailed);
  EXPECT_NE(LogText().find("result: 0 127\r\n"), std::string::npos);
  ASSERT_EQ(Window().size(), 3u);
  EXPECT_EQ(Window()[1], "Cannot start " + dir.Path() + "/no-such-tool: No such file or directory");
}

}  // namespace
}  // namespace tessel::test

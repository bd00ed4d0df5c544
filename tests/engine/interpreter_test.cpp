#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "platform/environment.h"
#include "platform/executable.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "support/app_env.h"
#include "support/text.h"
#include "tests/engine/engine_fixture.h"

namespace tessel::test {
namespace {

const std::string kSep = "--- --- ---\r\n";
const std::string kClosed = kSep + "Script closed.\r\n";

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

using Interpreter = TEngineTest;

TEST_F(Interpreter, CommentsBlankLinesAndLinesWithoutEqualsOnlyClose) {
  std::string top = Script("TOP.PRJ", {"// X=1", "\\\\ Y=2", "", "no equals here"});
  EXPECT_EQ(engine->Run(top), psReady);
  EXPECT_EQ(engine->State, psReady);
  EXPECT_EQ(engine->Depth, -1);
  EXPECT_EQ(LogText(), kClosed);
  EXPECT_TRUE(Window().empty());  // nothing forced, no "Report all"
  EXPECT_EQ(engine->Vars.IndexOfName("// X"), -1);
  EXPECT_EQ(engine->Vars.IndexOfName("\\\\ Y"), -1);

  engine->ReportAll = true;
  engine->Run(top);
  EXPECT_EQ(Window(), (std::vector<std::string>{"--- --- ---", "Script closed."}));
}

TEST_F(Interpreter, KeysAreExactAndValuesRawWhileTheEchoIsExpanded) {
  EXPECT_EQ(RunLines({"include=X.PRJ", "OPTION =-x", " setenv =A;1", "OPTIONS=-y", "OPTIOX=-z",
                      " KEY = v ", "A=\"x y\"", "B=$(A)z"}),
            psReady);
  const TParamlist& vars = engine->Vars;
  EXPECT_EQ(vars.ValueOf("include"), "X.PRJ");
  EXPECT_EQ(vars.ValueOf("OPTION "), "-x");
  EXPECT_EQ(engine->List(klOption), nullptr);
  EXPECT_EQ(vars.ValueOf(" KEY "), " v ");
  EXPECT_EQ(vars.ValueOf("B"), "$(A)z");
  // No "Missing" entry (nothing was included) and no echo of the OPTION and
  // SETENV lines, whatever their blanks and letter case.
  EXPECT_EQ(LogText(), kSep + "include=X.PRJ\r\n" + kSep + "OPTIONS=-y\r\n" + kSep +
                           "OPTIOX=-z\r\n" + kSep + " KEY = v \r\n" + kSep + "A=x y\r\n" + kSep +
                           "B=x yz\r\n" + kClosed);
}

// A line that comes again is worked out once and kept for
// the build, up to a bound on the lines kept; lines past it are handled
// alike, only worked out each time.
TEST_F(Interpreter, LinesPastTheKeptOnesAreHandledAlike) {
  const std::string step = "DEPENDANT=$(V1)$(v2)x";
  std::vector<std::string> lines = {step};
  std::string expected = kSep + "DEPENDANT=x\r\n";
  std::string last[3];
  for (size_t i = 0; i < TProject::kKeptLines + 3; ++i) {
    lines.push_back("V" + std::to_string(i % 3) + "=\"$(NONE)" + std::to_string(i) + "\"");
    last[i % 3] = std::to_string(i);
    expected += kSep + "V" + std::to_string(i % 3) + "=" + last[i % 3] + "\r\n";
  }
  // Past the bound: the first line again (now kept), a new one, a quiet one.
  for (const std::string& line : {step, step, std::string("E=$(V0)!"), std::string("OPTION=-q")}) {
    lines.push_back(line);
  }
  const std::string echo = kSep + "DEPENDANT=" + last[1] + last[2] + "x\r\n";
  expected += echo + echo + kSep + "E=" + last[0] + "!\r\n" + kClosed;
  ASSERT_EQ(RunLines(lines), psReady);
  // Compared as a whole, with no diff of a megabyte of log when it differs.
  const std::string log = LogText();
  const auto differ = std::mismatch(log.begin(), log.end(), expected.begin(), expected.end());
  EXPECT_TRUE(log == expected) << "first difference at byte " << (differ.first - log.begin())
                               << ": \"" << log.substr(differ.first - log.begin(), 80) << "\"";
  EXPECT_EQ(engine->Vars.ValueOf("E"), "$(V0)!");
  ASSERT_NE(engine->List(klOption), nullptr);
  EXPECT_EQ(*engine->List(klOption), std::vector<std::string>{"-q"});
}

TEST_F(Interpreter, ProjectDirectoriesComeFromTheTopScriptOnly) {
  Script("Other/Deep/INC.PRJ", {"SEEN=1"});
  std::string top = Script("Projects/Demo/DEMO.PRJ", {"INCLUDE=" + dir.File("Other/Deep/INC.PRJ")});
  // A blank value set beforehand counts as unset.
  engine->Vars.SetValue("PROJECTDIR", " ");
  EXPECT_EQ(engine->Run(top), psReady);
  EXPECT_EQ(engine->Vars.ValueOf("SEEN"), "1");
  EXPECT_EQ(engine->Vars.ValueOf("PROJECTDIR"), "\"" + dir.Path() + "/Projects/Demo\"");
  EXPECT_EQ(engine->Vars.ValueOf("SDKDIR"), "\"" + dir.Path() + "/Projects\"");
  EXPECT_EQ(engine->ExpandedValue("PROJECTDIR", true), dir.Path() + "/Projects/Demo");
}

TEST_F(Interpreter, MissingScriptsAreReportedForcedAndOnlyTheTopOneFails) {
  const std::string missing = dir.File("NONE.PRJ");
  const std::string message =
      "Missing \"" + missing +
      "\"\r\nUse Tessel (File - Full setup - Save) to create the project scripts.";
  EXPECT_EQ(engine->Run(missing), psNotReady);
  EXPECT_EQ(engine->State, psNotReady);
  EXPECT_EQ(engine->Depth, -1);
  EXPECT_EQ(Window(), std::vector<std::string>{message});
  EXPECT_EQ(LogText(), message);

  // Included: one dot and one blank of indentation (first line only), and
  // the including script ends ready.
  TScriptedUserInterface ui2;
  TProject engine2(dir.File("engine2.log"));
  engine2.LogWindow = &ui2;
  EXPECT_EQ(engine2.Run(Script("TOP.PRJ", {"INCLUDE=" + missing, "AFTER=1"})), psReady);
  EXPECT_EQ(engine2.Vars.ValueOf("AFTER"), "1");
  EXPECT_EQ(ui2.log, std::vector<std::string>{"." + message});
  EXPECT_NE(dir.Read("engine2.log").find("\r\n Missing \"" + missing + "\"\r\nUse Tessel"),
            std::string::npos);
}

TEST_F(Interpreter, GuardsHoldAcrossNestedIncludesWithIndentedEntries) {
  engine->ReportAll = true;
  Script("A.PRJ", {"EXIT_IF=A_INVOKED", "OPTION=ran A", "A_INVOKED=TRUE"});
  Script("B.PRJ", {"EXIT_IF=B_INVOKED", "INCLUDE=$(DIR)/A.PRJ", "OPTION=ran B", "B_INVOKED=TRUE"});
  EXPECT_EQ(RunLines({"DIR=" + dir.Path(), "INCLUDE=$(DIR)/A.PRJ", "INCLUDE=$(DIR)/B.PRJ",
                      "INCLUDE=$(DIR)/B.PRJ", "INCLUDE=$(DIR)/A.PRJ"}),
            psReady);
  EXPECT_EQ(*engine->List(klOption), (TStringList{"ran A", "ran B"}));
  // Second B and second A at depth 1; A inside B at depth 2.
  EXPECT_EQ(std::count(Window().begin(), Window().end(), ".Already invoked."), 2);
  EXPECT_EQ(std::count(Window().begin(), Window().end(), "..Already invoked."), 1);
  EXPECT_EQ(std::count(Window().begin(), Window().end(), "..Script closed."), 1);
  std::string log = LogText();
  EXPECT_EQ(CountOf(log, "\r\n  Already invoked.\r\n"), 1u);
  EXPECT_EQ(CountOf(log, "\r\n Already invoked.\r\n"), 2u);
  EXPECT_TRUE(log.ends_with(" Script closed.\r\n" + kClosed));
}

TEST_F(Interpreter, RunawayIncludesAndSelfReferencesEndInOrder) {
  std::string self = dir.File("SELF.PRJ");
  // Two includes per level: only stopping the whole build ends this.
  Script("SELF.PRJ", {"INCLUDE=" + self, "INCLUDE=" + self, "AFTER=1"});
  EXPECT_EQ(engine->Run(self), psNotReady);
  EXPECT_EQ(engine->Depth, -1);
  EXPECT_EQ(engine->Vars.IndexOfName("AFTER"), -1);
  ASSERT_EQ(Window().size(), 1u);
  EXPECT_EQ(Window()[0], std::string(TProject::kMaxIncludeDepth, '.') +
                             "Scripts nested more than 64 levels deep: \"" + self +
                             "\" is not run and the build stops.");
  EXPECT_EQ(CountOf(LogText(), "Script closed."), 65u);

  TProject engine2(dir.File("engine2.log"));
  EXPECT_EQ(engine2.Run(Script("CYCLE.PRJ", {"A=$(B)x", "B=$(A)y", "C=$(A)", "EXIT_IF=A"})),
            psReady);
}

TEST_F(Interpreter, ControlKeywords) {
  SetEnvironmentValue("TESSEL_TEST_CHK", "Abc");
  dir.Write("gone.txt", "x");
  SetReadOnly(dir.Write("kept.txt", "x"), true);
  EXPECT_EQ(RunLines({"DIR=" + dir.Path(), "CHKENV=TESSEL_TEST_CHK;aBC", "MATCH=1",
                      "CHKENV=TESSEL_TEST_CHK;other", "SKIPPED=1", "AFTER=1", "GUARD=True",
                      "EXIT_IF=GUARD", "DELFILE=\"$(DIR)/gone.txt\"", "DELFILE=$(DIR)/kept.txt",
                      "DELFILE=$(DIR)/never.txt", "BREAK=here", "CHKENV=TESSEL_TEST_CHK;zzz"}),
            psReady);
  // A file that stays is logged; a missing one is no error.
  EXPECT_TRUE(FileExists(dir.File("kept.txt")));
  EXPECT_NE(LogText().find("\"" + dir.File("kept.txt") +
                           "\" not deleted: " + PlatformErrorText(EACCES) + "\r\n"),
            std::string::npos)
      << LogText();
  EXPECT_EQ(LogText().find("never.txt\" not deleted"), std::string::npos) << LogText();
  SetEnvironmentValue("TESSEL_TEST_CHK", "");
  const TParamlist& vars = engine->Vars;
  EXPECT_EQ(vars.ValueOf("MATCH"), "1");
  EXPECT_EQ(vars.IndexOfName("SKIPPED"), -1);
  EXPECT_EQ(vars.ValueOf("AFTER"), "1");
  EXPECT_FALSE(FileExists(dir.File("gone.txt")));
  EXPECT_EQ(vars.ValueOf("BREAK"), "here");
  EXPECT_EQ(vars.ValueOf("DELFILE"), "$(DIR)/never.txt");
  EXPECT_EQ(LogText().find("Already invoked."), std::string::npos);  // "True" is not "TRUE"

  TProject engine2(dir.File("engine2.log"));
  engine2.Run(Script("EXIT.PRJ", {"G=\"TRUE\"", "EXIT_IF=G", "NOT=1"}));
  EXPECT_EQ(engine2.Vars.IndexOfName("NOT"), -1);
  EXPECT_TRUE(
      dir.Read("engine2.log").ends_with(kSep + "EXIT_IF=G\r\nAlready invoked.\r\n" + kClosed));
}

TEST_F(Interpreter, ChkEnvFallsBackToTheRegistryValue) {
  ResetAppEnv();
  PreLoadAppEnv({});
  std::string registry = dir.Write(
      "registry.ini", "[SoftWare\\" + AppEnv().Value("IN") + "]\r\nTESSEL_TEST_REG=Reg\r\n");
  SetEnvironmentValue("TESSEL_REGISTRY", registry);
  RunLines({"CHKENV=TESSEL_TEST_REG;REG", "KEPT=1", "CHKENV=TESSEL_TEST_REG;", "DROPPED=1"});
  SetEnvironmentValue("TESSEL_REGISTRY", "");
  ResetAppEnv();
  EXPECT_EQ(engine->Vars.ValueOf("KEPT"), "1");
  EXPECT_EQ(engine->Vars.IndexOfName("DROPPED"), -1);
}

TEST_F(Interpreter, AnErrorEndsTheRunAfterClosingEveryOpenScript) {
  engine->MakeAll = true;
  Script("INC.PRJ", {"WORKDIR=" + dir.File("no-such-dir"), "EXECUTE=tool"});
  EXPECT_THROW(RunLines({"INCLUDE=" + dir.File("INC.PRJ"), "AFTER=1"}), EFileError);
  EXPECT_EQ(engine->Depth, -1);
  EXPECT_EQ(engine->Vars.IndexOfName("AFTER"), -1);
  EXPECT_TRUE(LogText().ends_with(" " + kSep + " Script closed.\r\n" + kClosed));
}

TEST_F(Interpreter, RunArgumentFormsSetTheirVariablesAndForceMakeAll) {
  // The value is upper-cased; the case-insensitive lookup still finds it.
  std::string bind = dir.Write("make.txt", "");
  EXPECT_EQ(engine->Run("/bind:" + bind), 0);
  EXPECT_EQ(engine->Vars.ValueOf("MAKEALL"), "TRUE");
  EXPECT_EQ(engine->Vars.ValueOf("BIND"), AsciiUpperCase(bind));
  EXPECT_NE(LogText().find("Start! MAKE.TXT\r\n"), std::string::npos);
  EXPECT_EQ(engine->State, psNotReady);
  EXPECT_EQ(engine->Depth, -1);

  EXPECT_EQ(RunLines({"INCLUDE=/Bmp256ToCgi:a.bmp;b.cgi", "AFTER=1"}), psReady);
  EXPECT_EQ(engine->Vars.ValueOf("BMP256TOCGI"), "A.BMP;B.CGI");
  EXPECT_EQ(engine->Vars.ValueOf("AFTER"), "1");
  EXPECT_EQ(LogText().find("Missing"), std::string::npos);
}

TEST_F(Interpreter, LogFileStartsAfreshWithTheFirstArgument) {
  dir.Write("own.log", "older content");
  SetCommandLineArguments(std::vector<std::string>{"IF=x.ini", "run"});
  {
    TProject own(dir.File("own.log"));
    own.Log("entry\r\n");
  }
  SetCommandLineArguments(std::vector<std::string>{});
  EXPECT_EQ(dir.Read("own.log"), "IF=x.inientry\r\n");

  // The default never names the program itself.
  EXPECT_NE(HostPath(DefaultEngineLogPath()), ExecutablePath());
  EXPECT_TRUE(DefaultEngineLogPath().ends_with(".LOG"));
  // Beside the program, its directories spelt as the system spells them, so
  // that opening the log searches no directory for another spelling.
  const std::string executable = ExecutablePath();
  if (IsWritableDirectory(ExtractFilePath(executable))) {
    EXPECT_EQ(DefaultEngineLogPath(),
              ExtractFilePath(executable) + AsciiUpperCase(ExtractFileName(executable)) + ".LOG");
  }
}

TEST_F(Interpreter, AnEchoOfOneByteMoreThanTheBoundStopsTheBuild) {
  // "DEPENDANT=" and the value: the bound exactly, then one byte more.
  const size_t fits = TParamlist::kMaxExpandedSize - std::string("DEPENDANT=").size();
  engine->Vars.SetValue("BIG", std::string(fits, 'b'));
  EXPECT_EQ(RunLines({"DEPENDANT=$(BIG)", "AFTER=1"}), psReady);
  EXPECT_EQ(engine->ExpandedValue("DEPENDANT", true).size(), fits);

  engine->Vars.SetValue("BIG", std::string(fits + 1, 'b'));
  ui.log.clear();
  EXPECT_EQ(RunLines({"DEPENDANT=$(BIG)", "LATER=1"}), psFailed);
  EXPECT_EQ(Window(), std::vector<std::string>{"Expansion of $(BIG) exceeds 1048576 bytes!"});
  EXPECT_EQ(engine->Vars.IndexOfName("LATER"), -1);
}

TEST_F(Interpreter, AnExpansionPastItsBoundStopsTheBuildWithAForcedLine) {
  // Doubling lines: 24 of them asked for 170 MB of memory and a 32 MB log.
  std::vector<std::string> lines = {"A0=x"};
  for (int i = 1; i <= 24; ++i) {
    lines.push_back("A" + std::to_string(i) + "=$(A" + std::to_string(i - 1) + ")$(A" +
                    std::to_string(i - 1) + ")");
  }
  lines.push_back("AFTER=1");
  const std::string include = Script("INNER.PRJ", lines);
  EXPECT_EQ(RunLines({"INCLUDE=" + include, "OUTER_AFTER=1"}), psFailed);
  ASSERT_EQ(Window().size(), 1u);
  EXPECT_EQ(Window()[0], ".Expansion of $(A19) exceeds 1048576 bytes!");
  EXPECT_EQ(engine->Vars.IndexOfName("AFTER"), -1);
  EXPECT_EQ(engine->Vars.IndexOfName("OUTER_AFTER"), -1);
  EXPECT_LT(LogText().size(), 8u << 20);
}

}  // namespace
}  // namespace tessel::test

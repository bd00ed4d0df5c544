#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/command.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "support/app_env.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace tessel::test {
namespace {

class RunCommand : public ::testing::Test {
 protected:
  RunCommand() { SetEnvironmentValue("TESSEL_ENGINE_LOG", dir.File("engine.log")); }
  ~RunCommand() override { SetEnvironmentValue("TESSEL_ENGINE_LOG", ""); }

  TCliRun Run(std::vector<std::string> args) { return RunCli("run", std::move(args)); }
  std::string Script(const std::string& name, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return dir.Write(name, text);
  }
  // A tool as a shell script; it runs with "-SUB=TEMP.TXT" in WORKDIR.
  std::string Tool(const std::string& name, const std::string& body) {
    std::string path = dir.Write(name, "#!/bin/sh\n" + body + "\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
  }

  TTempDir dir;
};

TEST_F(RunCommand, PrintsTheWindowLinesWithDepthDotsThenTheClosingLine) {
  std::string inc = Script("INC.PRJ", {"A=1"});
  std::string top = Script("TOP.PRJ", {"// top", "INCLUDE=" + inc});
  TCliRun all = Run({top, "--report-all"});
  EXPECT_EQ(all.status, 0);
  EXPECT_EQ(all.out, "--- --- ---\nINCLUDE=" + inc +
                         "\n.--- --- ---\n.A=1\n.--- --- ---\n.Script closed.\n"
                         "--- --- ---\nScript closed.\nReady\n");
  EXPECT_EQ(all.err, "");

  TCliRun quiet = Run({top});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out, "Ready\n");
}

TEST_F(RunCommand, MissingScriptFinishesWithErrors) {
  std::string missing = dir.File("NONE.PRJ");
  TCliRun r = Run({missing});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "Missing \"" + missing +
                       "\"\nUse Tessel (File - Full setup - Save) to create the project "
                       "scripts.\nFinished with errors.\n");
}

TEST_F(RunCommand, MakeAllRunsUpToDateStepsAndShowsTheirOutput) {
  std::string tool = Tool("compiler", "echo compiled $1");
  dir.Write("a.obj", "obj");  // a target without dependency date: skipped unless forced
  std::string top =
      Script("TOP.PRJ", {"WORKDIR=" + dir.Path(), "DEPENDANT=" + dir.File("a.obj"),
                         "DEPENDENCY=" + dir.File("a.obj"), "PROG=a", "EXECUTE=" + tool});
  TCliRun skipped = Run({top});
  EXPECT_EQ(skipped.out, "Ready\n");

  TCliRun forced = Run({top, "--make-all"});
  EXPECT_EQ(forced.status, 0);
  EXPECT_EQ(forced.out,
            "\"" + tool + "\" -SUB=TEMP.TXT a 00000100\ncompiled -SUB=TEMP.TXT\nReady\n");
}

TEST_F(RunCommand, CtrlCDuringAToolCancelsAfterIt) {
  // The tool plays the user pressing Ctrl-C at the terminal, then finishes.
  std::string tool = Tool("interrupter", "kill -INT $PPID\necho finished > done.txt");
  std::string second = Tool("second", "echo ran > second.txt");
  std::string top = Script(
      "TOP.PRJ", {"WORKDIR=" + dir.Path(), "EXECUTE=" + tool, "AFTER=1", "EXECUTE=" + second});
  TCliRun r = Run({top, "--make-all"});
  EXPECT_EQ(r.status, 130);
  EXPECT_TRUE(r.out.ends_with("Cancelled\n"));
  EXPECT_TRUE(FileExists(dir.File("done.txt")));
  EXPECT_FALSE(FileExists(dir.File("second.txt")));
  std::string log = dir.Read("engine.log");
  EXPECT_EQ(log.find("AFTER=1"), std::string::npos);
  EXPECT_TRUE(log.ends_with("Script closed.\r\n"));
}

TEST_F(RunCommand, AnErrorEndingTheRunGoesToStandardErrorWithStatusOne) {
  std::string top =
      Script("TOP.PRJ", {"WORKDIR=" + dir.File("no-such-dir"), "EXECUTE=" + dir.File("tool")});
  TCliRun r = Run({top, "--make-all"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.err.starts_with("Error: ")) << r.err;
  EXPECT_NE(r.err.find("TEMP.TXT"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("Ready"), std::string::npos);
  EXPECT_EQ(r.out.find("Finished"), std::string::npos);
}

TEST_F(RunCommand, AFailedStepFinishesWithErrorsAndStatusOne) {
  std::string tool = Tool("compiler", "echo broken source\nexit 2");
  std::string second = Tool("second", "echo ran > second.txt");
  std::string top = Script("TOP.PRJ", {"WORKDIR=" + dir.Path(), "DEPENDANT=" + dir.File("a.obj"),
                                       "PROG=a", "EXECUTE=" + tool, "EXECUTE=" + second});
  TCliRun r = Run({top});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\"" + tool + "\" -SUB=TEMP.TXT a 00000100\nbroken source\nStep failed: \"" +
                       tool + "\" exited with 2 - the build stops.\nFinished with errors.\n");
  EXPECT_FALSE(FileExists(dir.File("second.txt")));
}

TEST_F(RunCommand, AToolKilledMidRunFinishesWithErrorsAndItsTargetGoes) {
  std::string tool =
      Tool("compiler", "echo compiling\necho half > a.obj\nkill -KILL $$\necho never");
  std::string top = Script("TOP.PRJ", {"WORKDIR=" + dir.Path(), "DEPENDANT=" + dir.File("a.obj"),
                                       "PROG=a", "EXECUTE=" + tool, "AFTER=1"});
  TCliRun r = Run({top});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "\"" + tool + "\" -SUB=TEMP.TXT a 00000100\ncompiling\nStep failed: \"" + tool +
                       "\" was killed by signal 9 (Killed) - the build stops.\nRemoved \"" +
                       dir.File("a.obj") +
                       "\", which the failed step wrote.\nFinished with errors.\n");
  EXPECT_FALSE(FileExists(dir.File("a.obj")));
  EXPECT_EQ(dir.Read("engine.log").find("AFTER=1"), std::string::npos);
}

TEST_F(RunCommand, WrongArgumentsAreUsageErrors) {
  EXPECT_EQ(Run({}).status, 2);
  TCliRun bogus = Run({dir.File("A.PRJ"), "--bogus"});
  EXPECT_EQ(bogus.status, 2);
  EXPECT_NE(bogus.err.find("unknown option \"--bogus\""), std::string::npos);
  EXPECT_EQ(Run({dir.File("A.PRJ"), dir.File("B.PRJ")}).status, 2);
}

}  // namespace
}  // namespace tessel::test

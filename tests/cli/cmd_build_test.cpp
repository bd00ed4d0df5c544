#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/project_fixture.h"

namespace tessel::test {
namespace {

using BuildCommand = TProjectCommandTest;

TEST_F(BuildCommand, BuildsANamedProjectThenTheLastOne) {
  const std::string execute = std::string("Execute: ") + kProjectIni + "\n";
  TCliRun first = Cli("build", {kProjectIni});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, execute + "Ready\n");
  EXPECT_EQ(first.err, "Information: New program version. A \"Make all\" will be performed.\n");
  EXPECT_EQ(ProgramValue("LastProject"), kProjectIni);
  EXPECT_EQ(ProgramValue("FileVersion"), "1.0.0");

  TCliRun again = Cli("build", {"--report-all"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(again.out.starts_with(execute + "--- --- ---\nA=1\n")) << again.out;
  EXPECT_TRUE(again.out.ends_with("\nReady\n"));
  EXPECT_EQ(again.err, "");

  // "Make all" prepares the library again, with its lines before the build's.
  TCliRun all = Cli("build", {"--make-all"});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.out,
            "Copy: fx9860G_library.lib.\nGrooming: fx9860G_library.lib.\n" + execute + "Ready\n");
}

TEST_F(BuildCommand, FailuresExitWithOne) {
  // No project: said so.
  TCliRun none = Cli("build", {});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("no current project"), std::string::npos) << none.err;
  TCliRun missing = Cli("build", {"C:\\SDK\\Projects\\NONE.INI"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no current project"), std::string::npos) << missing.err;

  // A refused build: the warning, and no log.
  DeleteFileAt("C:\\SDK\\Projects\\P\\P.CPP");
  TCliRun refused = Cli("build", {kProjectIni});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "Warning: C:\\SDK\\Projects\\P\\P.CPP does not exist!\n");

  // A missing script.
  WriteLines("C:\\SDK\\Projects\\P\\P.CPP", {"x"});
  DeleteFileAt("C:\\SDK\\Projects\\P.PRJ");
  TCliRun errors = Cli("build", {kProjectIni});
  EXPECT_EQ(errors.status, 1);
  EXPECT_TRUE(errors.out.ends_with("\nFinished with errors.\n")) << errors.out;

  // A step whose tool cannot start.
  WriteLines("C:\\SDK\\Projects\\P.PRJ",
             {"WORKDIR=C:\\SDK", "DEPENDANT=C:\\SDK\\P.OBJ", "EXECUTE=C:\\SDK\\NONE.EXE"});
  TCliRun failed = Cli("build", {kProjectIni});
  EXPECT_EQ(failed.status, 1);
  EXPECT_TRUE(failed.out.ends_with("exited with 127 - the build stops.\nFinished with errors.\n"))
      << failed.out;

  // An exception ending the run: stderr, no closing line.
  const std::string execute = std::string("Execute: ") + kProjectIni + "\n";
  SetEnvironmentValue("TESSEL_ENGINE_LOG", drive.File("no-such-dir/ENGINE.LOG"));
  TCliRun thrown = Cli("build", {kProjectIni});
  EXPECT_EQ(thrown.status, 1);
  EXPECT_NE(thrown.err.find("\nError: "), std::string::npos) << thrown.err;
  EXPECT_EQ(thrown.out, execute);

  EXPECT_EQ(Cli("build", {kProjectIni, "--bogus"}).status, 2);
}

TEST_F(BuildCommand, CtrlCCancelsWithStatus130) {
  // The tool plays the user pressing Ctrl-C at the terminal, then finishes.
  WriteFileBytes("C:\\SDK\\BIN\\interrupter", "#!/bin/sh\nkill -INT $PPID\n");
  std::filesystem::permissions(HostPath("C:\\SDK\\BIN\\interrupter"),
                               std::filesystem::perms::owner_all);
  WriteLines("C:\\SDK\\Projects\\P.PRJ",
             {"WORKDIR=C:\\SDK", "EXECUTE=C:\\SDK\\BIN\\interrupter", "AFTER=1"});
  TCliRun r = Cli("build", {kProjectIni});
  EXPECT_EQ(r.status, 130);
  EXPECT_TRUE(r.out.ends_with("\nCancelled\n")) << r.out;
  EXPECT_EQ(ProgramValue("FileVersion"), "<missing>");
}

}  // namespace
}  // namespace tessel::test

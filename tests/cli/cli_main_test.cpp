#include <gtest/gtest.h>

#include <sstream>

#include "cli/command.h"
#include "cli/console_ui.h"
#include "support/app_env.h"
#include "tests/cli/cli_runner.h"

using namespace tessel;
using tessel::test::TCliRun;

namespace {

TCliRun RunCli(const std::vector<std::string>& args) { return test::RunCli("", args); }

}  // namespace

TEST(CliMain, VersionPrintsProductNameAndFileVersion) {
  TCliRun r = RunCli({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Tessel 1.0.0.0\n");
}

TEST(CliMain, HelpListsUsageAndMissingCommandIsAUsageError) {
  TCliRun help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: tessel-cli [KEY=VALUE ...] COMMAND [ARGS]"), std::string::npos);
  for (const char* command :
       {"open", "build", "new", "run", "generate", "patch", "bmp2cgi", "bmp2c"}) {
    EXPECT_NE(help.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
  }
  TCliRun usage = RunCli({"build", "--help"});
  EXPECT_EQ(usage.status, 0);
  EXPECT_TRUE(usage.out.starts_with(
      "Usage: tessel-cli [KEY=VALUE ...] build [PROJECT.INI] [--make-all] [--report-all]"))
      << usage.out;
  EXPECT_EQ(usage.err, "");

  TCliRun none = RunCli({});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("Usage:"), std::string::npos);

  TCliRun unknown = RunCli({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command \"frobnicate\""), std::string::npos);
}

TEST(CliMain, StartupParametersGoToTheApplicationEnvironment) {
  // A registered key is accepted before the command.
  TCliRun ok = RunCli({"PN=Other", "--version"});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "Other 1.0.0.0\n");

  // An unregistered key stops the program before any command runs.
  TCliRun bad = RunCli({"NOSUCHKEY=1", "--version"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("BASE_00.TAppEnv.PSetValue: NOSUCHKEY not registered!"),
            std::string::npos);
}

TEST(CliMain, ConsoleAnswersGivenUpFrontWinWithoutATerminal) {
  std::ostringstream out, err;
  TConsoleUserInterface ui(out, err);
  ui.SetAnswer(TConsoleUserInterface::Answer::Yes);
  EXPECT_TRUE(ui.AskYesNo("Create?"));
  EXPECT_EQ(ui.InputBox("New project", "Name", "DEMO2"), std::optional<std::string>("DEMO2"));
  EXPECT_EQ(ui.ChooseDirectory("Folder", "C:\\SDK"), std::optional<std::string>("C:\\SDK"));
  ui.SetAnswer(TConsoleUserInterface::Answer::No);
  EXPECT_FALSE(ui.ConfirmOkCancel("Overwrite?"));
  EXPECT_EQ(ui.InputBox("New project", "Name", "DEMO2"), std::nullopt);
  EXPECT_EQ(out.str(), "");
}

#include <gtest/gtest.h>

#include <sstream>

#include "cli/command.h"
#include "support/app_env.h"

using namespace tessel;

namespace {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

CliResult RunCli(const std::vector<std::string>& args) {
  ResetAppEnv();
  std::ostringstream out, err;
  int status = CliMain(args, out, err);
  ResetAppEnv();
  return {status, out.str(), err.str()};
}

}  // namespace

TEST(CliMain, VersionPrintsProductNameAndFileVersion) {
  CliResult r = RunCli({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Tessel 1.0.0.0\n");
}

TEST(CliMain, HelpListsUsageAndMissingCommandIsAUsageError) {
  CliResult help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: tessel-cli [KEY=VALUE ...] COMMAND [ARGS]"), std::string::npos);

  CliResult none = RunCli({});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("Usage:"), std::string::npos);

  CliResult unknown = RunCli({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command \"frobnicate\""), std::string::npos);
}

TEST(CliMain, StartupParametersGoToTheApplicationEnvironment) {
  // A registered key is accepted before the command.
  CliResult ok = RunCli({"PN=Other", "--version"});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "Other 1.0.0.0\n");

  // An unregistered key stops the program before any command runs.
  CliResult bad = RunCli({"NOSUCHKEY=1", "--version"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("BASE_00.TAppEnv.PSetValue: NOSUCHKEY not registered!"),
            std::string::npos);
}

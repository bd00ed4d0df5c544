#include <gtest/gtest.h>

#include "tests/cli/project_fixture.h"

namespace tessel::test {
namespace {

using OpenCommand = TProjectCommandTest;

TEST_F(OpenCommand, RemembersTheProjectOrItsAbsence) {
  TCliRun opened = Cli("open", {kProjectIni});
  EXPECT_EQ(opened.status, 0) << opened.err;
  EXPECT_EQ(opened.out, std::string(kProjectIni) + "\n");
  EXPECT_EQ(opened.err, "");
  EXPECT_EQ(ProgramValue("LastProject"), kProjectIni);

  TCliRun missing = Cli("open", {"C:\\SDK\\Projects\\NONE.INI"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "Project not defined!\n");
  EXPECT_EQ(ProgramValue("LastProject"), "");

  EXPECT_EQ(Cli("open", {}).status, 2);
  EXPECT_EQ(Cli("open", {kProjectIni, "--bogus"}).status, 2);
}

TEST_F(OpenCommand, AnswersTheSdkQuestionFromTheCommandLine) {
  TQuotedINI(kBaseIni).WriteString("vleGeneral", "SDKDIR", "C:\\GONE");
  TCliRun declined = Cli("open", {kProjectIni, "--no"});
  EXPECT_EQ(declined.status, 0);
  EXPECT_EQ(declined.err,
            "The configured SDK-base directory\n\"C:\\GONE\"\n is missing.\nChange the SDK-base "
            "directory to the start-directory's base\n\"C:\\SDK\"?\n-> No\n"
            "Warning: The SDK-base directory is still invalid!\nThe SDK won't work!\n");

  TCliRun accepted = Cli("open", {kProjectIni, "--yes"});
  EXPECT_EQ(accepted.status, 0);
  EXPECT_EQ(TQuotedINI(kBaseIni).ReadString("vleGeneral", "SDKDIR", ""), "C:\\SDK");
}

}  // namespace
}  // namespace tessel::test

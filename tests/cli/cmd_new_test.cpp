#include <gtest/gtest.h>

#include "tests/cli/project_fixture.h"

namespace tessel::test {
namespace {

using NewCommand = TProjectCommandTest;

TEST_F(NewCommand, CreatesFromTheLastProjectOrANamedOne) {
  TCliRun none = Cli("new", {"ABC"});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("no current project"), std::string::npos) << none.err;

  TQuotedINI(kProgramIni).WriteString("PROGRAM", "LastProject", kProjectIni);
  TCliRun created = Cli("new", {"abc"});
  EXPECT_EQ(created.status, 0) << created.err;
  EXPECT_EQ(created.out, "C:\\SDK\\Projects\\ABC.INI\n");
  EXPECT_TRUE(FileExists("C:\\SDK\\Projects\\ABC\\ABC_UNSELECTED.BMP"));
  EXPECT_EQ(ProgramValue("LastProject"), kProjectIni);

  TCliRun fromNamed = Cli("new", {"XYZ", "C:\\SDK\\Projects\\ABC.INI"});
  EXPECT_EQ(fromNamed.status, 0) << fromNamed.err;
  EXPECT_TRUE(FileExists("C:\\SDK\\Projects\\XYZ\\XYZ.CPP"));
  EXPECT_EQ(ProgramValue("LastProject"), kProjectIni);
}

TEST_F(NewCommand, RefusedNamesAndOverwritesEndWithoutATerminal) {
  TQuotedINI(kProgramIni).WriteString("PROGRAM", "LastProject", kProjectIni);
  TCliRun longName = Cli("new", {"NINECHARS", "--yes"});
  EXPECT_EQ(longName.status, 1);
  EXPECT_EQ(longName.out, "");
  // Asked again after the refusal: without a terminal, that cancels.
  EXPECT_EQ(longName.err,
            "New project: (eight characters max.)\n-> NINECHARS\nWarning: Eight characters "
            "max!\nNew project: (eight characters max.) [NINECHARS]\n-> Cancel\n");
  EXPECT_FALSE(FileExists("C:\\SDK\\Projects\\NINECHARS.INI"));

  EXPECT_EQ(Cli("new", {"a*b"}).status, 1);

  WriteLines("C:\\SDK\\Projects\\ABC.INI", {"mine"});
  TCliRun declined = Cli("new", {"ABC", "--no"});
  EXPECT_EQ(declined.status, 1);
  EXPECT_NE(declined.err.find("C:\\SDK\\Projects\\ABC.INI already exists!\nOverwrite?\n-> Cancel"),
            std::string::npos)
      << declined.err;
  EXPECT_EQ(ReadFileBytes("C:\\SDK\\Projects\\ABC.INI"), "mine\r\n");

  TCliRun accepted = Cli("new", {"ABC", "--yes"});
  EXPECT_EQ(accepted.status, 0) << accepted.err;
  EXPECT_NE(ReadFileBytes("C:\\SDK\\Projects\\ABC.INI"), "mine\r\n");

  EXPECT_EQ(Cli("new", {}).status, 2);
  EXPECT_EQ(Cli("new", {"A", "B", "C"}).status, 2);
}

}  // namespace
}  // namespace tessel::test

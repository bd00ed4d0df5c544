#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "settings/MyIni.h"
#include "tests/app/app_fixture.h"

namespace tessel::test {
namespace {

using MainCore = TAppTest;

TEST_F(MainCore, StartsWithoutProgramSettingsWithoutAProject) {
  int changes = 0;
  core->OnStateChanged = [&] { ++changes; };
  core->Startup();
  EXPECT_FALSE(core->HasProject());
  EXPECT_EQ(core->ProjectLabel(), " Project not defined!");
  EXPECT_EQ(core->BaseIniFile(), "");
  EXPECT_EQ(core->BuildCaption(), "Build binaries");
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_GE(changes, 1);
  EXPECT_FALSE(FileExists(kProgramIni));  // start-up writes nothing
}

TEST_F(MainCore, StartsWithTheLastProjectAndRunsTheSdkCheck) {
  TQuotedINI(kProgramIni).WriteString("PROGRAM", "LastProject", kProjectIni);
  core->Startup();
  EXPECT_TRUE(core->HasProject());
  EXPECT_EQ(core->CurrentProjectFile(), kProjectIni);
  EXPECT_EQ(core->ProjectLabel(), std::string(" ") + kProjectIni);
  EXPECT_EQ(core->BaseIniFile(), kBaseIni);
  EXPECT_TRUE(ui.boxes.empty());

  // A last project that has gone: no box, no project.
  TQuotedINI(kProgramIni).WriteString("PROGRAM", "LastProject", "C:\\SDK\\Projects\\GONE.INI");
  NewCore();
  core->Startup();
  EXPECT_FALSE(core->HasProject());
  EXPECT_EQ(core->BaseIniFile(), "");
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MainCore, OpenProjectWritesLastProjectOnEveryAcceptedOpen) {
  int opens = 0;
  core->OnOpenProject = [&] { ++opens; };

  ui.inputAnswers = {std::string(kProjectIni)};
  EXPECT_TRUE(core->OpenProject());
  EXPECT_EQ(ui.boxes.back().kind, "file");
  EXPECT_EQ(ui.boxes.back().text, "fxCG-INI|*.INI");
  EXPECT_EQ(ui.inputPresets.back(), "");
  EXPECT_EQ(ProgramValue("LastProject"), kProjectIni);
  EXPECT_EQ(core->BaseIniFile(), kBaseIni);

  // Cancelled: nothing changes.
  EXPECT_FALSE(core->OpenProject());
  EXPECT_EQ(ui.inputPresets.back(), kProjectIni);  // the current project is proposed
  EXPECT_EQ(core->CurrentProjectFile(), kProjectIni);
  EXPECT_EQ(ProgramValue("LastProject"), kProjectIni);

  // A name that does not exist: no project, and an empty last project.
  ui.inputAnswers = {std::string("C:\\SDK\\Projects\\NONE.INI")};
  EXPECT_TRUE(core->OpenProject());
  EXPECT_FALSE(core->HasProject());
  EXPECT_EQ(core->BaseIniFile(), "");
  EXPECT_EQ(ProgramValue("LastProject"), "");
  EXPECT_EQ(opens, 3);
}

TEST(MainCoreRules, ProgramVersionAndScriptPath) {
  EXPECT_EQ(ProgramVersionOf("1.0.9.32"), "1.0.9");
  EXPECT_EQ(ProgramVersionOf("1.0.9"), "1.0.9");
  EXPECT_EQ(ProgramVersionOf("1.0"), "1.0");
  EXPECT_EQ(ProgramVersionOf(""), "");
  EXPECT_EQ(ScriptPathOf("C:\\WORK\\ABC.INI"), "C:\\WORK\\ABC.PRJ");
  EXPECT_EQ(ScriptPathOf("c:\\work\\abc.ini"), "C:\\WORK\\ABC.PRJ");
  // Every ".INI", also one inside a directory name.
  EXPECT_EQ(ScriptPathOf("C:\\X.INI\\A.INI"), "C:\\X.PRJ\\A.PRJ");
}

}  // namespace
}  // namespace tessel::test

#include "app/new_project.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "settings/MyIni.h"
#include "tests/app/app_fixture.h"

namespace tessel::test {
namespace {

class NewProject : public TAppTest {
 protected:
  void SetUp() override {
    TAppTest::SetUp();
    TQuotedINI(kProgramIni).WriteString("PROGRAM", "LastProject", kProjectIni);
    WriteLines(kProjectIni,
               {"[vleProjectBindOptions]", "Selected bitmap=@$(PROJECTDIR)\\P\\P_SELECTED.BMP@",
                "Makescript=@$(PROJECTDIR)\\P\\P.PAT@", "Plain=kept as it is", "[vleProjectSource]",
                "SRC_000=@$(PROJECTDIR)\\P\\PX.CPP@", "SRC_001=@$(PROJECTDIR)\\P@",
                "[vleRequiredProjectDirectories]", "OPT_000=@$(PROJECTDIR)\\P@"});
    core->Startup();
  }
  static constexpr const char* kNewIni = "C:\\SDK\\Projects\\NEW.INI";
};

TEST_F(NewProject, AsksUntilTheNameIsUsableAndTheOverwriteAccepted) {
  WriteLines(kNewIni, {"old settings"});
  ui.inputAnswers = {"TOOLONG89", "", "a/b", "new", "new"};
  ui.okCancelAnswers = {false, true};
  EXPECT_EQ(core->SaveProjectAs(), kNewIni);

  const std::string overwrite = std::string(kNewIni) + " already exists!\r\nOverwrite?";
  std::vector<std::string> expected = {
      "input: New project:: (eight characters max.)",
      "warning: Eight characters max!",
      "input: New project:: (eight characters max.)",
      "warning: Please enter a name for the new project!",
      "input: New project:: (eight characters max.)",
      "warning: A project name must not contain any of\r\n\\ / : * ? \" < > | .\r\nor control "
      "characters!",
      "input: New project:: (eight characters max.)",
      "okcancel: " + overwrite,
      "input: New project:: (eight characters max.)",
      "okcancel: " + overwrite};
  EXPECT_EQ(BoxTexts(), expected);
  // The last text comes back, in upper case once its length passed.
  EXPECT_EQ(ui.inputPresets, (std::vector<std::string>{"", "TOOLONG89", "", "A/B", "NEW"}));

  // The settings copied and rewritten, the three files copied under the new name.
  for (const char* suffix : {".CPP", "_SELECTED.BMP", "_UNSELECTED.BMP"}) {
    EXPECT_EQ(ReadFileBytes(std::string("C:\\SDK\\Projects\\NEW\\NEW") + suffix),
              std::string(suffix) + "\r\n");
  }
  TQuotedINI ini(kNewIni);
  EXPECT_EQ(ini.ReadString("vleProjectBindOptions", "Selected bitmap", ""),
            "$(PROJECTDIR)\\NEW\\NEW_SELECTED.BMP");
  EXPECT_EQ(ini.ReadString("vleProjectBindOptions", "Makescript", ""),
            "$(PROJECTDIR)\\NEW\\NEW.PAT");
  EXPECT_EQ(ini.ReadString("vleProjectSource", "SRC_000", ""), "$(PROJECTDIR)\\NEW\\PX.CPP");
  EXPECT_EQ(ini.ReadString("vleProjectSource", "SRC_001", ""), "$(PROJECTDIR)\\NEW");
  // Unchanged entries are not written again.
  const std::string text = ReadFileBytes(kNewIni);
  EXPECT_NE(text.find("\r\nPlain=kept as it is\r\n"), std::string::npos);

  // The new project is current; the last project stays.
  EXPECT_EQ(core->CurrentProjectFile(), kNewIni);
  EXPECT_EQ(core->BaseIniFile(), kBaseIni);
  EXPECT_EQ(ProgramValue("LastProject"), kProjectIni);
}

TEST_F(NewProject, MissingBitmapAsksAgainAndKeepsWhatWasCopied) {
  DeleteFileAt("C:\\SDK\\Projects\\P\\P_UNSELECTED.BMP");
  ui.inputAnswers = {"abc"};
  EXPECT_EQ(core->SaveProjectAs(), std::nullopt);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"input: New project:: (eight characters max.)",
                                                  "warning: Could not copy the file:\r\n"
                                                  "C:\\SDK\\Projects\\P\\P_UNSELECTED.BMP\r\nto\r\n"
                                                  "C:\\SDK\\Projects\\ABC\\ABC_UNSELECTED.BMP",
                                                  "input: New project:: (eight characters max.)"}));
  EXPECT_EQ(ui.inputPresets.back(), "ABC");
  EXPECT_TRUE(FileExists("C:\\SDK\\Projects\\ABC.INI"));
  EXPECT_TRUE(FileExists("C:\\SDK\\Projects\\ABC\\ABC_SELECTED.BMP"));
  EXPECT_EQ(core->CurrentProjectFile(), kProjectIni);
}

TEST_F(NewProject, EightCharactersAndTheSameFileAreHandled) {
  // Copying the project onto itself is refused, and nothing is lost.
  const std::string before = ReadFileBytes(kProjectIni);
  ui.inputAnswers = {"p", "ABCDEFGH"};
  ui.okCancelAnswers = {true};
  EXPECT_EQ(core->SaveProjectAs(), "C:\\SDK\\Projects\\ABCDEFGH.INI");
  EXPECT_EQ(ui.boxes[2].text, std::string("Could not copy the project file:\r\n") + kProjectIni +
                                  "\r\nto\r\nC:\\SDK\\Projects\\P.INI");
  EXPECT_EQ(ReadFileBytes(kProjectIni), before);
}

TEST_F(NewProject, WithoutProjectDirNothingIsAskedOrMade) {
  TQuotedINI(kBaseIni).WriteString("vleGeneral", "PROJECTDIR", "");
  ui.inputAnswers = {"abc"};
  EXPECT_EQ(core->SaveProjectAs(), std::nullopt);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, "error");
  EXPECT_FALSE(FileExists("C:\\SDK\\Projects\\ABC.INI"));
  EXPECT_FALSE(DirectoryExists("C:\\ABC"));
}

TEST(NewProjectRewrite, RulesAToD) {
  EXPECT_EQ(RewriteProjectValue("$(PROJECTDIR)\\OLD\\OLD.CPP", "OLD", "NEW"),
            "$(PROJECTDIR)\\NEW\\NEW.CPP");
  EXPECT_EQ(RewriteProjectValue("C:\\X\\OLD", "OLD", "NEW"), "C:\\X\\NEW");
  EXPECT_EQ(RewriteProjectValue("C:\\X\\OLD_SELECTED.BMP", "OLD", "NEW"),
            "C:\\X\\NEW_SELECTED.BMP");
  EXPECT_EQ(RewriteProjectValue("C:\\X\\XOLD.CPP;OLD", "OLD", "NEW"), "C:\\X\\XOLD.CPP;OLD");
  EXPECT_EQ(RewriteProjectValue("C:\\OLDER\\OLDX", "OLD", "NEW"), "C:\\OLDER\\OLDX");
  // A lower-case old name matches lower case only.
  EXPECT_EQ(RewriteProjectValue("C:\\old\\old.cpp", "old", "NEW"), "C:\\NEW\\NEW.cpp");
  EXPECT_EQ(RewriteProjectValue("C:\\OLD\\OLD.CPP", "old", "NEW"), "C:\\OLD\\OLD.CPP");
}

TEST(NewProjectName, ProblemsOfAName) {
  EXPECT_EQ(ProjectNameProblem("ABCDEFGH"), std::nullopt);
  EXPECT_EQ(ProjectNameProblem("A-B_1"), std::nullopt);
  EXPECT_NE(ProjectNameProblem("  "), std::nullopt);
  for (const char* bad : {"A\\B", "A:", "A*", "A?", "A\"", "A<", "A>", "A|", "A.B", "A\tB"}) {
    EXPECT_NE(ProjectNameProblem(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace tessel::test

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "settings/MyIni.h"
#include "support/FileTool.h"
#include "tests/app/app_fixture.h"
#include "tests/support/bmp_writer.h"

namespace tessel::test {
namespace {

using ConvertBitmaps = TAppTest;

TEST_F(ConvertBitmaps, CancelLeavesTheRememberedDirectory) {
  // No project, no remembered directory: an empty first line, no preselection.
  ui.log = {"earlier"};
  TConvertOutcome outcome = core->ConvertBitmaps();
  EXPECT_FALSE(outcome.chosen);
  EXPECT_EQ(ui.clears, 1);
  EXPECT_EQ(ui.log, (std::vector<std::string>{""}));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"directory: Select directory:"}));
  EXPECT_EQ(ui.inputPresets, (std::vector<std::string>{""}));
  EXPECT_EQ(ProgramValue("BitmapDir"), "<missing>");

  // With a project, its directory stands in and is preselected.
  core->SetCurrentProject(kProjectIni);
  core->ConvertBitmaps();
  EXPECT_EQ(ui.log, (std::vector<std::string>{"C:\\SDK\\Projects\\"}));
  EXPECT_EQ(ui.inputPresets.back(), "C:\\SDK\\Projects\\");

  // A remembered directory that has gone is shown but not preselected.
  TQuotedINI(kProgramIni).WriteString("PROGRAM", "BitmapDir", "C:\\GONE");
  core->ConvertBitmaps();
  EXPECT_EQ(ui.log, (std::vector<std::string>{"C:\\GONE"}));
  EXPECT_EQ(ui.inputPresets.back(), "");
  EXPECT_TRUE(ui.cursors.empty());
}

TEST_F(ConvertBitmaps, ConvertsEveryBitmapFileInNameOrder) {
  ForceDirectoryPath("C:\\PICS\\X.BMP");
  WriteFileBytes("C:\\PICS\\b.bmp", BuildBmp(PlainBmp(4, 2, {{255, 0, 0}}, 0)));
  TBmpLayout wrong = PlainBmp(4, 2);
  wrong.bitCount = 24;
  WriteFileBytes("C:\\PICS\\A.BMP", BuildBmp(wrong));
  WriteFileBytes("C:\\PICS\\NOTE.TXT", "text");
  ui.inputAnswers = {std::string("C:\\PICS")};
  TConvertOutcome outcome = core->ConvertBitmaps();
  EXPECT_TRUE(outcome.chosen);
  EXPECT_EQ(outcome.converted, 2);
  EXPECT_EQ(outcome.reported, 1);
  EXPECT_EQ(ProgramValue("BitmapDir"), "C:\\PICS");
  ASSERT_EQ(ui.log.size(), 4u);
  EXPECT_EQ(ui.log[0], "");
  EXPECT_EQ(ui.log[1], "Converting: C:\\PICS\\A.BMP");
  EXPECT_TRUE(ui.log[2].starts_with("  ")) << ui.log[2];
  EXPECT_FALSE(ui.log[2].starts_with("   ")) << ui.log[2];
  EXPECT_EQ(ui.log[3], "Converting: C:\\PICS\\b.bmp");
  EXPECT_TRUE(FileExists("C:\\PICS\\B.CPP"));
  EXPECT_FALSE(FileExists("C:\\PICS\\A.CPP"));
  EXPECT_EQ(ui.cursors, (std::vector<TCursor>{TCursor::HourGlass, TCursor::Default}));

  // A file the conversion cannot read ends the command; the cursor comes back.
  WriteFileBytes("C:\\PICS\\0.BMP", "short");
  ui.inputAnswers = {std::string("C:\\PICS")};
  EXPECT_ANY_THROW(core->ConvertBitmaps());
  EXPECT_EQ(ui.cursors.back(), TCursor::Default);
  EXPECT_EQ(ui.log.back(), "Converting: C:\\PICS\\0.BMP");
}

}  // namespace
}  // namespace tessel::test

#include "app/sdk_check.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "settings/MyIni.h"
#include "tests/app/app_fixture.h"

namespace tessel::test {
namespace {

using SdkCheck = TAppTest;

std::string Sdkdir() {
  return TQuotedINI(TAppTest::kBaseIni).ReadString("vleGeneral", "SDKDIR", "");
}

void SetSdkdir(const std::string& value) {
  TQuotedINI(TAppTest::kBaseIni).WriteString("vleGeneral", "SDKDIR", value);
}

TEST(SdkCheckPaths, StartDirectoryBaseIsTheProgramDirectorysParent) {
  EXPECT_EQ(StartDirectoryBase("C:\\SDK\\BIN\\"), "C:\\SDK");
  EXPECT_EQ(StartDirectoryBase("C:\\SDK\\BIN"), "C:\\SDK");
  EXPECT_EQ(StartDirectoryBase("/opt/sdk/BIN"), "/opt/sdk");
  EXPECT_EQ(BaseSettingsPathOf("C:\\SDK"), "C:\\SDK\\BaseOptions\\BaseOptions.ini");
}

TEST_F(SdkCheck, MatchingDirectoryAsksNothing) {
  EXPECT_EQ(CheckSdkBaseDirectory("C:\\SDK\\BIN", ui), kBaseIni);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SdkCheck, NoBaseSettingsBelowTheStartDirectoryAsksNothing) {
  EXPECT_EQ(CheckSdkBaseDirectory("C:\\ELSEWHERE\\BIN", ui),
            "C:\\ELSEWHERE\\BaseOptions\\BaseOptions.ini");
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SdkCheck, AnotherLetterCaseDoesNotComply) {
  const std::string question =
      "The configured SDK-base directory\r\n\"c:\\sdk\"\r\n does not comply to the start "
      "directory's base:\r\n\"C:\\SDK\"\r\nCorrect the SDK-base directory?";
  SetSdkdir("c:\\sdk");
  // No: the configured directory's base settings are used, and the warning says so.
  EXPECT_EQ(CheckSdkBaseDirectory("C:\\SDK\\BIN", ui), "c:\\sdk\\BaseOptions\\BaseOptions.ini");
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].kind, "yesno");
  EXPECT_EQ(ui.boxes[0].text, question);
  EXPECT_EQ(ui.boxes[1].kind, "warning");
  EXPECT_EQ(ui.boxes[1].text, "The SDK-base directory is still invalid!\r\nThe SDK won't work!");
  EXPECT_EQ(Sdkdir(), "c:\\sdk");

  // Yes: corrected, and no warning.
  ui.boxes.clear();
  ui.yesNoAnswers = {true};
  EXPECT_EQ(CheckSdkBaseDirectory("C:\\SDK\\BIN", ui), kBaseIni);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, question);
  EXPECT_EQ(Sdkdir(), "C:\\SDK");
}

TEST_F(SdkCheck, MissingDirectoryOffersTheStartDirectorysBase) {
  const std::string question =
      "The configured SDK-base directory\r\n\"C:\\GONE\"\r\n is missing.\r\nChange the "
      "SDK-base directory to the start-directory's base\r\n\"C:\\SDK\"?";
  // Quotes are removed and references expanded before the comparison.
  TQuotedINI(kBaseIni).WriteString("vleGeneral", "ROOT", "C:");
  SetSdkdir("\"$(ROOT)\\GONE\"");
  EXPECT_EQ(CheckSdkBaseDirectory("C:\\SDK\\BIN", ui), kBaseIni);
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].text, question);
  EXPECT_EQ(ui.boxes[1].kind, "warning");
  EXPECT_EQ(Sdkdir(), "\"$(ROOT)\\GONE\"");

  ui.boxes.clear();
  ui.yesNoAnswers = {true};
  EXPECT_EQ(CheckSdkBaseDirectory("C:\\SDK\\BIN", ui), kBaseIni);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(Sdkdir(), "C:\\SDK");
}

}  // namespace
}  // namespace tessel::test

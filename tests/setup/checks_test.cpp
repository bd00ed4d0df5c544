#include "setup/checks.h"

#include <cerrno>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/memory_file_system.h"
#include "setup/general_setting.h"
#include "tests/setup/setup_fixture.h"
#include "tests/support/scripted_ui.h"

using namespace tessel;
using tessel::test::TScriptedUserInterface;
using tessel::test::TSetupTest;

namespace {

// General parameters whose directories all lie below C:\SDK.
TParamlist General() {
  TParamlist general;
  for (const TGeneralSetting& setting : GeneralSettings) {
    general.SetValue(setting.Key, std::string(setting.Kind) == "DIR" ? std::string("\"$(SDKDIR)\"")
                                                                     : std::string("X"));
  }
  general.SetValue("SDKDIR", "C:\\SDK");
  return general;
}

TParamlist List(const std::vector<std::string>& values) {
  TParamlist list;
  for (size_t i = 0; i < values.size(); ++i) list.Add("OPT_" + std::to_string(i) + "=" + values[i]);
  return list;
}

}  // namespace

TEST_F(TSetupTest, MissingDirectoriesAreCreatedAfterOneQuestion) {
  MakeDirectory("C:\\SDK");
  MakeDirectory("C:\\A");
  TScriptedUserInterface ui;
  ui.yesNoAnswers = {true};
  EXPECT_TRUE(
      CheckDirectories(General(), List({"\"$(SDKDIR)\\OBJ\"", "C:\\A\\B\\C", "$(SDKDIR)"}), ui));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, "yesno");
  EXPECT_EQ(ui.boxes[0].text, "Missung directory:\r\nC:\\SDK\\OBJ\r\nCreate directories?");
  EXPECT_TRUE(DirectoryExists("C:\\SDK\\OBJ"));
  EXPECT_TRUE(DirectoryExists("C:\\A\\B\\C"));

  // Everything there now: no question.
  TScriptedUserInterface quiet;
  EXPECT_TRUE(CheckDirectories(General(), List({"C:\\A\\B\\C"}), quiet));
  EXPECT_TRUE(quiet.boxes.empty());
}

TEST_F(TSetupTest, RefusingToCreateDirectoriesStopsTheCheck) {
  TScriptedUserInterface ui;
  ui.yesNoAnswers = {false};
  EXPECT_FALSE(CheckDirectories(General(), List({"C:\\ONE", "C:\\TWO"}), ui));
  ASSERT_EQ(ui.boxes.size(), 1u);
  // The general directories come first.
  EXPECT_EQ(ui.boxes[0].text, "Missung directory:\r\nC:\\SDK\r\nCreate directories?");
  EXPECT_FALSE(DirectoryExists("C:\\SDK"));
  EXPECT_FALSE(DirectoryExists("C:\\ONE"));
  EXPECT_FALSE(DirectoryExists("C:\\TWO"));
}

TEST_F(TSetupTest, MissingFilesAreListedInOneErrorBox) {
  MakeDirectory("C:\\SDK\\DIR.LIB");
  WriteIni("C:\\SDK\\HERE.LIB", {"x"});
  TScriptedUserInterface ui;
  EXPECT_FALSE(CheckFiles(
      General(),
      List({"$(SDKDIR)\\X.LIB", "\"$(SDKDIR)\\HERE.LIB\"", "$(SDKDIR)\\DIR.LIB", "C:\\Z.LIB"}),
      ui));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, "error");
  EXPECT_EQ(ui.boxes[0].text,
            "Missung file(s):\r\nC:\\SDK\\X.LIB\r\nC:\\SDK\\DIR.LIB\r\nC:\\Z.LIB\r\n");

  TScriptedUserInterface quiet;
  EXPECT_TRUE(CheckFiles(General(), List({"$(sdkdir)\\here.lib"}), quiet));
  EXPECT_TRUE(quiet.boxes.empty());
}

TEST(GeneralParameterCheck, NamesTheFirstBlankRowOnly) {
  TEditorRows general;
  for (const TGeneralSetting& setting : GeneralSettings) general.Add(setting.Key, "x");
  TScriptedUserInterface ui;
  EXPECT_EQ(CheckGeneralParameters(general, ui), std::nullopt);
  EXPECT_TRUE(ui.boxes.empty());

  general.SetValue("WORKDIR", " \t ");
  general.SetValue("MAXBACKUP", "");
  EXPECT_EQ(CheckGeneralParameters(general, ui), std::optional<std::string>("WORKDIR"));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, "error");
  EXPECT_EQ(ui.boxes[0].text,
            "Item WORKDIR is empty!\r\nAny item in General parameters must not be empty!");
}

TEST(CheckDirectoriesFaults, ADirectoryThatCannotBeCreatedIsShownAndTheCheckGoesOn) {
  TMemoryFileSystem fs;
  fs.AddDirectory("/SDK");
  TFileSystemScope scope(fs);
  const std::string oldRoot = DriveRoot();
  SetDriveRoot("/");
  TScriptedUserInterface ui;
  ui.yesNoAnswers = {true};
  // C:\ONE\TWO needs two directories; the second cannot be made.
  fs.FailAt(TFsCall::MakeDirectory, 2, ENOSPC);
  EXPECT_TRUE(CheckDirectories(General(), List({"C:\\ONE\\TWO", "C:\\THREE"}), ui));
  SetDriveRoot(oldRoot);
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[1].kind, "warning");
  EXPECT_EQ(ui.boxes[1].text,
            "Cannot create directory \"C:\\ONE\\TWO\": " + PlatformErrorText(ENOSPC));
  EXPECT_TRUE(fs.HasDirectory("/ONE"));
  EXPECT_TRUE(fs.HasDirectory("/THREE"));
}

#include "setup/save_command.h"

#include "platform/clock.h"
#include "platform/file_system.h"
#include "support/date_time.h"
#include "tests/setup/setup_fixture.h"
#include "tests/support/scripted_ui.h"

using namespace tessel;
using tessel::test::TMainWindowGuard;
using tessel::test::TScriptedUserInterface;
using tessel::test::TSetupTest;

namespace {

const char* const Base = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
const char* const Project = "C:\\SDK\\Projects\\DEMO.INI";
const char* const ProjectScript = "C:\\SDK\\Projects\\DEMO.PRJ";
const TDateTime LongAgo = 40000.5;

class TSaveCommandTest : public TSetupTest {
 protected:
  void SetUp() override {
    TSetupTest::SetUp();
    WriteIni(Base, {"[vleGeneral]",
                    "SDKDIR=@C:\\SDK@",
                    "TEMPLATEDIR=@C:\\SDK\\Templates@",
                    "HEADERDIR=@C:\\SDK@",
                    "DEBUGDIR=@C:\\SDK@",
                    "OBJECTDIR=@C:\\SDK@",
                    "BINDIR=@C:\\SDK@",
                    "LIBDIR=@C:\\SDK@",
                    "PROJECTDIR=@C:\\SDK\\Projects@",
                    "WORKDIR=@C:\\SDK@",
                    "ASM_CMD=@asm@",
                    "LNK_CMD=@lnk@",
                    "COMPILE_CMD=@cc@",
                    "MAXBACKUP=@1@",
                    "[vleSyscalls]",
                    "LIBRARY=@SYSCALLS;;20200101000000@",
                    "0C3=@void A(void);a.h;20200101000000@",
                    "0C4=@void B(void);b.h;20200101000000@",
                    "[vleLink]",
                    "OPT_000=@-a@",
                    "OPT_001=@@",
                    "OPT_002=@-c@"});
    WriteIni(Project, {"[vleProjectBindOptions]", "Makescript=@C:\\SDK\\Projects\\BIND.TXT@",
                       "Version=@1.02.0000@", "[vleProjectSource]", "SRC_000=@A.CPP@"});
    MakeDirectory("C:\\SDK\\Templates");
    SetFileLastWriteTime(Base, LongAgo);
    SetFileLastWriteTime(Project, LongAgo);
  }

  TSetupModel LoadedModel() {
    TSetupModel model(Project, Project, Base);
    model.Load();
    return model;
  }

  TScriptedUserInterface ui;
  TMainWindowGuard mainWindow{&ui};
};

}  // namespace

TEST_F(TSaveCommandTest, WithoutChangesNothingIsStoredButTheScriptsAreGenerated) {
  const std::string baseBefore = ReadFileBytes(Base);
  const std::string projectBefore = ReadFileBytes(Project);
  TSetupModel model = LoadedModel();

  EXPECT_TRUE(RunSaveCommand(model, ui));
  EXPECT_EQ(ReadFileBytes(Base), baseBefore);
  EXPECT_EQ(ReadFileBytes(Project), projectBefore);
  EXPECT_TRUE(ListDirectory("C:\\SDK\\BaseOptions\\*.BAK").empty());
  EXPECT_TRUE(ListDirectory("C:\\SDK\\Projects\\*.BAK").empty());
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Save and script-building successful.");
  EXPECT_TRUE(FileExists(ProjectScript));
  // The hourglass shows while the command runs.
  ASSERT_FALSE(ui.cursors.empty());
  EXPECT_EQ(ui.cursors.front(), TCursor::HourGlass);
  EXPECT_NE(ui.cursors.back(), TCursor::HourGlass);
}

TEST_F(TSaveCommandTest, EditsAreBackedUpStoredAndShownAsStored) {
  TSetupModel model = LoadedModel();
  model.Editor("vleGeneral").SetValue("LIBDIR", "C:\\SDK\\LIB");
  model.Editor("vleSyscalls").SetValue("0C4", "void B2(void);b.h;20200101000000");
  model.Editor("vleLink").Add("NEW_77", "-new");
  model.Editor("vleProjectBindOptions").SetValue("Selected bitmap", "C:\\SDK\\Projects\\S.BMP");

  const std::string before = DateToStamp(Now());
  EXPECT_TRUE(RunSaveCommand(model, ui));
  EXPECT_FALSE(model.HasChanges());

  // Each settings file was backed up once, before it was written.
  EXPECT_EQ(FileLines("C:\\SDK\\BaseOptions\\BaseOptions_1.BAK")[2],
            "TEMPLATEDIR=@C:\\SDK\\Templates@");
  EXPECT_TRUE(FileExists("C:\\SDK\\Projects\\DEMO_1.BAK"));

  // Erased sections are written anew at the end of their file.
  std::vector<std::string> base = FileLines(Base);
  ASSERT_EQ(base.size(), 22u);
  const std::string stamp = base[3].substr(base[3].size() - 15, 14);
  EXPECT_GE(stamp, before);
  EXPECT_EQ(base, (std::vector<std::string>{"[vleSyscalls]",
                                            "LIBRARY=@SYSCALLS;;20200101000000@",
                                            "0C3=@void A(void);a.h;20200101000000@",
                                            "0C4=@void B2(void);b.h;" + stamp + "@",
                                            "[vleGeneral]",
                                            "SDKDIR=@C:\\SDK@",
                                            "TEMPLATEDIR=@$(SDKDIR)\\Templates@",
                                            "HEADERDIR=@C:\\SDK@",
                                            "DEBUGDIR=@C:\\SDK@",
                                            "OBJECTDIR=@C:\\SDK@",
                                            "BINDIR=@C:\\SDK@",
                                            "LIBDIR=@$(SDKDIR)\\LIB@",
                                            "PROJECTDIR=@$(SDKDIR)\\Projects@",
                                            "WORKDIR=@C:\\SDK@",
                                            "ASM_CMD=@asm@",
                                            "LNK_CMD=@lnk@",
                                            "COMPILE_CMD=@cc@",
                                            "MAXBACKUP=@1@",
                                            "[vleLink]",
                                            "OPT_000=@-a@",
                                            "OPT_001=@-c@",
                                            "OPT_002=@-new@"}));
  EXPECT_EQ(ReadFileBytes(Project),
            "[vleProjectBindOptions]\r\n"
            "Makescript=@$(PROJECTDIR)\\BIND.TXT@\r\n"
            "Version=@1.02.0000@\r\n"
            "Selected bitmap=@$(PROJECTDIR)\\S.BMP@\r\n"
            "[vleProjectSource]\r\n"
            "SRC_000=@A.CPP@\r\n");

  // The rows show the stored values, and the scripts use them.
  EXPECT_EQ(model.Editor("vleGeneral").ValueOf("LIBDIR"), "$(SDKDIR)\\LIB");
  EXPECT_EQ(model.Editor("vleSyscalls").ValueOf("0C4"), "void B2(void);b.h;" + stamp);
  std::vector<std::string> script = FileLines(ProjectScript);
  ASSERT_GE(script.size(), 2u);
  EXPECT_EQ(script[script.size() - 2], "Version=\"1.02.0000\"");
  EXPECT_EQ(script.back(), "BIND=\"$(PROJECTDIR)\\BIND.TXT\"");
  EXPECT_EQ(ui.boxes.back().text, "Save and script-building successful.");
}

TEST_F(TSaveCommandTest, ABlankGeneralRowStopsAfterTheBackups) {
  const std::string baseBefore = ReadFileBytes(Base);
  TSetupModel model = LoadedModel();
  model.Editor("vleGeneral").SetValue("WORKDIR", " ");
  model.Editor("vleLink").Add("NEW_1", "-x");

  EXPECT_FALSE(RunSaveCommand(model, ui));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text,
            "Item WORKDIR is empty!\r\nAny item in General parameters must not be empty!");
  EXPECT_EQ(ReadFileBytes(Base), baseBefore);
  EXPECT_TRUE(FileExists("C:\\SDK\\BaseOptions\\BaseOptions_1.BAK"));
  EXPECT_FALSE(FileExists(ProjectScript));
  // The refused edits no longer count as unsaved.
  EXPECT_FALSE(model.HasChanges());
  EXPECT_EQ(model.Editor("vleGeneral").ValueOf("WORKDIR"), " ");
}

TEST_F(TSaveCommandTest, AWriteErrorEndsTheSaveWithoutScripts) {
  TSetupModel model("C:\\SDK\\Projects\\DEMO.INI", "C:\\NOWHERE\\DEMO.INI", Base);
  model.Load();
  model.Editor("vleLink").Add("NEW_1", "-x");
  EXPECT_THROW(RunSaveCommand(model, ui), EFileError);
  // Sections of the base file before the first project section stay written.
  EXPECT_EQ(SectionLines(Base, "vleLink").back(), "OPT_002=@-x@");
  EXPECT_FALSE(FileExists(ProjectScript));
  EXPECT_FALSE(model.HasChanges());
  EXPECT_NE(ui.cursors.back(), TCursor::HourGlass);
}

#include "setup/backups.h"

#include "platform/clock.h"
#include "platform/file_system.h"
#include "tests/setup/setup_fixture.h"

using namespace tessel;
using tessel::test::TSetupTest;

namespace {

const char* const Base = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
const char* const Project = "C:\\SDK\\Projects\\DEMO.INI";

constexpr double Minute = 1.0 / (24 * 60);

}  // namespace

TEST(BackupCount, DecimalNumberOrSeven) {
  EXPECT_EQ(BackupCount("3"), 3);
  EXPECT_EQ(BackupCount("0"), 0);
  EXPECT_EQ(BackupCount("-2"), -2);
  EXPECT_EQ(BackupCount("x"), 7);
  EXPECT_EQ(BackupCount(" "), 7);
  EXPECT_EQ(BackupCount("$10"), 7);
}

TEST_F(TSetupTest, BackupsRotateOncePerMinuteOfChange) {
  // Five saves with changes, each in a minute after the file's last change.
  for (int save = 1; save <= 5; ++save) {
    WriteIni(Base, {"[vleGeneral]", "STATE=@" + std::to_string(save) + "@"});
    WriteIni(Project, {"[vleProjectSource]", "STATE=@" + std::to_string(save) + "@"});
    ASSERT_TRUE(SetFileLastWriteTime(Base, Now() - (10 - save) * Minute));
    ASSERT_TRUE(SetFileLastWriteTime(Project, Now() - (10 - save) * Minute));
    BackupSettings("3", Base, Project);
  }
  EXPECT_EQ(FileLines("C:\\SDK\\BaseOptions\\BaseOptions_1.BAK")[1], "STATE=@5@");
  EXPECT_EQ(FileLines("C:\\SDK\\BaseOptions\\BaseOptions_2.BAK")[1], "STATE=@4@");
  EXPECT_EQ(FileLines("C:\\SDK\\BaseOptions\\BaseOptions_3.BAK")[1], "STATE=@3@");
  EXPECT_FALSE(FileExists("C:\\SDK\\BaseOptions\\BaseOptions_4.BAK"));
  EXPECT_EQ(FileLines("C:\\SDK\\Projects\\DEMO_1.BAK")[1], "STATE=@5@");
  EXPECT_EQ(FileLines("C:\\SDK\\Projects\\DEMO_3.BAK")[1], "STATE=@3@");
  EXPECT_EQ(FileLines(Base)[1], "STATE=@5@");  // the file stays in place

  // Changed again within the current minute: no backup.
  WriteIni(Base, {"[vleGeneral]", "STATE=@6@"});
  BackupSettings("3", Base, Project);
  EXPECT_EQ(FileLines("C:\\SDK\\BaseOptions\\BaseOptions_1.BAK")[1], "STATE=@5@");

  // A file dated in the future: no backup either.
  ASSERT_TRUE(SetFileLastWriteTime(Base, Now() + 60 * Minute));
  BackupSettings("3", Base, Project);
  EXPECT_EQ(FileLines("C:\\SDK\\BaseOptions\\BaseOptions_1.BAK")[1], "STATE=@5@");
}

TEST_F(TSetupTest, NoBackupsWithACountOfZeroOrLessAndSevenWithoutANumber) {
  WriteIni(Base, {"[vleGeneral]"});
  WriteIni(Project, {"[vleProjectSource]"});
  for (const char* count : {"0", "-1"}) {
    ASSERT_TRUE(SetFileLastWriteTime(Base, Now() - 60 * Minute));
    BackupSettings(count, Base, Project);
    EXPECT_TRUE(ListDirectory("C:\\SDK\\BaseOptions\\*.BAK").empty()) << count;
  }

  for (int save = 1; save <= 9; ++save) {
    ASSERT_TRUE(SetFileLastWriteTime(Base, Now() - 60 * Minute));
    BackupSettings("x", Base, Project);
  }
  EXPECT_EQ(ListDirectory("C:\\SDK\\BaseOptions\\*.BAK").size(), 7u);
  EXPECT_TRUE(FileExists("C:\\SDK\\BaseOptions\\BaseOptions_7.BAK"));
}

#include "support/FileTool.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "support/date_time.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_dates.h"

namespace tessel::test {
namespace {

constexpr TDateTime kMinute = 1.0 / (24 * 60);

ino_t InodeOf(const std::string& hostPath) {
  struct stat st {};
  EXPECT_EQ(::stat(hostPath.c_str(), &st), 0);
  return st.st_ino;
}

TEST(FileToolTest, CopyFilesSingleAndWildcard) {
  TTempDir dir;
  dir.Write("src/a.tmp", "A");
  dir.Write("src/B.TMP", "B");
  dir.Write("src/c.txt", "C");
  dir.Write("src/d.tmp/inner", "dir named like a match");
  dir.Write("dst/B.TMP", "old");

  EXPECT_TRUE(CopyFiles(dir.File("src/*.TMP"), dir.File("dst/ignored.name")));
  EXPECT_EQ(dir.Read("dst/a.tmp"), "A");
  EXPECT_EQ(dir.Read("dst/B.TMP"), "B");
  EXPECT_FALSE(PathExists(dir.File("dst/c.txt")));
  EXPECT_FALSE(PathExists(dir.File("dst/d.tmp")));

  EXPECT_FALSE(CopyFiles(dir.File("src/*.none"), dir.File("dst/x")));
  EXPECT_FALSE(CopyFiles(dir.File("src/*.tmp"), dir.File("missing/x")));

  EXPECT_TRUE(CopyFiles(dir.File("src/c.txt"), dir.File("dst/B.TMP")));
  EXPECT_EQ(dir.Read("dst/B.TMP"), "C");
  EXPECT_FALSE(CopyFiles(dir.File("src/none.txt"), dir.File("dst/none.txt")));
}

TEST(FileToolTest, BackupRotatesAndKeepsTheFileInPlace) {
  TTempDir dir;
  const std::string file = dir.Write("S.INI", "current");
  dir.Write("S_1.BAK", "one");
  dir.Write("S_2.BAK", "two");
  const TDateTime changed = RoundDownToTwoSeconds(Now() - 10 * kMinute);
  ASSERT_TRUE(SetFileLastWriteTime(file, changed));
  const ino_t inode = InodeOf(file);

  EXPECT_EQ(Backup(file, 3, "YYYYMMDDHHNN"), 0.0);
  EXPECT_EQ(dir.Read("S.INI"), "current");
  EXPECT_EQ(dir.Read("S_1.BAK"), "current");
  EXPECT_EQ(dir.Read("S_2.BAK"), "one");
  EXPECT_EQ(dir.Read("S_3.BAK"), "two");
  EXPECT_FALSE(PathExists(dir.File("S_4.BAK")));
  EXPECT_DOUBLE_EQ(FileDateTime(file), changed);
  EXPECT_DOUBLE_EQ(FileDateTime(dir.File("S_1.BAK")), changed);
  // The settings file itself never left its place.
  EXPECT_EQ(InodeOf(file), inode);

  // Once more (the file is still older than this minute): the oldest drops out.
  dir.Write("S.INI", "newer");
  ASSERT_TRUE(SetFileLastWriteTime(file, changed));
  EXPECT_EQ(Backup(file, 3, "YYYYMMDDHHNN"), 0.0);
  EXPECT_EQ(dir.Read("S_1.BAK"), "newer");
  EXPECT_EQ(dir.Read("S_2.BAK"), "current");
  EXPECT_EQ(dir.Read("S_3.BAK"), "one");

  // A count of 1 replaces the single backup.
  dir.Write("S.INI", "third");
  ASSERT_TRUE(SetFileLastWriteTime(file, changed));
  EXPECT_EQ(Backup(file, 1, "YYYYMMDDHHNN"), 0.0);
  EXPECT_EQ(dir.Read("S_1.BAK"), "third");
  EXPECT_EQ(dir.Read("S_2.BAK"), "current");

  EXPECT_EQ(Backup(dir.File("NONE.INI"), 3, "YYYYMMDDHHNN"), 0.0);
  EXPECT_FALSE(PathExists(dir.File("NONE_1.BAK")));
}

TEST(FileToolTest, ABackupNameThatReachesTheFileItselfMakesNoBackup) {
  TTempDir dir;
  const std::string file = dir.Write("S.INI", "current");
  dir.Write("S_1.BAK", "one");
  ASSERT_EQ(::symlink(file.c_str(), dir.File("S_2.BAK").c_str()), 0);
  const TDateTime changed = RoundDownToTwoSeconds(Now() - 10 * kMinute);
  ASSERT_TRUE(SetFileLastWriteTime(file, changed));
  EXPECT_DOUBLE_EQ(Backup(file, 3, "YYYYMMDDHHNN"), changed);
  EXPECT_EQ(dir.Read("S.INI"), "current");
  EXPECT_EQ(dir.Read("S_1.BAK"), "one");
  EXPECT_FALSE(PathExists(dir.File("S_3.BAK")));
}

TEST(FileToolTest, BackupOncePerPeriodAndNeverForFutureFiles) {
  TTempDir dir;
  const std::string file = dir.Write("P.INI", "x");

  // Changed in the current day: no backup, the result is the file's date.
  // Retried when the day turns over while the test runs.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::string before = FormatDateTime("YYYYMMDD", Now());
    const TDateTime changed = RoundDownToTwoSeconds(Now());
    ASSERT_TRUE(SetFileLastWriteTime(file, changed));
    const TDateTime result = Backup(file, 3, "YYYYMMDD");
    if (FormatDateTime("YYYYMMDD", Now()) != before) continue;
    EXPECT_DOUBLE_EQ(result, changed);
    break;
  }
  EXPECT_FALSE(PathExists(dir.File("P_1.BAK")));

  const TDateTime future = RoundDownToTwoSeconds(Now() + 2 * kMinute);
  ASSERT_TRUE(SetFileLastWriteTime(file, future));
  EXPECT_DOUBLE_EQ(Backup(file, 3, "YYYYMMDDHHNN"), future);
  EXPECT_FALSE(PathExists(dir.File("P_1.BAK")));
}

TEST(FileToolTest, CompareFilesVerdicts) {
  TTempDir dir;
  std::string big(25000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  const std::string a = dir.Write("a.bin", big);
  const std::string same = dir.Write("same.bin", big);
  EXPECT_EQ(CompareFiles(a, same), "");

  std::string at10001 = big;
  at10001[10000] = static_cast<char>(at10001[10000] ^ 1);
  EXPECT_EQ(CompareFiles(a, dir.Write("b.bin", at10001)), "Binary mismatch at 10001!");
  std::string atLast = big;
  atLast.back() = static_cast<char>(atLast.back() ^ 0x80);
  EXPECT_EQ(CompareFiles(a, dir.Write("c.bin", atLast)), "Binary mismatch at 25000!");
  std::string atFirst = big;
  atFirst[0] = 'x';
  EXPECT_EQ(CompareFiles(a, dir.Write("d.bin", atFirst)), "Binary mismatch at 1!");

  EXPECT_EQ(CompareFiles(a, dir.Write("short.bin", big.substr(1))), "Mismatch: Size");
  EXPECT_EQ(CompareFiles(dir.Write("e1", ""), dir.Write("e2", "")), "");

  const std::string missing = dir.File("missing.bin");
  EXPECT_EQ(CompareFiles(missing, a), missing + " does not exist!");
  EXPECT_EQ(CompareFiles(a, missing), missing + " does not exist!");
  // Both missing: both findings, joined like every verdict.
  EXPECT_EQ(CompareFiles(missing, dir.File("other")),
            missing + " does not exist!; " + dir.File("other") + " does not exist!");
}

TEST(FileToolTest, ForceDirectoryPathWalksLevelByLevel) {
  TTempDir dir;
  const std::string savedRoot = DriveRoot();
  SetDriveRoot(dir.Path());

  EXPECT_TRUE(ForceDirectoryPath("C:\\A\\B\\"));
  EXPECT_TRUE(DirectoryExists("C:\\A"));
  EXPECT_TRUE(DirectoryExists("C:\\A\\B"));
  EXPECT_TRUE(ForceDirectoryPath("C:/A/B/C"));
  EXPECT_TRUE(DirectoryExists(dir.File("A/B/C")));

  // The walk stops at an empty field, so the rest is never created.
  EXPECT_FALSE(ForceDirectoryPath("C:\\X\\\\Y"));
  EXPECT_TRUE(DirectoryExists(dir.File("X")));
  EXPECT_FALSE(PathExists(dir.File("Y")));
  EXPECT_FALSE(PathExists(dir.File("X/Y")));

  // A file in the way cannot become a directory.
  dir.Write("F", "file");
  EXPECT_FALSE(ForceDirectoryPath("C:\\F\\G"));
  SetDriveRoot(savedRoot);

  // Absolute host paths walk from the root.
  EXPECT_TRUE(ForceDirectoryPath(dir.File("P/Q/R")));
  EXPECT_TRUE(DirectoryExists(dir.File("P/Q/R")));
  EXPECT_FALSE(ForceDirectoryPath(""));
}

TEST(FileToolTest, FileDateTimeRoundsDownToTwoSeconds) {
  TTempDir dir;
  const std::string file = dir.Write("t.txt", "x");
  const TDateTime when = TestDate(2021, 7, 8, 9, 10, 11, 500);
  ASSERT_TRUE(SetFileLastWriteTime(file, when));
  EXPECT_EQ(DateToStamp(FileDateTime(file)), "20210708091010");
  EXPECT_EQ(FileDateTime(dir.File("none.txt")), 0.0);
  EXPECT_EQ(FileDateTime(dir.Path()), 0.0);
}

TEST(FileToolTest, CursorStackGoesThroughTheMainWindow) {
  TScriptedUserInterface ui;
  TMainWindowGuard guard(&ui);
  PushCursor(TCursor::HourGlass);
  PushCursor(TCursor::HourGlass);
  PopCursor();
  PopCursor();
  PopCursor();  // nothing saved: the default cursor
  const std::vector<TCursor> expected = {TCursor::HourGlass, TCursor::HourGlass, TCursor::HourGlass,
                                         TCursor::Default, TCursor::Default};
  EXPECT_EQ(ui.cursors, expected);
}

}  // namespace
}  // namespace tessel::test

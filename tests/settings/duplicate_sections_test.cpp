// A section header that occurs more than once reads as one section, and a
// change writes it once: what is shown is exactly what is stored.

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "settings/MyIni.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::TTempDir;

namespace {

std::string Values(const TQuotedINI& ini, const std::string& section) {
  TParamlist list;
  ini.ReadSectionValues(section, list);
  return list.Text();
}

const char* const kTwice =
    "[vleLink]\r\nOPT_000=@-a@\r\nOPT_001=@-b@\r\n\r\n"
    "[vleTools]\r\nLIBRARY=@T@\r\n\r\n"
    "[VLELINK]\r\nOPT_001=@hidden@\r\nOPT_005=@-c@\r\n\r\n"
    "[vleGeneral]\r\nX=@1@\r\n";

}  // namespace

TEST(DuplicateSections, CopiesReadAsOneSectionTheFirstKeyWinning) {
  TTempDir dir;
  const std::string path = dir.Write("B.INI", kTwice);
  TQuotedINI ini(path);
  EXPECT_EQ(Values(ini, "vleLink"), "OPT_000=-a\r\nOPT_001=-b\r\nOPT_001=-b\r\nOPT_005=-c\r\n");
  EXPECT_EQ(ini.ReadString("vleLink", "OPT_005", "none"), "-c");
  EXPECT_EQ(ini.ReadString("vleLink", "OPT_001", "none"), "-b");
  EXPECT_EQ(ini.ReadSection("vleLink"),
            (std::vector<std::string>{"OPT_000", "OPT_001", "OPT_001", "OPT_005"}));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"vleLink", "vleTools", "vleGeneral"}));
}

TEST(DuplicateSections, ChangesWriteTheSectionOnceAndErasingErasesEveryCopy) {
  TTempDir dir;
  const std::string path = dir.Write("B.INI", kTwice);
  TQuotedINI ini(path);
  ini.WriteString("vleLink", "OPT_006", "-d");
  EXPECT_EQ(ReadFileBytes(path),
            "[vleLink]\r\nOPT_000=@-a@\r\nOPT_001=@-b@\r\nOPT_001=@hidden@\r\nOPT_005=@-c@\r\n"
            "OPT_006=@-d@\r\n\r\n"
            "[vleTools]\r\nLIBRARY=@T@\r\n\r\n\r\n"
            "[vleGeneral]\r\nX=@1@\r\n");

  WriteFileBytes(path, kTwice);
  ini.RewriteSection("vleLink", {{"OPT_000", "-z"}});
  EXPECT_EQ(ReadFileBytes(path),
            "[vleTools]\r\nLIBRARY=@T@\r\n\r\n"
            "[vleGeneral]\r\nX=@1@\r\n[vleLink]\r\nOPT_000=@-z@\r\n");
  EXPECT_EQ(Values(ini, "vleLink"), "OPT_000=-z\r\n");

  WriteFileBytes(path, kTwice);
  ini.EraseSection("VLELINK");
  EXPECT_EQ(Values(ini, "vleLink"), "");
  EXPECT_EQ(ReadFileBytes(path), "[vleTools]\r\nLIBRARY=@T@\r\n\r\n[vleGeneral]\r\nX=@1@\r\n");
}

TEST(DuplicateSections, ABatchReachesTheFileOnlyAtItsCommit) {
  TTempDir dir;
  const std::string path = dir.Write("B.INI", kTwice);
  TQuotedINI ini(path);
  ini.BeginBatch();
  ini.RewriteSection("vleLink", {{"OPT_000", "-z"}});
  ini.WriteString("vleGeneral", "X", "2");
  ini.DeleteKey("vleTools", "LIBRARY");
  EXPECT_EQ(ReadFileBytes(path), kTwice);
  EXPECT_EQ(ini.ReadString("vleGeneral", "X", ""), "2");  // reads see the batch
  EXPECT_EQ(Values(ini, "vleLink"), "OPT_000=-z\r\n");
  ini.CommitBatch();
  EXPECT_EQ(ReadFileBytes(path),
            "[vleTools]\r\n\r\n[vleGeneral]\r\nX=@2@\r\n[vleLink]\r\nOPT_000=@-z@\r\n");
  // After the commit every operation goes to the file again.
  ini.WriteString("vleGeneral", "X", "3");
  EXPECT_EQ(TQuotedINI(path).ReadString("vleGeneral", "X", ""), "3");
}

#include "setup/section_writer.h"

#include "platform/file_system.h"
#include "tests/setup/setup_fixture.h"

using namespace tessel;
using tessel::test::TSetupTest;

namespace {

using TEntries = std::vector<std::pair<std::string, std::string>>;

// What erasing the section and writing entry by entry leaves.
std::string WrittenOneByOne(const std::string& path, const std::string& section,
                            const TEntries& entries) {
  TQuotedINI ini(path);
  ini.EraseSection(section);
  for (const auto& [key, value] : entries) ini.WriteString(section, key, value);
  return ReadFileBytes(path);
}

}  // namespace

TEST_F(TSetupTest, RewrittenSectionHasTheBytesOfSingleWrites) {
  const TEntries entries = {{"OPT_000", " -a "}, {"OPT_001", "\"b\""}, {"OPT_002", "@"}};
  const std::vector<std::string> files = {
      "",
      "[vleLink]\r\nOPT_000=@old@\r\n",
      "; comment\r\n[vleGeneral]\r\nSDKDIR=@C:\\SDK@\r\n\r\n[VLELINK]\r\nOPT_000=@x@\r\n\r\n"
      "[vleTools]\r\nLIBRARY=@T@",
      "[vleTools]\nLIBRARY=@T@\n\n\n",
      "[vleLink]\r\nOPT_000=@first@\r\n[other]\r\n[vleLink]\r\nOPT_009=@second@\r\n",
  };
  for (const std::string& content : files) {
    WriteFileBytes("C:\\A.INI", content);
    WriteFileBytes("C:\\B.INI", content);
    TQuotedINI ini("C:\\A.INI");
    RewriteSection(ini, "vleLink", entries);
    EXPECT_EQ(ReadFileBytes("C:\\A.INI"), WrittenOneByOne("C:\\B.INI", "vleLink", entries))
        << content;

    WriteFileBytes("C:\\A.INI", content);
    WriteFileBytes("C:\\B.INI", content);
    RewriteSection(ini, "vleLink", {});
    EXPECT_EQ(ReadFileBytes("C:\\A.INI"), WrittenOneByOne("C:\\B.INI", "vleLink", {})) << content;
  }

  // A missing file is created.
  TQuotedINI fresh("C:\\NEW.INI");
  RewriteSection(fresh, "vleLink", entries);
  EXPECT_EQ(ReadFileBytes("C:\\NEW.INI"),
            "[vleLink]\r\nOPT_000=@ -a @\r\nOPT_001=@\"b\"@\r\nOPT_002=@@@\r\n");
}

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "settings/MyIni.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::TTempDir;

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

TEST(QuotedIniSections, RewrittenSectionHasTheBytesOfSingleWrites) {
  TTempDir dir;
  const std::string a = dir.File("A.INI"), b = dir.File("B.INI");
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
    WriteFileBytes(a, content);
    WriteFileBytes(b, content);
    TQuotedINI ini(a);
    ini.RewriteSection("vleLink", entries);
    EXPECT_EQ(ReadFileBytes(a), WrittenOneByOne(b, "vleLink", entries)) << content;

    WriteFileBytes(a, content);
    WriteFileBytes(b, content);
    ini.RewriteSection("vleLink", {});
    EXPECT_EQ(ReadFileBytes(a), WrittenOneByOne(b, "vleLink", {})) << content;
  }

  // A missing file is created.
  TQuotedINI fresh(dir.File("NEW.INI"));
  fresh.RewriteSection("vleLink", entries);
  EXPECT_EQ(ReadFileBytes(dir.File("NEW.INI")),
            "[vleLink]\r\nOPT_000=@ -a @\r\nOPT_001=@\"b\"@\r\nOPT_002=@@@\r\n");
}

TEST(QuotedIniSections, UpdatedSectionHasTheBytesOfSingleWritesAndDeletions) {
  TTempDir dir;
  const std::string a = dir.File("A.INI"), b = dir.File("B.INI");
  const std::vector<TSectionEdit> edits = {
      {"0C3", "void A(void);a.h;20240101000000"},  // replaced in place
      {"0c4", std::nullopt},                       // deleted, other case
      {"0C9", std::nullopt},                       // not there: nothing
      {" 0C5 ", " new ;x"},                        // blanks around the key
      {"0D0", "added"},                            // appended
      {"0C4", "back"},                             // deleted, then written anew
      {"0D0", std::nullopt},                       // appended, then deleted
      {"[X", "v"},                                 // reads as a section header
      {"0E0", "after"},                            // so this goes in front of it
      {"library", "L2"},                           // a key above the last one found
  };
  const std::vector<std::string> files = {
      "",
      "[vleSyscalls]\r\nLIBRARY=@S@\r\n0C3=@old@\r\n0C4=@x@\r\n",
      "; comment\r\n[vleTools]\r\nLIBRARY=@T@\r\n\r\n[ VLESYSCALLS ]\r\n 0C3 = @old@\r\n"
      "; note\r\n0C4=@x@\r\n0C5=@y@\r\n\r\n\r\n[vleLink]\r\nOPT_000=@a@",
      "[vleSyscalls]\n0C4=@x@\n0C4=@second@\n[vleSyscalls]\n0C3=@other@\n",
      "[vleLink]\r\nOPT_000=@a@",
      "[vleSyscalls]",
  };
  for (const std::string& content : files) {
    WriteFileBytes(a, content);
    WriteFileBytes(b, content);
    TQuotedINI batch(a);
    batch.UpdateSection("vleSyscalls", edits);
    TQuotedINI single(b);
    for (const TSectionEdit& edit : edits) {
      if (edit.value) {
        single.WriteString("vleSyscalls", edit.key, *edit.value);
      } else {
        single.DeleteKey("vleSyscalls", edit.key);
      }
    }
    EXPECT_EQ(ReadFileBytes(a), ReadFileBytes(b)) << content;
  }

  // Deleting from a missing file creates none.
  TQuotedINI missing(dir.File("NONE.INI"));
  missing.UpdateSection("vleSyscalls", {{"0C3", std::nullopt}});
  EXPECT_FALSE(FileExists(dir.File("NONE.INI")));
}

#include "settings/MyIni.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace tessel::test {
namespace {

TEST(QuotedIniTest, WritesLayOutTheFileAsTheProfileFunctionsDo) {
  TTempDir dir;
  TQuotedINI ini(dir.File("new.ini"));
  ini.WriteString("Main", "Key", "v");
  EXPECT_EQ(dir.Read("new.ini"), "[Main]\r\nKey=@v@\r\n");

  ini.WriteString("Main", "Second", " padded ");
  ini.WriteString("Other", "X", "");
  ini.WriteInteger("other", "N", -42);
  ini.WriteBool("Other", "On", true);
  ini.WriteBool("Other", "Off", false);
  ini.WriteString("main", "KEY", "new");
  EXPECT_EQ(dir.Read("new.ini"),
            "[Main]\r\nKey=@new@\r\nSecond=@ padded @\r\n"
            "[Other]\r\nX=@@\r\nN=@-42@\r\nOn=@1@\r\nOff=@0@\r\n");
  EXPECT_EQ(ini.ReadString("MAIN", "second", "?"), " padded ");
  EXPECT_EQ(ini.ReadString("Other", "X", "?"), "");
  EXPECT_EQ(ini.ReadInteger("Other", "N", 0), -42);
  EXPECT_TRUE(ini.ReadBool("Other", "On", false));
  EXPECT_FALSE(ini.ReadBool("Other", "Off", true));
}

TEST(QuotedIniTest, HandWrittenFilesAreReadAndKeptByteForByte) {
  TTempDir dir;
  dir.Write("hand.ini",
            "Stray=before any section\n"
            "; top comment\n"
            "[ General ]\n"
            "  Name = @ spaced @  \n"
            ";Hidden=1\n"
            "Plain=written by hand\n"
            "Quoted=\"in quotes\"\n"
            "Single='single'\n"
            "NoEquals\n"
            "\n"
            "[Next]\n"
            "A=1");
  TQuotedINI ini(dir.File("hand.ini"));
  EXPECT_EQ(ini.ReadString("general", "NAME", "?"), " spaced ");
  EXPECT_EQ(ini.ReadString("General", "Hidden", "?"), "?");
  EXPECT_EQ(ini.ReadString("General", ";Hidden", "?"), "?");
  EXPECT_EQ(ini.ReadString("General", "Plain", "?"), "written by hand");
  EXPECT_EQ(ini.ReadString("General", "Quoted", "?"), "in quotes");
  EXPECT_EQ(ini.ReadString("General", "Single", "?"), "single");
  EXPECT_EQ(ini.ReadString("General", "NoEquals", "?"), "?");
  EXPECT_EQ(ini.ReadString("General", "Stray", "?"), "?");
  EXPECT_EQ(ini.ReadString("Next", "A", "?"), "1");
  EXPECT_EQ(ini.ReadSection("General"),
            (std::vector<std::string>{"Name", "Plain", "Quoted", "Single"}));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"General", "Next"}));
  EXPECT_TRUE(ini.SectionExists("NEXT"));
  EXPECT_FALSE(ini.SectionExists("Missing"));
  EXPECT_TRUE(ini.ValueExists("general", "plain"));
  EXPECT_FALSE(ini.ValueExists("general", "Hidden"));

  ini.WriteString("General", "New", "n");
  ini.WriteString("Next", "B", "2");
  ini.WriteString("General", "plain", "changed");
  EXPECT_EQ(dir.Read("hand.ini"),
            "Stray=before any section\n"
            "; top comment\n"
            "[ General ]\n"
            "  Name = @ spaced @  \n"
            ";Hidden=1\n"
            "Plain=@changed@\n"
            "Quoted=\"in quotes\"\n"
            "Single='single'\n"
            "NoEquals\n"
            "New=@n@\r\n"
            "\n"
            "[Next]\n"
            "A=1\r\n"
            "B=@2@\r\n");
}

TEST(QuotedIniTest, UnwrappingLooksAtTheEndsOnly) {
  EXPECT_EQ(TQuotedINI::Unwrap("@abc@"), "abc");
  EXPECT_EQ(TQuotedINI::Unwrap("@"), "");
  EXPECT_EQ(TQuotedINI::Unwrap("@@"), "");
  EXPECT_EQ(TQuotedINI::Unwrap("@abc"), "@abc");
  EXPECT_EQ(TQuotedINI::Unwrap("abc@"), "abc@");
  EXPECT_EQ(TQuotedINI::Unwrap("@@x@@"), "@x@");
  EXPECT_EQ(TQuotedINI::Unwrap(""), "");

  TTempDir dir;
  TQuotedINI ini(dir.File("u.ini"));
  EXPECT_EQ(ini.ReadString("S", "missing", "@dflt@"), "dflt");
  ini.WriteString("S", "Quotes", "\"q\"");
  ini.WriteString("S", "Ats", "@x@");
  ini.WriteString("S", "Blank", " ");
  EXPECT_EQ(ini.ReadString("S", "Quotes", ""), "\"q\"");
  EXPECT_EQ(ini.ReadString("S", "Ats", ""), "@x@");
  EXPECT_EQ(ini.ReadString("S", "Blank", "?"), " ");
  EXPECT_EQ(dir.Read("u.ini"), "[S]\r\nQuotes=@\"q\"@\r\nAts=@@x@@\r\nBlank=@ @\r\n");

  // No length limit: a long value keeps its closing "@" and reads back whole.
  const std::string longValue = std::string(3000, 'x') + " " + std::string(2000, 'y');
  ini.WriteString("S", "Long", longValue);
  EXPECT_EQ(ini.ReadString("S", "Long", ""), longValue);
}

TEST(QuotedIniTest, TypedReads) {
  TTempDir dir;
  dir.Write("t.ini",
            "[T]\r\nH=@0x1F@\r\nh2=0X10\r\nBad=@12a@\r\nNeg=@-5@\r\nEmpty=@@\r\n"
            "Zero=@0@\r\nTwo=@2@\r\nPrefixOnly=@0x@\r\nSpaced=@ 8@\r\n");
  TQuotedINI ini(dir.File("t.ini"));
  EXPECT_EQ(ini.ReadInteger("T", "H", 7), 31);
  EXPECT_EQ(ini.ReadInteger("T", "H2", 7), 16);
  EXPECT_EQ(ini.ReadInteger("T", "Bad", 7), 7);
  EXPECT_EQ(ini.ReadInteger("T", "Neg", 7), -5);
  EXPECT_EQ(ini.ReadInteger("T", "Empty", 7), 7);
  EXPECT_EQ(ini.ReadInteger("T", "Missing", 7), 7);
  EXPECT_EQ(ini.ReadInteger("T", "PrefixOnly", 7), 7);
  EXPECT_EQ(ini.ReadInteger("T", "Spaced", 7), 8);
  EXPECT_FALSE(ini.ReadBool("T", "Zero", true));
  EXPECT_TRUE(ini.ReadBool("T", "Two", false));
  EXPECT_TRUE(ini.ReadBool("T", "Missing", true));
  EXPECT_FALSE(ini.ReadBool("T", "Bad", false));
}

TEST(QuotedIniTest, ReadSectionValuesInFileOrder) {
  TTempDir dir;
  dir.Write("s.ini", "[S]\nB=@2@\nA=1\nb=@3@\n[T]\nC=@4@\n");
  TQuotedINI ini(dir.File("s.ini"));
  TParamlist target;
  target.Add("OLD=gone");
  ini.ReadSectionValues("s", target);
  // A repeated key reads as the first one does.
  EXPECT_EQ(target.Text(), "B=2\r\nA=1\r\nb=2\r\n");
  ini.ReadSectionValues("missing", target);
  EXPECT_EQ(target.Count(), 0u);
}

TEST(QuotedIniTest, EraseSectionAndDeleteKey) {
  TTempDir dir;
  dir.Write("e.ini", "[A]\r\nX=1\r\n; note\r\n\r\n[B]\r\nY=2\r\n[C]\r\nZ=3\r\n");
  TQuotedINI ini(dir.File("e.ini"));
  ini.EraseSection("b");
  EXPECT_EQ(dir.Read("e.ini"), "[A]\r\nX=1\r\n; note\r\n\r\n[C]\r\nZ=3\r\n");
  ini.DeleteKey("a", "x");
  EXPECT_EQ(dir.Read("e.ini"), "[A]\r\n; note\r\n\r\n[C]\r\nZ=3\r\n");
  ini.EraseSection("Missing");
  ini.DeleteKey("C", "Missing");
  EXPECT_EQ(dir.Read("e.ini"), "[A]\r\n; note\r\n\r\n[C]\r\nZ=3\r\n");
  EXPECT_EQ(ini.ReadSection("A"), std::vector<std::string>{});

  TQuotedINI none(dir.File("none.ini"));
  none.EraseSection("A");
  none.DeleteKey("A", "B");
  EXPECT_FALSE(PathExists(dir.File("none.ini")));
  EXPECT_TRUE(none.ReadSections().empty());
  EXPECT_EQ(none.ReadString("A", "B", "@d@"), "d");
}

TEST(QuotedIniTest, FailedWriteNamesTheFile) {
  TTempDir dir;
  TQuotedINI ini(dir.File("no/such/dir/x.ini"));
  try {
    ini.WriteString("S", "K", "v");
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find(dir.File("no/such/dir/x.ini")), std::string::npos)
        << e.what();
  }

  const std::string locked = dir.Write("ro.ini", "[S]\r\nK=@v@\r\n");
  ASSERT_TRUE(SetReadOnly(locked, true));
  TQuotedINI readOnly(locked);
  EXPECT_THROW(readOnly.WriteString("S", "K", "w"), EFileError);
  EXPECT_EQ(readOnly.ReadString("S", "K", ""), "v");
}

}  // namespace
}  // namespace tessel::test

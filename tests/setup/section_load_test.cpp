#include "setup/section_load.h"

#include "setup/general_setting.h"
#include "tests/setup/setup_fixture.h"

using namespace tessel;
using tessel::test::TSetupTest;

namespace {

const char* const Ini = "C:\\SDK\\BaseOptions\\BaseOptions.ini";

std::vector<std::string> Lines(const TEditorRows& rows) {
  std::vector<std::string> lines;
  for (const TRow& row : rows.Rows()) lines.push_back(row.key + "=" + row.value);
  return lines;
}

}  // namespace

TEST(SectionKeys, HexadecimalKeysAndListKeys) {
  EXPECT_TRUE(IsHexKey("1E6"));
  EXPECT_TRUE(IsHexKey("0C3"));
  EXPECT_TRUE(IsHexKey("abc"));
  EXPECT_TRUE(IsHexKey("7FFFFFFF"));
  EXPECT_FALSE(IsHexKey("80000000"));  // negative as a 32-bit number
  EXPECT_FALSE(IsHexKey("100000000"));
  EXPECT_FALSE(IsHexKey("LIBRARY"));
  EXPECT_FALSE(IsHexKey(""));
  EXPECT_FALSE(IsHexKey(" 1E6"));
  EXPECT_FALSE(IsHexKey("0x1E"));

  EXPECT_EQ(ListKey("OPT", 0), "OPT_000");
  EXPECT_EQ(ListKey("SRC", 10), "SRC_00A");
  EXPECT_EQ(ListKey("OPT", 4095), "OPT_FFF");
  EXPECT_EQ(ListKey("OPT", 4096), "OPT_1000");
}

TEST_F(TSetupTest, GeneralRowsAreTheThirteenParametersInTableOrder) {
  WriteIni(Ini, {"[vleGeneral]", "LIBDIR=@ \"C:\\My SDK\\LIB\" @", "SDKDIR=@C:\\SDK@",
                 "HEADERDIR=@ \t @", "UNKNOWN=@x@"});
  TQuotedINI ini(Ini);
  TEditorRows rows;
  rows.Add("stale", "row");
  LoadGeneral(ini, rows);
  ASSERT_EQ(rows.Count(), 13u);
  for (int i = 0; i < GeneralSettingCount; ++i) {
    EXPECT_EQ(rows.Row(i).key, GeneralSettings[i].Key);
  }
  EXPECT_EQ(rows.ValueOf("SDKDIR"), "C:\\SDK");
  EXPECT_EQ(rows.ValueOf("LIBDIR"), " \"C:\\My SDK\\LIB\" ");  // quotes and blanks survive
  EXPECT_EQ(rows.ValueOf("HEADERDIR"), " ");
  EXPECT_EQ(rows.ValueOf("WORKDIR"), " ");
  EXPECT_EQ(rows.IndexOfKey("UNKNOWN"), -1);

  // No file at all: 13 single blanks.
  LoadGeneral(TQuotedINI("C:\\NONE\\X.INI"), rows);
  ASSERT_EQ(rows.Count(), 13u);
  for (const TRow& row : rows.Rows()) EXPECT_EQ(row.value, " ") << row.key;
}

TEST_F(TSetupTest, KeyedListPutsNamesBeforeNumbersAndDropsBlankEntries) {
  WriteIni(Ini, {"[vleSyscalls]", "1E6=@int Bdisp_PutDisp_DD(void);fxcg_display.h;20200101000000@",
                 "SCREEN=@display.h;header@", "0C3=@void Reset(void);;20200101000000@",
                 "LIBRARY=@SYSCALLS;;20200101000000@", "0A0=@ @", "80000000=@big@", "abc=@lower@",
                 "KEYB=@@"});
  TEditorRows rows;
  LoadKeyedList(TQuotedINI(Ini), "vleSyscalls", rows);
  EXPECT_EQ(Lines(rows), (std::vector<std::string>{
                             "80000000=big",
                             "LIBRARY=SYSCALLS;;20200101000000",
                             "SCREEN=display.h;header",
                             "0C3=void Reset(void);;20200101000000",
                             "1E6=int Bdisp_PutDisp_DD(void);fxcg_display.h;20200101000000",
                             "abc=lower",
                         }));
}

TEST_F(TSetupTest, BindOptionsShowEmptyValuesAndDefaultTheVersion) {
  const std::string project = "C:\\SDK\\Projects\\DEMO.INI";
  WriteIni(project, {"[vleProjectBindOptions]", "Selected bitmap=@C:\\B\\SEL.BMP@",
                     "Unselected bitmap=@@", "Extra=@ @"});
  TEditorRows rows;
  LoadBindOptions(TQuotedINI(project), "vleProjectBindOptions", rows);
  EXPECT_EQ(Lines(rows),
            (std::vector<std::string>{"Selected bitmap=C:\\B\\SEL.BMP", "Unselected bitmap=*empty*",
                                      "Extra=*empty*", "Version=01.00.0000"}));

  // A blank version takes the default in its own row, not in a second one.
  WriteIni(project, {"[vleProjectBindOptions]", "Version=@ @", "Makescript=@C:\\M.TXT@"});
  LoadBindOptions(TQuotedINI(project), "vleProjectBindOptions", rows);
  EXPECT_EQ(Lines(rows), (std::vector<std::string>{"Version=01.00.0000", "Makescript=C:\\M.TXT"}));

  WriteIni(project, {"[vleProjectBindOptions]", "Version=@01.02.0003 beta@"});
  LoadBindOptions(TQuotedINI(project), "vleProjectBindOptions", rows);
  EXPECT_EQ(Lines(rows), (std::vector<std::string>{"Version=01.02.0003 beta"}));
}

TEST_F(TSetupTest, ListSectionKeysFollowTheSortedPositionWithGaps) {
  WriteIni(Ini, {"[vleLink]", "OPT_002=@c@", "OPT_001=@@", "opt_000=@a@", "OPT_003=@ \"q\" @"});
  TEditorRows rows;
  LoadListSection(TQuotedINI(Ini), "vleLink", "OPT", rows);
  EXPECT_EQ(Lines(rows), (std::vector<std::string>{"OPT_000=a", "OPT_002=c", "OPT_003= \"q\" "}));

  // A five-digit key sorts by its text, between OPT_0FF and OPT_100.
  WriteIni(Ini, {"[vleLink]", "OPT_100=@x100@", "OPT_1000=@x1000@", "OPT_0FF=@x0FF@"});
  LoadListSection(TQuotedINI(Ini), "vleLink", "SRC", rows);
  EXPECT_EQ(Lines(rows),
            (std::vector<std::string>{"SRC_000=x0FF", "SRC_001=x1000", "SRC_002=x100"}));
}

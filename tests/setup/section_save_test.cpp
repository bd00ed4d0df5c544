#include "setup/section_save.h"

#include "setup/general_setting.h"
#include "setup/section_load.h"
#include "tests/setup/setup_fixture.h"

using namespace tessel;
using tessel::test::TSetupTest;

namespace {

const char* const Ini = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
const std::string Stamp = "20240229235958";

std::vector<std::string> Lines(const TEditorRows& rows) {
  std::vector<std::string> lines;
  for (const TRow& row : rows.Rows()) lines.push_back(row.key + "=" + row.value);
  return lines;
}

}  // namespace

TEST_F(TSetupTest, GeneralSectionIsRewrittenWithTheThirteenKeysAndSubstitutedPaths) {
  WriteIni(Ini, {"[vleGeneral]", "OLDKEY=@gone@", "SDKDIR=@C:\\OLD@", "[vleLink]", "OPT_000=@x@"});
  TEditorRows general;
  for (const TGeneralSetting& setting : GeneralSettings) general.Add(setting.Key, "C:\\SDK");
  general.SetValue("LIBDIR", "C:\\SDK\\LIB");
  general.SetValue("BINDIR", "c:\\sdk\\BIN");
  general.SetValue("WORKDIR", "\"C:\\SDK\\W\"");
  general.SetValue("ASM_CMD", "C:\\SDK\\BIN\\ASMSH.EXE -SUB=TEMP.TXT");
  general.SetValue("MAXBACKUP", "3");

  TQuotedINI ini(Ini);
  SaveGeneral(ini, general);

  EXPECT_EQ(SectionLines(Ini, "vleGeneral"),
            (std::vector<std::string>{
                "SDKDIR=@C:\\SDK@", "TEMPLATEDIR=@C:\\SDK@", "HEADERDIR=@C:\\SDK@",
                "DEBUGDIR=@C:\\SDK@", "OBJECTDIR=@C:\\SDK@", "BINDIR=@c:\\sdk\\BIN@",
                "LIBDIR=@$(SDKDIR)\\LIB@", "PROJECTDIR=@C:\\SDK@", "WORKDIR=@\"C:\\SDK\\W\"@",
                "ASM_CMD=@$(SDKDIR)\\BIN\\ASMSH.EXE -SUB=TEMP.TXT@", "LNK_CMD=@C:\\SDK@",
                "COMPILE_CMD=@C:\\SDK@", "MAXBACKUP=@3@"}));
  EXPECT_EQ(SectionLines(Ini, "vleLink"), (std::vector<std::string>{"OPT_000=@x@"}));
  // The rows show what was stored.
  EXPECT_EQ(general.ValueOf("LIBDIR"), "$(SDKDIR)\\LIB");
  EXPECT_EQ(general.ValueOf("ASM_CMD"), "$(SDKDIR)\\BIN\\ASMSH.EXE -SUB=TEMP.TXT");
}

TEST_F(TSetupTest, KeyedListStampsOnlyChangedEntries) {
  WriteIni(Ini, {"[vleSyscalls]", "LIBRARY=@SYSCALLS;;20200101000000@", "SCREEN=@display.h;header@",
                 "0C3=@void A(void);a.h;20200101000000@", "0C4=@void B(void);b.h@",
                 "0C5=@void C(void);c.h;20200101000000@", "0C6=@void D(void);d.h;20200101000000@",
                 "0C7=@gone;x.h;20200101000000@", "0C8=@@"});
  TQuotedINI ini(Ini);
  TEditorRows rows;
  LoadKeyedList(ini, "vleSyscalls", rows);
  rows.SetValue("0C5", "void C2(void);c.h;20200101000000;extra");  // edited
  rows.SetValue("0C6", ";abc.h");                                  // blank first field
  rows.SetValue("0C7", "");                                        // emptied
  rows.SetValue("0C8", "void E(void)");                            // stored blank: new
  rows.SetValue("0D0", "void F(void);f.h");                        // new key
  rows.SetValue("0D1", " ");                                       // new but blank

  SaveKeyedList(ini, "vleSyscalls", rows, 3, Stamp);

  EXPECT_EQ(SectionLines(Ini, "vleSyscalls"), (std::vector<std::string>{
                                                  "LIBRARY=@SYSCALLS;;20200101000000@",
                                                  "SCREEN=@display.h;header@",
                                                  "0C3=@void A(void);a.h;20200101000000@",
                                                  "0C4=@void B(void);b.h;" + Stamp + "@",
                                                  "0C5=@void C2(void);c.h;" + Stamp + "@",
                                                  "0C6=@abc.h;" + Stamp + "@",
                                                  "0C8=@void E(void);;" + Stamp + "@",
                                                  "0D0=@void F(void);f.h;" + Stamp + "@",
                                              }));
  EXPECT_EQ(rows.ValueOf("0C4"), "void B(void);b.h;" + Stamp);
  EXPECT_EQ(rows.ValueOf("0C6"), "abc.h;" + Stamp);
  EXPECT_EQ(rows.ValueOf("0C3"), "void A(void);a.h;20200101000000");
  EXPECT_EQ(rows.ValueOf("0D0"), "void F(void);f.h;" + Stamp);

  // Saving again stamps only what still lacks a time in field 3: the entry
  // whose header moved into field 1 and its stamp into field 2.
  const std::string later = "20250101000000";
  SaveKeyedList(ini, "vleSyscalls", rows, 3, later);
  for (const std::string& line : SectionLines(Ini, "vleSyscalls")) {
    if (line.rfind("0C6=", 0) == 0) {
      EXPECT_EQ(line, "0C6=@abc.h;" + Stamp + ";" + later + "@");
    } else {
      EXPECT_EQ(line.find(later), std::string::npos) << line;
    }
  }
}

TEST_F(TSetupTest, ListSectionIsStoredDenselyWithoutTheShownKeys) {
  WriteIni(Ini, {"[vleProjectSource]", "SRC_000=@a@", "SRC_001=@@", "SRC_002=@c@", "SRC_003=@z@"});
  TQuotedINI ini(Ini);
  TEditorRows rows;
  LoadListSection(ini, "vleProjectSource", "SRC", rows);
  rows.SetValue("SRC_003", "");  // z sorted to position 3
  rows.Add("NEW_123456", "$(SDKDIR)\\N.CPP");
  SaveListSection(ini, "vleProjectSource", "SRC", rows);
  EXPECT_EQ(SectionLines(Ini, "vleProjectSource"),
            (std::vector<std::string>{"SRC_000=@a@", "SRC_001=@c@", "SRC_002=@$(SDKDIR)\\N.CPP@"}));
  // Blank rows leave the editor; the others keep their keys until reloaded.
  EXPECT_EQ(Lines(rows),
            (std::vector<std::string>{"SRC_000=a", "SRC_002=c", "NEW_123456=$(SDKDIR)\\N.CPP"}));
}

TEST_F(TSetupTest, ListSectionOfMoreThan4096EntriesGetsFiveDigitKeys) {
  MakeDirectory("C:\\SDK\\BaseOptions");
  TQuotedINI ini(Ini);
  TEditorRows rows;
  for (int i = 0; i < 4097; ++i) rows.Add("NEW_" + std::to_string(i), "v" + std::to_string(i));
  SaveListSection(ini, "vleLink", "OPT", rows);
  std::vector<std::string> lines = SectionLines(Ini, "vleLink");
  ASSERT_EQ(lines.size(), 4097u);
  EXPECT_EQ(lines[0], "OPT_000=@v0@");
  EXPECT_EQ(lines[4095], "OPT_FFF=@v4095@");
  EXPECT_EQ(lines[4096], "OPT_1000=@v4096@");

  // At the next load OPT_1000 sorts between OPT_0FF and OPT_100.
  TEditorRows loaded;
  LoadListSection(ini, "vleLink", "OPT", loaded);
  ASSERT_EQ(loaded.Count(), 4097u);
  EXPECT_EQ(loaded.Row(255).value, "v255");
  EXPECT_EQ(loaded.Row(256).value, "v4096");
  EXPECT_EQ(loaded.Row(257).value, "v256");
}

TEST_F(TSetupTest, BindOptionsAreRewrittenWithPathsSubstitutedButNotTheVersion) {
  const std::string project = "C:\\SDK\\Projects\\DEMO.INI";
  WriteIni(project, {"[vleProjectBindOptions]", "Old=@x@", "[vleProjectSource]", "SRC_000=@a@"});
  TEditorRows general;
  for (const TGeneralSetting& setting : GeneralSettings) general.Add(setting.Key, "C:\\X");
  general.SetValue("SDKDIR", "C:\\SDK");
  general.SetValue("MAXBACKUP", "1");
  TEditorRows bind;
  bind.Add("Selected bitmap", "C:\\SDK\\Projects\\DEMO\\SEL.BMP");
  bind.Add("Unselected bitmap", "*empty*");
  bind.Add("Makescript", "C:\\SDK\\BIND.TXT");
  bind.Add("Version", "1.02.0000");

  TQuotedINI ini(project);
  SaveBindOptions(ini, "vleProjectBindOptions", bind, general);

  EXPECT_EQ(SectionLines(project, "vleProjectBindOptions"),
            (std::vector<std::string>{"Selected bitmap=@$(SDKDIR)\\Projects\\DEMO\\SEL.BMP@",
                                      "Unselected bitmap=@@", "Makescript=@$(SDKDIR)\\BIND.TXT@",
                                      "Version=@1.02.0000@"}));
  EXPECT_EQ(SectionLines(project, "vleProjectSource"), (std::vector<std::string>{"SRC_000=@a@"}));
  EXPECT_EQ(Lines(bind),
            (std::vector<std::string>{"Selected bitmap=$(SDKDIR)\\Projects\\DEMO\\SEL.BMP",
                                      "Unselected bitmap=*empty*", "Makescript=$(SDKDIR)\\BIND.TXT",
                                      "Version=1.02.0000"}));
}

// What the setup window shows is exactly what is stored, and a save is
// stored whole or not at all.

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "setup/setup_model.h"
#include "tests/setup/setup_fixture.h"
#include "tests/support/kill_during.h"

using namespace tessel;
using tessel::test::TSetupTest;

namespace {

const char* const Base = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
const char* const Project = "C:\\SDK\\Projects\\DEMO.INI";

std::string Shown(const TEditorRows& rows) { return rows.Text(); }

}  // namespace

TEST_F(TSetupTest, ASectionStoredTwiceIsShownWholeAndSavedOnce) {
  WriteIni(Base, {"[vleGeneral]", "SDKDIR=@C:\\SDK@", "[vleLink]", "OPT_000=@-a@", "OPT_001=@-b@",
                  "[vleTools]", "LIBRARY=@T@", "[vleLink]", "OPT_005=@-c@"});
  WriteIni(Project, {"[vleProjectSource]", "SRC_000=@A.CPP@"});
  TSetupModel model(Project, Project, Base);
  model.Load();
  EXPECT_EQ(Shown(model.Editor("vleLink")), "OPT_000=-a\r\nOPT_001=-b\r\nOPT_002=-c\r\n");

  // The user empties the "-b" row and saves: the next load shows exactly
  // the two rows that are left, and the file holds the section once.
  model.Editor("vleLink").SetValue("OPT_001", "");
  model.Store();
  TSetupModel again(Project, Project, Base);
  again.Load();
  EXPECT_EQ(Shown(again.Editor("vleLink")), "OPT_000=-a\r\nOPT_001=-c\r\n");
  int headers = 0;
  for (const std::string& line : FileLines(Base)) headers += line == "[vleLink]" ? 1 : 0;
  EXPECT_EQ(headers, 1);
  EXPECT_EQ(again.Editor("vleTools").ValueOf("LIBRARY"), "T");
}

TEST_F(TSetupTest, AKillDuringASaveLeavesEachSettingsFileOldOrNew) {
  std::vector<std::string> base = {"[vleGeneral]", "SDKDIR=@C:\\SDK@", "[vleLink]"};
  for (int i = 0; i < 3000; ++i)
    base.push_back("OPT_" + std::to_string(1000 + i) + "=@-o" + std::to_string(i) + "@");
  WriteIni(Base, base);
  WriteIni(Project, {"[vleProjectSource]", "SRC_000=@A.CPP@"});
  TSetupModel model(Project, Project, Base);
  model.Load();
  // Two saves that differ in every section of both files.
  auto edit = [&model](int round) {
    const std::string mark = round % 2 == 0 ? "even" : "odd";
    TEditorRows& link = model.Editor("vleLink");
    for (size_t i = 0; i < link.Count(); ++i) link.SetRowValue(i, mark + std::to_string(i));
    model.Editor("vleProjectSource").SetValue("SRC_000", mark + ".CPP");
    model.Store();
  };
  edit(0);
  const std::string even[] = {ReadFileBytes(Base), ReadFileBytes(Project)};
  edit(1);
  const std::string odd[] = {ReadFileBytes(Base), ReadFileBytes(Project)};
  ASSERT_NE(even[0], odd[0]);
  for (int delay = 0; delay < 30000; delay += 1500) {
    tessel::test::KillDuring(edit, delay);
    const std::string now[] = {ReadFileBytes(Base), ReadFileBytes(Project)};
    for (int f = 0; f < 2; ++f) {
      ASSERT_TRUE(now[f] == even[f] || now[f] == odd[f])
          << (f == 0 ? "base" : "project") << " after " << delay << " us";
    }
  }
}

TEST_F(TSetupTest, SectionsNewToTheFilesAreStoredGeneralFirstBindOptionsAfterTheLists) {
  WriteIni(Base, {});
  WriteIni("C:\\SDK\\Projects\\P2.INI", {});
  TSetupModel model(Project, "C:\\SDK\\Projects\\P2.INI", Base);
  model.Load();
  for (const TEditorInfo& info : Editors) {
    model.Editor(info.name).SetValue(std::string(info.prefix) + "_000", "x");
  }
  model.Editor("vleGeneral").SetValue("SDKDIR", "C:\\SDK");
  model.Store();
  auto headers = [this](const std::string& path) {
    std::vector<std::string> found;
    for (const std::string& line : FileLines(path)) {
      if (line.starts_with("[")) found.push_back(line);
    }
    return found;
  };
  EXPECT_EQ(headers(Base),
            (std::vector<std::string>{
                "[vleGeneral]", "[vleSyscalls]", "[vleTools]", "[vleCompilerOptions]",
                "[vleAssemblerOptions]", "[vleMessagesToIgnore]", "[vleLink]", "[vleLinkLibMod]",
                "[vleRequiredFiles]", "[vleRequiredDirectories]", "[vlefx9860LibGrooming]",
                "[vleLinkLibCommon]", "[vleLinkG3Adep]", "[vleLinkG3Aopt]", "[vleLinkRAMBINdep]",
                "[vleLinkRAMBINopt]"}));
  EXPECT_EQ(headers("C:\\SDK\\Projects\\P2.INI"),
            (std::vector<std::string>{"[vleRequiredProjectFiles]",
                                      "[vleRequiredProjectDirectories]", "[vleProjectBindOptions]",
                                      "[vleProjectSource]", "[vleProjectDependencies]"}));
}

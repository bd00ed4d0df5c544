#include "app/prebuild_checks.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "settings/MyIni.h"
#include "tests/app/app_fixture.h"
#include "tests/support/standin_tool.h"
#include "tests/support/test_dates.h"

namespace tessel::test {
namespace {

class PreBuildChecks : public TAppTest {
 protected:
  bool Check(bool makeAll = false) { return RunPreBuildChecks(kProjectIni, kBaseIni, makeAll, ui); }
  std::vector<TStandinRun> LinkerRuns() { return ReadStandinLog(HostPath("C:\\SDK\\LIB")); }
  static constexpr const char* kTarget = "C:\\SDK\\LIB\\fxCG_library.lib";
};

TEST_F(PreBuildChecks, EachFailureInOrder) {
  // Everything missing: the project file is reported first.
  EXPECT_FALSE(RunPreBuildChecks("C:\\SDK\\Projects\\NONE.INI", "C:\\NONE.ini", false, ui));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                            "warning: CurrentProjectFile:\r\nC:\\SDK\\Projects\\NONE.INI\r\n "
                            "does not exist!"}));
  ui.boxes.clear();
  EXPECT_FALSE(RunPreBuildChecks(kProjectIni, "C:\\NONE.ini", false, ui));
  EXPECT_EQ(
      BoxTexts(),
      (std::vector<std::string>{"warning: BaseIniFile:\r\nC:\\NONE.ini\r\n does not exist!"}));

  // A missing project directory, not created.
  ui.boxes.clear();
  RemoveDirectoryAt("C:\\SDK\\LIB");
  EXPECT_FALSE(Check());
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                            "yesno: Missung directory:\r\nC:\\SDK\\LIB\r\nCreate directories?",
                            "warning: Missing diectories!"}));
  // Created on Yes; then the base's required file is missing, before the
  // project's.
  ui.boxes.clear();
  ui.yesNoAnswers = {true};
  DeleteFileAt("C:\\SDK\\Projects\\P\\P.CPP");
  DeleteFileAt("C:\\SDK\\BIN\\fx9860G_library.lib");
  EXPECT_FALSE(Check());
  EXPECT_TRUE(DirectoryExists("C:\\SDK\\LIB"));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                            "yesno: Missung directory:\r\nC:\\SDK\\LIB\r\nCreate directories?",
                            "warning: C:\\SDK\\BIN\\fx9860G_library.lib does not exist!"}));
  ui.boxes.clear();
  WriteLines("C:\\SDK\\BIN\\fx9860G_library.lib", {"library"});
  EXPECT_FALSE(Check());
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{"warning: C:\\SDK\\Projects\\P\\P.CPP does not exist!"}));

  // The calculator maker's library, when the library must be made: not a
  // required file any more, so the library check itself reports it.
  ui.boxes.clear();
  WriteLines("C:\\SDK\\Projects\\P\\P.CPP", {"x"});
  TQuotedINI(kBaseIni).EraseSection("vleRequiredFiles");
  DeleteFileAt("C:\\SDK\\BIN\\fx9860G_library.lib");
  EXPECT_FALSE(Check());
  EXPECT_EQ(
      BoxTexts(),
      (std::vector<std::string>{"warning: C:\\SDK\\BIN\\fx9860G_library.lib does not exist!"}));

  // A grooming section without entries refuses the build before anything is copied.
  ui.boxes.clear();
  WriteLines("C:\\SDK\\BIN\\fx9860G_library.lib", {"library"});
  TQuotedINI(kBaseIni).EraseSection(kGroomingSection);
  EXPECT_FALSE(Check());
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].kind, "error");
  EXPECT_NE(ui.boxes[0].text.find("vlefx9860LibGrooming"), std::string::npos);
  EXPECT_FALSE(FileExists(kTarget));
  EXPECT_TRUE(ui.log.empty());
}

TEST_F(PreBuildChecks, GroomsInBatchesOfMoreThanAHundredCharacters) {
  // Items of 30 characters: three make 92 characters, four 123.
  auto item = [](char c) { return std::string(30, c); };
  const std::string upperB = item('B');
  const std::string lowerB = item('b');  // the same item in another case
  WriteGrooming({"-form=library -delete=", item('A'), upperB, "  ", lowerB, item('C'), item('D'),
                 item('E'), item('F')});
  EXPECT_TRUE(Check());
  const std::string first = item('A') + "," + upperB + "," + item('C') + "," + item('D');
  const std::string second = item('E') + "," + item('F');
  EXPECT_EQ(ui.log, (std::vector<std::string>{"Copy: fx9860G_library.lib.",
                                              "Grooming: fx9860G_library.lib.", first + " 0",
                                              second + " 0"}));
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(ReadFileBytes(kTarget), "library\r\n");

  const std::vector<TStandinRun> runs = LinkerRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].args, (std::vector<std::string>{"-form=library", "-delete=" + first}));
  EXPECT_EQ(runs[1].args, (std::vector<std::string>{"-form=library", "-delete=" + second}));

  // Library present, "Make all" unchecked: nothing is written or run.
  ui.log.clear();
  EXPECT_TRUE(Check());
  EXPECT_TRUE(ui.log.empty());
  EXPECT_EQ(LinkerRuns().size(), 2u);

  // "Make all": copied and groomed again.
  WriteFileBytes(kTarget, "groomed");
  EXPECT_TRUE(Check(true));
  EXPECT_EQ(ui.log.size(), 4u);
  EXPECT_EQ(ReadFileBytes(kTarget), "library\r\n");
  EXPECT_EQ(LinkerRuns().size(), 4u);
}

TEST_F(PreBuildChecks, LogsTheLinkersExitCodeAndRunsNoLinkerWithoutItems) {
  // The first entry alone: the library is copied, the linker not run.
  EXPECT_TRUE(Check());
  EXPECT_EQ(ui.log, (std::vector<std::string>{"Copy: fx9860G_library.lib.",
                                              "Grooming: fx9860G_library.lib."}));
  EXPECT_TRUE(LinkerRuns().empty());

  WriteLines("C:\\SDK\\LIB\\GROOM.TXT", {"-exit=3"});
  WriteGrooming({"-SUB=GROOM.TXT -delete=", "ITEM"});
  ui.log.clear();
  EXPECT_TRUE(Check(true));  // the build goes on whatever the linker reported
  EXPECT_EQ(ui.log.back(), "ITEM 3");
  EXPECT_GE(ui.processMessagesCalls, 1);
}

TEST_F(PreBuildChecks, ALinkerThatCannotStartIsLoggedAndNotTakenForSuccess) {
  // A read-only output file of an earlier run cannot go and cannot take
  // the linker's output: the linker does not start.
  const std::string output = "C:\\SDK\\LIB\\MyOutPut.TXT";
  WriteFileBytes(output, "earlier output");
  ASSERT_TRUE(SetReadOnly(output, true));
  WriteGrooming({"-delete=", "ITEM"});
  EXPECT_TRUE(Check(true));
  EXPECT_EQ(ui.log, (std::vector<std::string>{
                        "Copy: fx9860G_library.lib.", "Grooming: fx9860G_library.lib.",
                        "\"C:\\SDK\\BIN\\OPTLNK.EXE\" could not be started in \"C:\\SDK\\LIB\" (" +
                            PlatformErrorText(EACCES) + ")",
                        "ITEM 1"}));
  EXPECT_TRUE(tools.runner.commands.size() == 1 && LinkerRuns().empty());
  EXPECT_EQ(ReadFileBytes(output), "earlier output");
}

TEST_F(PreBuildChecks, AFailedLibraryCopyIsLoggedAndKeepsThePreviousLibrary) {
  // A read-only library refuses the copy under "Make all": the line names
  // it, the library keeps its bytes, and the grooming goes on.
  WriteFileBytes(kTarget, "groomed");
  ASSERT_TRUE(SetReadOnly(kTarget, true));
  EXPECT_TRUE(Check(true));
  ASSERT_EQ(ui.log.size(), 3u);
  EXPECT_EQ(ui.log[0], "Copy: fx9860G_library.lib.");
  EXPECT_EQ(ui.log[1].rfind("Copy failed: ", 0), 0u) << ui.log[1];
  EXPECT_NE(ui.log[1].find(kTarget), std::string::npos) << ui.log[1];
  EXPECT_EQ(ui.log[2], "Grooming: fx9860G_library.lib.");
  EXPECT_EQ(ReadFileBytes(kTarget), "groomed");

  // A directory in the library's place.
  ASSERT_TRUE(SetReadOnly(kTarget, false));
  ASSERT_TRUE(DeleteFileAt(kTarget));
  ASSERT_TRUE(CreateDirectoryAt(kTarget));
  ui.log.clear();
  EXPECT_TRUE(Check());
  ASSERT_EQ(ui.log.size(), 3u);
  EXPECT_NE(ui.log[1].find("fxCG_library.lib"), std::string::npos) << ui.log[1];
  EXPECT_TRUE(DirectoryExists(kTarget));

  // Copied, the library keeps the source's date.
  ASSERT_TRUE(RemoveDirectoryAt(kTarget));
  TDateTime when = 0;
  ASSERT_TRUE(
      SetFileLastWriteTime("C:\\SDK\\BIN\\fx9860G_library.lib", TestDate(2020, 5, 6, 7, 8, 9)));
  EXPECT_EQ(CopyLibrary("C:\\SDK\\BIN\\fx9860G_library.lib", kTarget), "");
  ASSERT_TRUE(FileLastWriteTime(kTarget, when));
  EXPECT_EQ(when, TestDate(2020, 5, 6, 7, 8, 9));
  EXPECT_EQ(ReadFileBytes(kTarget), "library\r\n");
}

}  // namespace
}  // namespace tessel::test

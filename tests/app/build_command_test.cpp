#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "settings/MyIni.h"
#include "support/FileTool.h"
#include "tests/app/app_fixture.h"
#include "tests/support/standin_tool.h"

namespace tessel::test {
namespace {

class BuildCommand : public TAppTest {
 protected:
  void SetUp() override {
    TAppTest::SetUp();
    // The library exists, so the checks write nothing.
    WriteLines("C:\\SDK\\LIB\\fxCG_library.lib", {"groomed"});
    // One step that is up to date unless "Make all" is in force.
    WriteScript({"WORKDIR=C:\\SDK\\WORK", "DEPENDENCY=C:\\SDK\\Projects\\P\\P.CPP",
                 "DEPENDANT=C:\\SDK\\Projects\\P\\P.CPP", "EXECUTE=C:\\SDK\\BIN\\optlnk"});
    ForceDirectoryPath("C:\\SDK\\WORK");
    TQuotedINI(kProgramIni).WriteString("PROGRAM", "LastProject", kProjectIni);
    TQuotedINI(kProgramIni).WriteString("PROGRAM", "FileVersion", "1.0.9");
  }
  size_t ToolRuns() { return ReadStandinLog(HostPath("C:\\SDK\\WORK")).size(); }
  static constexpr const char* kNewVersion =
      "information: New program version. A \"Make all\" will be performed.";
};

TEST_F(BuildCommand, SameVersionBuildsWithoutMakeAll) {
  core->Startup();
  EXPECT_EQ(core->Build(), TBuildResult::Ready);
  EXPECT_EQ(ui.log, (std::vector<std::string>{std::string("Execute: ") + kProjectIni, "Ready"}));
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(ToolRuns(), 0u);
  EXPECT_EQ(ui.clears, 1);
  EXPECT_EQ(core->BuildCaption(), "Build project");
  EXPECT_FALSE(core->IsBusy());
}

TEST_F(BuildCommand, NewProgramVersionForcesMakeAllUntilABuildEndsReady) {
  NewCore("1.1.0.5");
  core->Startup();
  std::vector<std::string> captions;
  // The first build is cancelled from its first tool run, as a second click
  // on the Build item would.
  ui.onProcessMessages = [&] {
    captions.push_back(core->BuildCaption());
    if (core->IsBusy()) {
      EXPECT_EQ(core->Build(), TBuildResult::CancelRequested);
    }
  };
  EXPECT_EQ(core->Build(), TBuildResult::Cancelled);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kNewVersion}));
  EXPECT_EQ(ToolRuns(), 1u);
  EXPECT_EQ(ui.log.back(), "Cancelled");
  EXPECT_EQ(ProgramValue("FileVersion"), "1.0.9");
  EXPECT_EQ(captions.front(), "Cancel build");

  ui.onProcessMessages = nullptr;
  ui.boxes.clear();
  EXPECT_EQ(core->Build(), TBuildResult::Ready);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kNewVersion}));
  EXPECT_EQ(ToolRuns(), 2u);
  EXPECT_EQ(ProgramValue("FileVersion"), "1.1.0");

  ui.boxes.clear();
  EXPECT_EQ(core->Build(), TBuildResult::Ready);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(ToolRuns(), 2u);

  // "Make all" checked runs the step without a box.
  core->MakeAll = true;
  EXPECT_EQ(core->Build(), TBuildResult::Ready);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(ToolRuns(), 3u);
}

TEST_F(BuildCommand, MissingScriptFinishesWithErrorsAndKeepsTheVersion) {
  NewCore("2.0.0.0");
  core->Startup();
  DeleteFileAt("C:\\SDK\\Projects\\P.PRJ");
  EXPECT_EQ(core->Build(), TBuildResult::Errors);
  EXPECT_EQ(ui.log.back(), "Finished with errors.");
  EXPECT_EQ(ProgramValue("FileVersion"), "1.0.9");
}

TEST_F(BuildCommand, AToolKilledMidRunFinishesWithErrorsAndItsTargetGoes) {
  core->Startup();
  WriteScript({"WORKDIR=C:\\SDK\\WORK", "DEPENDENCY=C:\\SDK\\Projects\\P\\P.CPP",
               "DEPENDANT=C:\\SDK\\WORK\\P.OBJ", "EXECUTE=C:\\SDK\\BIN\\optlnk", "AFTER=1"});
  tools.runner.Add("C:\\SDK\\BIN\\optlnk", [](const TFakeToolRun& run) {
    WriteFileBytes(run.InWorkDir("P.OBJ"), "half an obj");
    return TFakeToolEnd::Killed(15);
  });
  EXPECT_EQ(core->Build(), TBuildResult::Errors);
  EXPECT_EQ(ui.log.back(), "Finished with errors.");
  EXPECT_FALSE(FileExists("C:\\SDK\\WORK\\P.OBJ"));
  EXPECT_EQ(ProgramValue("FileVersion"), "1.0.9");
}

TEST_F(BuildCommand, RefusedBuildLeavesTheLogAndStaysIdle) {
  core->Startup();
  ui.log = {"earlier"};
  DeleteFileAt("C:\\SDK\\Projects\\P\\P.CPP");
  EXPECT_EQ(core->Build(), TBuildResult::Refused);
  EXPECT_EQ(ui.log, (std::vector<std::string>{"earlier"}));
  EXPECT_EQ(ui.clears, 0);
  EXPECT_FALSE(core->IsBusy());
  EXPECT_EQ(core->BuildCaption(), "Build binaries");
}

TEST_F(BuildCommand, AnExceptionLeavesTheCoreIdleWithoutAClosingLine) {
  TMainCoreConfig config = core->Config();
  config.engineLogPath = drive.File("no-such-directory/ENGINE.LOG");
  core = std::make_unique<TMainCore>(ui, config);
  core->Startup();
  EXPECT_ANY_THROW(core->Build());
  EXPECT_FALSE(core->IsBusy());
  EXPECT_EQ(core->BuildCaption(), "Build project");
  EXPECT_EQ(ui.log, (std::vector<std::string>{std::string("Execute: ") + kProjectIni}));
  // And the next build runs.
  NewCore();
  core->Startup();
  EXPECT_EQ(core->Build(), TBuildResult::Ready);
}

}  // namespace
}  // namespace tessel::test

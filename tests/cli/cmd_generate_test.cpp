#include <gtest/gtest.h>

#include <sstream>

#include "cli/command.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "settings/MyIni.h"
#include "support/FileTool.h"
#include "tests/support/temp_dir.h"

using namespace tessel;

namespace {

const char* const Base = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
const char* const Project = "C:\\SDK\\Projects\\DEMO.INI";

class TGenerateCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = DriveRoot();
    SetDriveRoot(drive_.Path());
    ForceDirectoryPath("C:\\SDK\\BaseOptions");
    ForceDirectoryPath("C:\\SDK\\Projects\\DEMO");
    WriteFileBytes(Base,
                   "[vleGeneral]\r\nSDKDIR=@C:\\SDK@\r\nTEMPLATEDIR=@C:\\SDK\\TPL@\r\n"
                   "PROJECTDIR=@$(SDKDIR)\\Projects@\r\nMAXBACKUP=@2@\r\n");
    TQuotedINI base(Base);
    for (const char* key : {"HEADERDIR", "DEBUGDIR", "OBJECTDIR", "BINDIR", "LIBDIR", "WORKDIR",
                            "ASM_CMD", "LNK_CMD", "COMPILE_CMD"}) {
      base.WriteString("vleGeneral", key, std::string("$(SDKDIR)\\") + key);
    }
    WriteFileBytes(Project, "[vleProjectSource]\r\nSRC_000=@A.CPP@\r\n");
    SetFileLastWriteTime(Base, 40000.5);
    SetFileLastWriteTime(Project, 40000.5);
  }
  void TearDown() override { SetDriveRoot(oldRoot_); }

  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    args.insert(args.begin(), "generate");
    return CliMain(args, out, err);
  }

  std::ostringstream out;
  std::ostringstream err;

 private:
  test::TTempDir drive_;
  std::string oldRoot_;
};

}  // namespace

TEST_F(TGenerateCommandTest, WrongArgumentsAreUsageErrors) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_NE(err.str().find("Usage: tessel-cli generate PROJECT.INI"), std::string::npos);
  EXPECT_EQ(Run({Project, "--base", Base, "--set", "vleNothing", "A=1"}), 2);
  EXPECT_NE(err.str().find("unknown editor \"vleNothing\""), std::string::npos) << err.str();
  EXPECT_EQ(Run({Project, "--base", Base, "--set", "vleLink", "novalue"}), 2);
  EXPECT_EQ(Run({Project, "--base", Base, "--set", "vleLink"}), 2);
  EXPECT_EQ(Run({Project, "--base", Base, "--set", "vleGeneral", "NOPE=1"}), 2);
  EXPECT_EQ(Run({Project, "--base", Base, "--force"}), 2);
  EXPECT_EQ(Run({Project, Project, "--base", Base}), 2);
  EXPECT_FALSE(FileExists("C:\\SDK\\Projects\\DEMO.PRJ"));

  EXPECT_EQ(Run({"C:\\SDK\\Projects\\NONE.INI", "--base", Base}), 1);
  EXPECT_NE(err.str().find("NONE.INI"), std::string::npos) << err.str();
}

TEST_F(TGenerateCommandTest, WithoutBaseTheSdkBaseDirectoryCheckFindsIt) {
  // Started in the installation's BIN: its base settings.
  EXPECT_EQ(CliMain({"PD=C:\\SDK\\BIN", "generate", Project, "--no"}, out, err), 0) << err.str();
  EXPECT_TRUE(FileExists("C:\\SDK\\Projects\\DEMO.PRJ"));

  // Started elsewhere: no base settings there.
  out.str("");
  err.str("");
  EXPECT_EQ(CliMain({"PD=C:\\OTHER\\BIN", "generate", Project}, out, err), 1);
  EXPECT_EQ(err.str(),
            "Error: Base settings file \"C:\\OTHER\\BaseOptions\\BaseOptions.ini\" does not "
            "exist.\n");
}

TEST_F(TGenerateCommandTest, WithoutEditsOnlyTheScriptsAreWritten) {
  const std::string baseBefore = ReadFileBytes(Base);
  EXPECT_EQ(Run({Project, "--base", Base, "--no"}), 0) << err.str();
  EXPECT_EQ(out.str(), "Save and script-building successful.\n");
  // The missing template directory was asked about and refused.
  EXPECT_EQ(err.str(), "Missung directory:\nC:\\SDK\\TPL\nCreate directories?\n-> No\n");
  EXPECT_FALSE(DirectoryExists("C:\\SDK\\TPL"));
  EXPECT_EQ(ReadFileBytes(Base), baseBefore);
  EXPECT_TRUE(ListDirectory("C:\\SDK\\BaseOptions\\*.BAK").empty());
  EXPECT_TRUE(FileExists("C:\\SDK\\Projects\\DEMO.PRJ"));
  EXPECT_TRUE(FileExists("C:\\SDK\\Projects\\SETUP.PRJ"));

  EXPECT_EQ(Run({Project, "--base", Base, "--yes"}), 0);
  EXPECT_TRUE(DirectoryExists("C:\\SDK\\TPL"));
}

TEST_F(TGenerateCommandTest, EditsAreStoredWithBackupsBeforeTheGeneration) {
  EXPECT_EQ(
      Run({Project, "--base", Base, "--yes", "--set", "vleProjectSource", "NEW_1=B.C", "--set",
           "vleProjectSource", "SRC_000=", "--set", "vleGeneral", "TEMPLATEDIR=C:\\SDK\\T2",
           "--set", "vleProjectBindOptions", "Makescript=C:\\SDK\\Projects\\DEMO\\BIND.TXT"}),
      0)
      << err.str();
  EXPECT_EQ(out.str(), "Save and script-building successful.\n");
  TQuotedINI base(Base);
  TQuotedINI project(Project);
  EXPECT_EQ(base.ReadString("vleGeneral", "TEMPLATEDIR", ""), "$(SDKDIR)\\T2");
  EXPECT_EQ(project.ReadSection("vleProjectSource"), std::vector<std::string>{"SRC_000"});
  EXPECT_EQ(project.ReadString("vleProjectSource", "SRC_000", ""), "B.C");
  EXPECT_EQ(project.ReadString("vleProjectBindOptions", "Makescript", ""),
            "$(PROJECTDIR)\\DEMO\\BIND.TXT");
  EXPECT_TRUE(FileExists("C:\\SDK\\BaseOptions\\BaseOptions_1.BAK"));
  EXPECT_TRUE(FileExists("C:\\SDK\\Projects\\DEMO_1.BAK"));
  std::vector<std::string> script = ReadTextLines("C:\\SDK\\Projects\\DEMO.PRJ");
  EXPECT_EQ(script.back(), "BIND=\"$(PROJECTDIR)\\DEMO\\BIND.TXT\"");
}

TEST_F(TGenerateCommandTest, RefusedSavesAndChecksExitWithOne) {
  const std::string baseBefore = ReadFileBytes(Base);
  EXPECT_EQ(Run({Project, "--base", Base, "--yes", "--set", "vleGeneral", "WORKDIR="}), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "Error: Item WORKDIR is empty!\nAny item in General parameters must not be empty!\n");
  EXPECT_EQ(ReadFileBytes(Base), baseBefore);
  EXPECT_FALSE(FileExists("C:\\SDK\\Projects\\DEMO.PRJ"));

  TQuotedINI(Base).WriteString("vleRequiredFiles", "OPT_000", "$(SDKDIR)\\MISSING.LIB");
  EXPECT_EQ(Run({Project, "--base", Base, "--yes"}), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("Error: Missung file(s):\nC:\\SDK\\MISSING.LIB\n"), std::string::npos)
      << err.str();
  EXPECT_FALSE(FileExists("C:\\SDK\\Projects\\DEMO.PRJ"));

  // No to creating a missing project directory: nothing can be generated.
  TQuotedINI(Base).EraseSection("vleRequiredFiles");
  TQuotedINI(Base).WriteString("vleGeneral", "PROJECTDIR", "$(SDKDIR)\\NEW");
  EXPECT_EQ(Run({Project, "--base", Base, "--no"}), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("Create directories?\n-> No\n"), std::string::npos) << err.str();
  EXPECT_EQ(err.str().find("Missung file"), std::string::npos) << err.str();
  EXPECT_FALSE(DirectoryExists("C:\\SDK\\NEW"));
}

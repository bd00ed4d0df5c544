#pragma once
// An installation on a fresh drive for the project commands: C:\SDK with
// its base settings, the project C:\SDK\Projects\P.INI and its script, the
// program started in C:\SDK\BIN with its settings in C:\TESSEL.INI, and no
// terminal on standard input.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "settings/MyIni.h"
#include "support/FileTool.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/temp_dir.h"
#include "tests/support/text_files.h"

namespace tessel::test {

class TProjectCommandTest : public ::testing::Test {
 protected:
  static constexpr const char* kBaseIni = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
  static constexpr const char* kProjectIni = "C:\\SDK\\Projects\\P.INI";
  static constexpr const char* kProgramIni = "C:\\TESSEL.INI";

  void SetUp() override {
    oldRoot_ = DriveRoot();
    SetDriveRoot(drive.Path());
    // Questions that come back must not wait for a terminal.
    ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
    SetEnvironmentValue("TESSEL_ENGINE_LOG", drive.File("ENGINE.LOG"));
    WriteLines(kBaseIni, {"[vleGeneral]", "SDKDIR=@C:\\SDK@", "TEMPLATEDIR=@$(SDKDIR)@",
                          "HEADERDIR=@$(SDKDIR)@", "DEBUGDIR=@$(SDKDIR)@", "OBJECTDIR=@$(SDKDIR)@",
                          "BINDIR=@$(SDKDIR)\\BIN@", "LIBDIR=@$(SDKDIR)\\LIB@",
                          "PROJECTDIR=@$(SDKDIR)\\Projects@", "WORKDIR=@$(SDKDIR)@",
                          "[vlefx9860LibGrooming]", "OPT_000=@-x@"});
    WriteLines(kProjectIni, {"[vleRequiredProjectFiles]", "OPT_000=@$(PROJECTDIR)\\P\\P.CPP@"});
    for (const char* suffix : {".CPP", "_SELECTED.BMP", "_UNSELECTED.BMP"}) {
      WriteLines(std::string("C:\\SDK\\Projects\\P\\P") + suffix, {suffix});
    }
    WriteLines("C:\\SDK\\BIN\\fx9860G_library.lib", {"library"});
    WriteLines("C:\\SDK\\LIB\\fxCG_library.lib", {"groomed"});
    WriteLines("C:\\SDK\\Projects\\P.PRJ", {"A=1"});
  }
  void TearDown() override {
    SetEnvironmentValue("TESSEL_ENGINE_LOG", "");
    SetDriveRoot(oldRoot_);
  }

  void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    test::WriteLines(path, lines);
  }
  // tessel-cli PD=C:\SDK\BIN IF=C:\TESSEL.INI COMMAND ARGS...
  TCliRun Cli(const std::string& command, std::vector<std::string> args) {
    args.insert(args.begin(), {"PD=C:\\SDK\\BIN", std::string("IF=") + kProgramIni, command});
    return RunCli("", args);
  }
  std::string ProgramValue(const std::string& key) {
    return TQuotedINI(kProgramIni).ReadString("PROGRAM", key, "<missing>");
  }

  TTempDir drive;

 private:
  std::string oldRoot_;
};

}  // namespace tessel::test

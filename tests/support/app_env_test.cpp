#include "support/app_env.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "platform/environment.h"
#include "platform/executable.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/memory_file_system.h"
#include "platform/path_split.h"
#include "support/text.h"
#include "tests/support/fault_walk.h"
#include "tests/support/temp_dir.h"

namespace tessel::test {
namespace {

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

// Keeps the start-up from seeing the machine's own parameter file, registry
// stand-in or drive: C:\ is the temp directory.
class AppEnvTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedRoot_ = DriveRoot();
    savedRegistry_ = GetEnvironmentValue("TESSEL_REGISTRY");
    SetDriveRoot(dir_.Path());
    SetEnvironmentValue("TESSEL_REGISTRY", dir_.File("registry.ini"));
    internalName_ = ExecutableVersion().internalName;
    SetEnvironmentValue(internalName_ + "_PARAMETER", "");
  }
  void TearDown() override {
    SetDriveRoot(savedRoot_);
    SetEnvironmentValue("TESSEL_REGISTRY", savedRegistry_);
    SetEnvironmentValue(internalName_ + "_PARAMETER", "");
    ResetAppEnv();
  }

  TTempDir dir_;
  std::string savedRoot_, savedRegistry_, internalName_;
};

TEST_F(AppEnvTest, PSetValueChecksRegistrationLocksAndPlaceholders) {
  ResetAppEnv();
  TAppEnv& env = AppEnv();
  std::string pd = ExtractFilePath(ExecutablePath());
  pd.pop_back();
  EXPECT_EQ(env.Value("PD"), pd);
  EXPECT_EQ(env.Value("cd"), CurrentDirectory());

  EXPECT_EQ(ErrorOf([&] { env.PSetValue("X", "1"); }),
            "BASE_00.TAppEnv.PSetValue: X not registered!");
  EXPECT_EQ(ErrorOf([&] { env.RegisterID("if"); }),
            "BASE_00.TAppEnv.RegisterID: if already registered!");

  env.PSetValue("if", "@PROGRAMDIR@\\A;@CURRENTDIR@;@programdir@");
  EXPECT_EQ(env.Value("IF"), pd + "\\A;" + CurrentDirectory() + ";@programdir@");
  env.PSetValue("IF", "");
  EXPECT_EQ(env.Value("IF"), "");
  for (const std::string& line : env.Lines()) EXPECT_NE(NamePart(line), "IF");

  env.PSetValue("PN", "first");
  env.LockKey("PN");
  env.LockKey("pn");
  env.PSetValue("PN", "second");
  EXPECT_EQ(env.Value("PN"), "first");
  EXPECT_EQ(env.Value("PL"), "PN");

  env.RegisterID("EXTRA");
  env.PSetValue("extra", "v");
  EXPECT_EQ(env.Value("EXTRA"), "v");
}

TEST_F(AppEnvTest, PreLoadRejectsAnUnregisteredKey) {
  EXPECT_EQ(ErrorOf([] {
              PreLoadAppEnv({"IF=x.ini", "X=1"});
            }),
            "BASE_00.TAppEnv.PSetValue: X not registered!");
  // Blank values and names beginning with "/" are no parameters at all.
  EXPECT_EQ(ErrorOf([] { PreLoadAppEnv({"Q=", "Q=  ", "/Q=1", "noequals"}); }), "(no error)");
}

TEST_F(AppEnvTest, PreLoadWithoutParametersFillsVersionAndDefaultSettingsFile) {
  PreLoadAppEnv({});
  const VersionInfo version = ExecutableVersion();
  const std::string exe = ExecutablePath();
  EXPECT_EQ(AppEnv().Value("FV"),
            version.fileFlags != 0 ? version.fileVersion + "\xDF" : version.fileVersion);
  EXPECT_EQ(AppEnv().Value("PN"), version.productName);
  EXPECT_EQ(AppEnv().Value("IN"), version.internalName);
  EXPECT_EQ(AppEnv().Value("IF"), ExtractFilePath(exe) + BaseName(exe) + ".INI");
  EXPECT_EQ(AppEnv().Value("PL"), "");
}

TEST_F(AppEnvTest, SettingsFileParameterBringsItsAppEnvSection) {
  const std::string ini = dir_.Write("prog.ini",
                                     "[Other]\r\nPN=wrong\r\n"
                                     "[AppEnv]\r\n"
                                     "IF=C:\\elsewhere.ini\r\n"
                                     "CD=@kept as stored@\r\n"
                                     "PN=   \r\n");
  PreLoadAppEnv({"IF=" + ini, "IF=C:\\second.ini", "/IF=ignored"});
  EXPECT_EQ(AppEnv().Value("IF"), ini);
  EXPECT_EQ(AppEnv().Value("CD"), "@kept as stored@");
  EXPECT_EQ(AppEnv().Value("PN"), ExecutableVersion().productName);
  EXPECT_EQ(AppEnv().Value("PL"), "IF,CD");
}

TEST_F(AppEnvTest, OneShotParameterFileIsMovedAsideAndReadFirst) {
  const std::string txt = internalName_ + "_PARAMETER.TXT";
  const std::string old = internalName_ + "_PARAMETER.OLD";
  dir_.Write(txt, "PN=from file\r\n\r\nIN=@PROGRAMDIR@\n");
  dir_.Write(old, "PN=stale\r\n");
  PreLoadAppEnv({"PN=from command line"});
  EXPECT_EQ(AppEnv().Value("PN"), "from file");
  EXPECT_EQ(AppEnv().Value("IN"), AppEnv().Value("PD"));
  EXPECT_FALSE(FileExists(dir_.File(txt)));
  EXPECT_EQ(dir_.Read(old), "PN=from file\r\n\r\nIN=@PROGRAMDIR@\n");

  // Used once: the next start finds no parameter file.
  PreLoadAppEnv({"PN=from command line"});
  EXPECT_EQ(AppEnv().Value("PN"), "from command line");
}

// Under failing file systems the start either takes the one-shot file's
// parameters, with the file moved aside, or stops naming a parameter file;
// it never takes those of the earlier start's file, and the new file is
// lost to neither.
TEST_F(AppEnvTest, AOneShotParameterFileThatCannotBeMovedAsideStopsTheStart) {
  const std::string txt = "/" + internalName_ + "_PARAMETER.TXT";
  const std::string old = "/" + internalName_ + "_PARAMETER.OLD";
  const std::string fresh = "PN=from file\r\n";
  int stopped = 0;
  const int runs = WalkFaults(AllFsCalls(), [&](const TFault& fault) {
    SCOPED_TRACE(DescribeFault(fault));
    TMemoryFileSystem fs;
    fs.AddFile(txt, fresh);
    fs.AddFile(old, "PN=stale\r\n");
    TFileSystemScope scope(fs);
    SetDriveRoot("/");
    fs.FailAt(fault.kind, fault.nth, fault.error);
    const std::string error = ErrorOf([] { PreLoadAppEnv({"IF=C:\\prog.ini"}); });
    const bool reached = fs.FaultReached();
    fs.ClearFaults();
    const bool moved = !fs.HasFile(txt) && fs.FileBytes(old) == fresh;
    EXPECT_TRUE(moved || fs.FileBytes(txt) == fresh);
    if (error == "(no error)") {
      // Taken, or not seen at all by a look-up that failed: then it waits
      // for the next start.
      const std::string pn = AppEnv().Value("PN");
      EXPECT_EQ(pn, moved ? "from file" : ExecutableVersion().productName);
    } else {
      ++stopped;
      EXPECT_NE(error.find("C:\\" + internalName_ + "_PARAMETER."), std::string::npos) << error;
    }
    return reached;
  });
  EXPECT_GT(runs, 3);
  EXPECT_GT(stopped, 1);
}

TEST_F(AppEnvTest, ParameterFileNamedBySettingStaysInPlace) {
  const std::string file = dir_.Write("params.txt", "FV=9.9\n");
  SetEnvironmentValue(internalName_ + "_PARAMETER", file);
  PreLoadAppEnv({});
  EXPECT_EQ(AppEnv().Value("FV"), "9.9");
  EXPECT_TRUE(FileExists(file));
}

TEST_F(AppEnvTest, GetSettingPrefersTheEnvironmentOverTheRegistry) {
  dir_.Write("registry.ini",
             "[SoftWare\\" + internalName_ + "]\nTESSEL_TEST_SETTING=from registry\n");
  PreLoadAppEnv({});
  SetEnvironmentValue("TESSEL_TEST_SETTING", "");
  EXPECT_EQ(GetSetting("TESSEL_TEST_SETTING"), "from registry");
  SetEnvironmentValue("TESSEL_TEST_SETTING", "from environment");
  EXPECT_EQ(GetSetting("TESSEL_TEST_SETTING"), "from environment");
  SetEnvironmentValue("TESSEL_TEST_SETTING", "");
  EXPECT_EQ(GetSetting("TESSEL_NO_SUCH_SETTING"), "");
}

}  // namespace
}  // namespace tessel::test

#include "platform/environment.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>

#include "platform/executable.h"
#include "platform/file_system.h"
#include "platform/memory_file_system.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::TTempDir;

namespace {

// Sets an environment variable for one test and restores it afterwards.
class EnvGuard {
 public:
  EnvGuard(const std::string& name, const std::string& value)
      : name_(name), saved_(GetEnvironmentValue(name)) {
    SetEnvironmentValue(name, value);
  }
  ~EnvGuard() { SetEnvironmentValue(name_, saved_); }

 private:
  std::string name_, saved_;
};

}  // namespace

TEST(Environment, ValuesAndRemoval) {
  EnvGuard guard("TESSEL_TEST_VALUE", "a b=c");
  EXPECT_EQ(GetEnvironmentValue("TESSEL_TEST_VALUE"), "a b=c");
  SetEnvironmentValue("TESSEL_TEST_VALUE", "");
  EXPECT_EQ(GetEnvironmentValue("TESSEL_TEST_VALUE"), "");
  EXPECT_EQ(GetEnvironmentValue(""), "");
  EXPECT_EQ(GetEnvironmentValue("A=B"), "");
  // A name with "=" is no name, even where a variable's value would follow it.
  SetEnvironmentValue("TESSEL_TEST_VALUE", "x=y");
  EXPECT_EQ(GetEnvironmentValue("TESSEL_TEST_VALUE=x"), "");
  SetEnvironmentValue("TESSEL_TEST_VALUE=x", "z");
  SetEnvironmentValue("", "z");
  EXPECT_EQ(GetEnvironmentValue("TESSEL_TEST_VALUE"), "x=y");
  EXPECT_EQ(GetEnvironmentValue(""), "");
}

TEST(Environment, RegistryFileLocation) {
  EnvGuard xdg("XDG_CONFIG_HOME", "/cfg");
  EnvGuard home("HOME", "/home/someone");
  {
    EnvGuard file("TESSEL_REGISTRY", "/etc/reg.ini");
    EXPECT_EQ(RegistryFilePath(), "/etc/reg.ini");
  }
  EnvGuard noFile("TESSEL_REGISTRY", "");
  EXPECT_EQ(RegistryFilePath(), "/cfg/tessel/registry.ini");
  SetEnvironmentValue("XDG_CONFIG_HOME", "");
  EXPECT_EQ(RegistryFilePath(), "/home/someone/.config/tessel/registry.ini");
}

TEST(Environment, WithoutHomeTheUserDatabaseNamesTheHomeDirectory) {
  const passwd* user = ::getpwuid(::getuid());
  if (user == nullptr || user->pw_dir == nullptr) GTEST_SKIP() << "no entry for this user";
  const std::string home = user->pw_dir;
  EnvGuard file("TESSEL_REGISTRY", "");
  EnvGuard xdg("XDG_CONFIG_HOME", "");
  EnvGuard noHome("HOME", "");
  EXPECT_EQ(RegistryFilePath(), home + "/.config/tessel/registry.ini");
}

TEST(Environment, RegistryValuesIgnoreCase) {
  TTempDir dir;
  const std::string file = dir.Write("reg.ini",
                                     "; comment\r\n"
                                     "[Other]\r\n"
                                     "Tessel_PARAMETER=wrong\r\n"
                                     "[ SoftWare\\Tessel ]\r\n"
                                     "  tessel_parameter =  C:\\p.txt  \r\n"
                                     "TESSEL_PARAMETER=second\r\n"
                                     "Quoted=\" spaced \"\n"
                                     "NoEquals\n");
  EnvGuard guard("TESSEL_REGISTRY", file);
  EXPECT_EQ(RegistryValue("SOFTWARE\\TESSEL", "TESSEL_PARAMETER"), "C:\\p.txt");
  EXPECT_EQ(RegistryValue("software\\tessel", "quoted"), " spaced ");
  EXPECT_EQ(RegistryValue("SoftWare\\Tessel", "NoEquals"), "");
  EXPECT_EQ(RegistryValue("SoftWare\\Tessel", "Missing"), "");
  EXPECT_EQ(RegistryValue("SoftWare\\None", "TESSEL_PARAMETER"), "");
  SetEnvironmentValue("TESSEL_REGISTRY", dir.File("missing.ini"));
  EXPECT_EQ(RegistryValue("SoftWare\\Tessel", "TESSEL_PARAMETER"), "");
}

TEST(Executable, PathArgumentsAndVersion) {
  const std::string path = ExecutablePath();
  EXPECT_TRUE(FileExists(path));
  EXPECT_NE(path.find("tests_platform"), std::string::npos);

  const char* argv[] = {"prog", "IF=x.ini", "build"};
  SetCommandLineArguments(3, argv);
  EXPECT_EQ(CommandLineArguments(), (std::vector<std::string>{"IF=x.ini", "build"}));
  SetCommandLineArguments(std::vector<std::string>{});
  EXPECT_TRUE(CommandLineArguments().empty());

  const VersionInfo version = ExecutableVersion();
  EXPECT_EQ(version.productName, "Tessel");
  EXPECT_EQ(version.internalName, "Tessel");
  EXPECT_EQ(std::count(version.fileVersion.begin(), version.fileVersion.end(), '.'), 3);
}

TEST(UserDirectories, FollowTheXdgVariablesElseTheHomeDirectory) {
  TTempDir dir;
  {
    EnvGuard config("XDG_CONFIG_HOME", dir.File("config"));
    EnvGuard state("XDG_STATE_HOME", dir.File("state"));
    EXPECT_EQ(UserConfigDirectory(), dir.File("config") + "/tessel");
    EXPECT_EQ(UserStateDirectory(), dir.File("state") + "/tessel");
    // Created, so a settings file or log can be written there at once.
    EXPECT_TRUE(DirectoryExists(dir.File("config/tessel")));
    EXPECT_TRUE(DirectoryExists(dir.File("state/tessel")));
  }
  EnvGuard config("XDG_CONFIG_HOME", "");
  EnvGuard state("XDG_STATE_HOME", "");
  EnvGuard home("HOME", dir.File("home"));
  EXPECT_EQ(UserConfigDirectory(), dir.File("home") + "/.config/tessel");
  EXPECT_EQ(UserStateDirectory(), dir.File("home") + "/.local/state/tessel");
  EXPECT_TRUE(IsWritableDirectory(dir.File("home/.local/state/tessel")));
  EXPECT_FALSE(IsWritableDirectory(dir.File("home/none")));
}

TEST(UserDirectories, OnlyTheMissingLevelsAreMade) {
  TMemoryFileSystem fs;
  TFileSystemScope use(fs);
  fs.AddDirectory("/home/u/.config");
  EnvGuard config("XDG_CONFIG_HOME", "");
  EnvGuard state("XDG_STATE_HOME", "");
  EnvGuard home("HOME", "/home/u");
  EXPECT_EQ(UserConfigDirectory(), "/home/u/.config/tessel");
  EXPECT_EQ(fs.Calls(TFsCall::MakeDirectory), 1);
  EXPECT_EQ(UserStateDirectory(), "/home/u/.local/state/tessel");
  EXPECT_EQ(fs.Calls(TFsCall::MakeDirectory), 4);
  EXPECT_TRUE(fs.HasDirectory("/home/u/.local/state/tessel"));
  EXPECT_EQ(UserStateDirectory(), "/home/u/.local/state/tessel");
  EXPECT_EQ(fs.Calls(TFsCall::MakeDirectory), 4);
}

// The example SDK built end to end, the way scripts/demo.sh does it: a copy
// of examples/sdk with the tool programs and the calculator library in its
// BIN, generated scripts, a build with the pre-build checks, the library
// grooming and the real SH cross tools, a second build that must find
// everything up to date, and a rebuild after DEMO.CPP changed. The add-in is
// checked by the test's own container reader.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "cli/command.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "support/app_env.h"
#include "tests/examples/g3a_reader.h"
#include "tests/support/temp_dir.h"
#include "toolchain/cross_tools.h"

namespace tessel::test {
namespace {

namespace fs = std::filesystem;

const toolchain::TCrossTool kObjdump = {"sh4-linux-gnu-objdump", "binutils-sh4-linux-gnu"};

struct TCliRun {
  int status;
  std::string out;
  std::string err;
};

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::string CrossToolOutput(const toolchain::TCrossTool& tool,
                            const std::vector<std::string>& args) {
  const toolchain::TRunResult run = toolchain::RunCrossTool(tool, args);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  return run.output;
}

class DemoBuild : public ::testing::Test {
 protected:
  DemoBuild() : sdk(dir.File("SDK")) {
    fs::copy(TESSEL_EXAMPLE_SDK, sdk, fs::copy_options::recursive);
    // The base settings name the SDK directory by a placeholder.
    std::string base = ReadFileBytes(BaseIni());
    for (size_t at = base.find("{SDK}"); at != std::string::npos; at = base.find("{SDK}", at)) {
      base.replace(at, 5, sdk);
    }
    WriteFileBytes(BaseIni(), base);
    for (const char* name : {"asmsh", "shcpp", "optlnk"}) {
      const fs::path tool = fs::path(sdk) / "BIN" / name;
      fs::copy_file(fs::path(TESSEL_TOOL_DIR) / name, tool);
      fs::permissions(tool, fs::perms::owner_all);
    }
    // The calculator library, made by the tool chain as at set-up.
    const std::string make =
        std::string(TESSEL_CALCULATOR_LIBRARY_SCRIPT) + " '" + sdk + "' >/dev/null";
    EXPECT_EQ(std::system(make.c_str()), 0);
    SetEnvironmentValue("TESSEL_ENGINE_LOG", dir.File("ENGINE.LOG"));
  }
  ~DemoBuild() override { SetEnvironmentValue("TESSEL_ENGINE_LOG", ""); }

  std::string BaseIni() const { return sdk + "/BaseOptions/BaseOptions.ini"; }
  std::string Path(const std::string& relative) const { return sdk + "/" + relative; }

  // The program as if installed in the SDK's BIN, its settings in the copy.
  TCliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"PD=" + Path("BIN"), "IF=" + Path("TESSEL.INI")});
    ResetAppEnv();
    std::ostringstream out, err;
    const int status = CliMain(args, out, err);
    ResetAppEnv();
    return {status, out.str(), err.str()};
  }
  TCliRun Build() { return Cli({"build", Path("Projects/DEMO.INI")}); }

  TTempDir dir;
  const std::string sdk;
};

TEST_F(DemoBuild, RealToolsBuildAnAddInTheContainerReaderAccepts) {
  // The base settings found through the SDK base directory check.
  TCliRun generated = Cli({"generate", Path("Projects/DEMO.INI"), "--yes"});
  ASSERT_EQ(generated.status, 0) << generated.err;

  TCliRun first = Build();
  ASSERT_EQ(first.status, 0) << first.err;
  // The library prepared before the build: copied, and the monochrome
  // modules groomed out by the linker.
  EXPECT_TRUE(
      first.out.starts_with("Copy: fx9860G_library.lib.\nGrooming: fx9860G_library.lib.\n"
                            "MONOLCD,MONOKEYS 0\nExecute: " +
                            Path("Projects/DEMO.INI") + "\n"))
      << first.out;
  EXPECT_EQ(CrossToolOutput(toolchain::kCrossAr, {"t", Path("LIB/fxCG_library.lib")}),
            "MEMCOPY.OBJ\nSTRLEN.OBJ\n");
  EXPECT_NE(first.err.find("New program version. A \"Make all\" will be performed."),
            std::string::npos);
  EXPECT_EQ(first.out.find("error"), std::string::npos) << first.out;
  EXPECT_EQ(first.out.find("warning"), std::string::npos) << first.out;
  // Two start-up modules, four syscall stubs, three assembler tool routines
  // and one project source assembled; one tool routine and two project
  // sources compiled; eight library steps and two links.
  EXPECT_EQ(CountOf(first.out, "\\BIN\\ASMSH.EXE\" -SUB=TEMP.TXT"), 10u) << first.out;
  EXPECT_EQ(CountOf(first.out, "\\BIN\\SHCPP.EXE\" -SUB=TEMP.TXT"), 3u);
  EXPECT_EQ(CountOf(first.out, "\\BIN\\OPTLNK.EXE\""), 10u);
  EXPECT_EQ(CountOf(first.out, "shcpp: -optimize=1 compiled at -O0: "), 3u);
  EXPECT_TRUE(first.out.ends_with("\nReady\n"));
  EXPECT_EQ(ReadFileBytes(Path("INCLUDE/screen.h")),
            "void VramClear(void);\r\nvoid VramSetPoint(int x, int y, unsigned short color);\r\n"
            "void ScreenShow(void);\r\n");

  // Every object is a big-endian 32-bit SH ELF file.
  for (const fs::directory_entry& entry : fs::directory_iterator(Path("OBJ"))) {
    if (entry.path().extension() != ".OBJ") continue;
    const std::string object = ReadFileBytes(entry.path());
    EXPECT_EQ(object.substr(0, 6), std::string("\x7F"
                                               "ELF\x01\x02",
                                               6))
        << entry.path();
    EXPECT_EQ(object.substr(0x12, 2), std::string("\x00\x2A", 2)) << entry.path();
  }

  // A syscall stub: the system's entry into r2, the number into r0, jump.
  const std::string stub = CrossToolOutput(kObjdump, {"-d", Path("OBJ/VramSetPoint.OBJ")});
  EXPECT_TRUE(std::regex_search(
      stub, std::regex("0:\\s+d2 01\\s+mov\\.l\\s+8 <VramSetPoint\\+0x8>,r2\\s+! 80020070\\n"
                       "\\s+2:\\s+d0 02\\s+mov\\.l\\s+c <VramSetPoint\\+0xc>,r0\\s+! 263\\n"
                       "\\s+4:\\s+42 2b\\s+jmp\\s+@r2\\n"
                       "\\s+6:\\s+00 09\\s+nop")))
      << stub;
  const std::string stubData =
      CrossToolOutput(kObjdump, {"-s", "-j", ".text", Path("OBJ/VramSetPoint.OBJ")});
  EXPECT_NE(stubData.find(" 0000 d201d002 422b0009 80020070 00000263"), std::string::npos)
      << stubData;

  // The add-in, read by the test's own reader.
  const std::string g3a = ReadFileBytes(Path("Projects/DEMO/DEMO.G3A"));
  const std::string image = ReadFileBytes(Path("WORK/DEMO.SH3"));
  ASSERT_EQ(g3a.size(), image.size() + 0x7004);
  const TG3aFile file = ReadG3a(g3a);
  EXPECT_TRUE(file.faults.empty()) << ::testing::PrintToString(file.faults);
  EXPECT_EQ(file.shortName, "DEMO");
  EXPECT_EQ(file.internalName, "DEMO");
  EXPECT_EQ(file.localizedNames, std::vector<std::string>(8, "DEMO"));
  EXPECT_EQ(file.version, "01.02.0003");
  EXPECT_TRUE(std::regex_match(file.date, std::regex("\\d{4}\\.\\d{4}\\.\\d{4}"))) << file.date;
  EXPECT_EQ(file.fileName, "DEMO.G3A");
  EXPECT_EQ(file.word16, 0);
  EXPECT_EQ(file.unselectedIcon, ReadFileBytes(Path("Projects/DEMO/DEMO_UNSELECTED.CGI")));
  EXPECT_EQ(file.selectedIcon, ReadFileBytes(Path("Projects/DEMO/DEMO_SELECTED.CGI")));
  EXPECT_NE(file.selectedIcon, file.unselectedIcon);
  EXPECT_EQ(file.image, image);

  // The image begins with the add-in start-up's entry.
  const std::string startup =
      CrossToolOutput(kObjdump, {"-d", "-j", ".text.entry", Path("OBJ/fxCG_G3A_STARTUP.OBJ")});
  EXPECT_NE(startup.find("<addin_start>:\n   0:\t2f 86       \tmov.l\tr8,@-r15"), std::string::npos)
      << startup;
  EXPECT_EQ(image.substr(0, 6), std::string("\x2F\x86\x2F\x96\x4F\x22", 6));

  // Nothing is out of date: no tool runs and the add-in stays as it is.
  TCliRun second = Build();
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.out, "Execute: " + Path("Projects/DEMO.INI") + "\nReady\n");
  EXPECT_EQ(second.err, "");
  EXPECT_EQ(ReadFileBytes(Path("Projects/DEMO/DEMO.G3A")), g3a);

  // An edit to DEMO.CPP compiles DEMO.CPP, links and binds again, and
  // rebuilds nothing else. The files are dated back first, as the builds ran
  // within the dates' resolution.
  const TDateTime yesterday = Now() - 1;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(sdk)) {
    if (entry.is_regular_file()) {
      ASSERT_TRUE(SetFileLastWriteTime(entry.path(), yesterday)) << entry.path();
    }
  }
  WriteFileBytes(Path("Projects/DEMO/DEMO.CPP"),
                 ReadFileBytes(Path("Projects/DEMO/DEMO.CPP")) + "// edited\n");
  ASSERT_TRUE(SetFileLastWriteTime(Path("Projects/DEMO/DEMO.CPP"), yesterday + 1.0 / 24));
  TCliRun third = Build();
  EXPECT_EQ(third.status, 0);
  EXPECT_EQ(CountOf(third.out, "\\BIN\\ASMSH.EXE\""), 0u) << third.out;
  EXPECT_EQ(CountOf(third.out, "\\BIN\\SHCPP.EXE\""), 1u);
  EXPECT_EQ(CountOf(third.out, "\\BIN\\SHCPP.EXE\" -SUB=TEMP.TXT DEMO"), 1u);
  EXPECT_EQ(CountOf(third.out, "\\BIN\\OPTLNK.EXE\""), 2u);
  EXPECT_EQ(CountOf(third.out, "Start! DEMO_G3A.PAT\n"), 1u);
  EXPECT_TRUE(ReadG3a(ReadFileBytes(Path("Projects/DEMO/DEMO.G3A"))).faults.empty());
}

}  // namespace
}  // namespace tessel::test

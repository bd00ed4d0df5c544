// The example SDK built end to end, the way scripts/demo.sh does it: a copy
// of examples/sdk with the stand-in tool chain and the calculator library in
// its BIN, generated scripts, a build with the pre-build checks and the
// library grooming, a second build that must find everything up to date, and
// a rebuild after the project's header changed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "cli/command.h"
#include "examples/toolchain/standin_formats.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "support/app_env.h"
#include "tests/support/temp_dir.h"

namespace tessel::test {
namespace {

namespace fs = std::filesystem;

struct TCliRun {
  int status;
  std::string out;
  std::string err;
};

uint32_t BigEndian32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes.at(at + i));
  return value;
}

// The 16-bit colour of the icon pixel (x, y), from the bitmap's palette.
std::string IconPixel(const std::string& bmp, int x, int y) {
  const uint8_t index = static_cast<uint8_t>(bmp.at(1078 + (63 - y) * 92 + x));
  const auto channel = [&](int offset) {
    return static_cast<uint8_t>(bmp.at(54 + index * 4 + offset));
  };
  const uint16_t rgb = (channel(2) >> 3) << 11 | (channel(1) >> 2) << 5 | channel(0) >> 3;
  return {static_cast<char>(rgb >> 8), static_cast<char>(rgb & 0xFF)};
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
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
      fs::copy_file(TESSEL_SH_STANDIN, tool);
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

TEST_F(DemoBuild, BuildsTheAddInAndThenFindsEverythingUpToDate) {
  // The base settings found through the SDK base directory check.
  TCliRun generated = Cli({"generate", Path("Projects/DEMO.INI"), "--yes"});
  ASSERT_EQ(generated.status, 0) << generated.err;
  EXPECT_EQ(generated.out, "Save and script-building successful.\n");

  TCliRun first = Build();
  ASSERT_EQ(first.status, 0) << first.err;
  // The library prepared before the build: copied, and the monochrome
  // modules groomed out by the linker.
  EXPECT_TRUE(
      first.out.starts_with("Copy: fx9860G_library.lib.\nGrooming: fx9860G_library.lib.\n"
                            "MONOLCD,MONOKEYS 0\nExecute: " +
                            Path("Projects/DEMO.INI") + "\n"))
      << first.out;
  const std::optional<std::vector<standin::TMember>> library =
      standin::ReadLibrary(ReadFileBytes(Path("LIB/fxCG_library.lib")));
  ASSERT_TRUE(library);
  std::vector<std::string> members;
  for (const standin::TMember& member : *library) members.push_back(member.name);
  EXPECT_EQ(members, (std::vector<std::string>{"MEMCOPY", "STRLEN"}));
  EXPECT_NE(first.err.find("New program version. A \"Make all\" will be performed."),
            std::string::npos);
  EXPECT_EQ(first.out.find("error"), std::string::npos) << first.out;
  // Two start-up modules, six syscall stubs, two tool routines and one
  // project source assembled or compiled; two more compiled; two links.
  EXPECT_EQ(CountOf(first.out, "\\BIN\\ASMSH.EXE\" -SUB=TEMP.TXT"), 10u) << first.out;
  EXPECT_EQ(CountOf(first.out, "\\BIN\\SHCPP.EXE\" -SUB=TEMP.TXT"), 3u);
  EXPECT_EQ(CountOf(first.out, "Start! DEMO_G3A.PAT\n54 lines processed.\n"), 1u);
  EXPECT_TRUE(first.out.ends_with("\nReady\n"));
  // The tool chain's banners and notes are among the messages to ignore.
  EXPECT_EQ(first.out.find("SH stand-in"), std::string::npos);
  EXPECT_EQ(first.out.find("has no effect"), std::string::npos);

  EXPECT_EQ(ReadFileBytes(Path("INCLUDE/keypad.h")),
            "int KeypadWait(int* column, int* row);\r\nint KeypadIsDown(int column, int row);\r\n");

  const std::string g3a = ReadFileBytes(Path("Projects/DEMO/DEMO.G3A"));
  const std::string image = ReadFileBytes(Path("WORK/DEMO.SH3"));
  ASSERT_EQ(g3a.size(), 0x5D00 + image.size());
  EXPECT_EQ(g3a.substr(0, 9), std::string("TSLADDIN\0", 9));
  EXPECT_EQ(g3a.substr(0x10, 4), std::string("\x00\x01\x01\x00", 4));
  EXPECT_EQ(BigEndian32(g3a, 0x14), g3a.size());
  uint32_t sum = 0;
  for (size_t i = 0x20; i < g3a.size(); ++i) sum += static_cast<uint8_t>(g3a[i]);
  EXPECT_EQ(BigEndian32(g3a, 0x18), sum);
  EXPECT_EQ(BigEndian32(g3a, 0x1C), image.size());
  EXPECT_EQ(g3a.substr(0x20, 5), std::string("DEMO\0", 5));
  EXPECT_EQ(g3a.substr(0x30, 11), std::string("01.02.0003\0", 11));
  EXPECT_TRUE(std::regex_match(g3a.substr(0x40, 19),
                               std::regex("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d")))
      << g3a.substr(0x40, 19);
  EXPECT_EQ(g3a[0x40 + 19], '\0');
  EXPECT_EQ(BigEndian32(g3a, 0x60), 0x100u);
  EXPECT_EQ(BigEndian32(g3a, 0x64), 0x2F00u);
  EXPECT_EQ(BigEndian32(g3a, 0x68), 0x5D00u);
  EXPECT_EQ(BigEndian32(g3a, 0x6C), 0x2E00u);

  // The icons, converted from the bitmaps: their top-left corner and the
  // mark in the middle.
  for (const auto& [offset, name] :
       {std::pair<size_t, std::string>{0x100, "SELECTED"}, {0x2F00, "UNSELECTED"}}) {
    const std::string bmp = ReadFileBytes(Path("Projects/DEMO/DEMO_" + name + ".BMP"));
    EXPECT_EQ(g3a.substr(offset, 0x2E00),
              ReadFileBytes(Path("Projects/DEMO/DEMO_" + name + ".CGI")));
    EXPECT_EQ(g3a.substr(offset, 2), IconPixel(bmp, 0, 0)) << name;
    EXPECT_EQ(g3a.substr(offset + (32 * 92 + 46) * 2, 2), IconPixel(bmp, 46, 32)) << name;
  }
  EXPECT_NE(g3a.substr(0x100, 0x2E00), g3a.substr(0x2F00, 0x2E00));

  // The image: the start-up module, the project's objects, then the members
  // of the syscall and tool libraries.
  EXPECT_EQ(g3a.substr(0x5D00), image);
  std::optional<standin::TImage> linked = standin::ReadImage(image);
  ASSERT_TRUE(linked);
  EXPECT_EQ(linked->entry, "_addin_start");
  std::vector<std::string> modules;
  for (const standin::TModule& module : linked->modules) modules.push_back(module.name);
  EXPECT_EQ(modules,
            (std::vector<std::string>{"fxCG_G3A_STARTUP", "DEMO", "SHAPES", "FASTCOPY",
                                      "ScreenClear", "ScreenPlot", "ScreenFillRect", "ScreenUpdate",
                                      "KeypadWait", "KeypadIsDown", "ClampInt", "MemFill"}));
  EXPECT_EQ(linked->modules[1].code, ReadFileBytes(Path("Projects/DEMO/DEMO.CPP")));
  EXPECT_NE(linked->modules[4].code.find("mov.l   number_ScreenClear, r0"), std::string::npos);
  EXPECT_NE(linked->modules[4].code.find(".data.l h'0100"), std::string::npos);

  // Nothing is out of date: no tool runs and the add-in stays as it is.
  TCliRun second = Build();
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.out, "Execute: " + Path("Projects/DEMO.INI") + "\nReady\n");
  EXPECT_EQ(second.err, "");
  EXPECT_EQ(ReadFileBytes(Path("Projects/DEMO/DEMO.G3A")), g3a);

  // A newer project header recompiles the C++ sources, links and binds. The
  // files are dated back first, as the builds ran within the dates'
  // resolution of two seconds.
  const TDateTime yesterday = Now() - 1;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(sdk)) {
    if (entry.is_regular_file()) {
      ASSERT_TRUE(SetFileLastWriteTime(entry.path(), yesterday)) << entry.path();
    }
  }
  ASSERT_TRUE(SetFileLastWriteTime(Path("Projects/DEMO/DEMO.H"), yesterday + 1.0 / 24));
  TCliRun third = Build();
  EXPECT_EQ(third.status, 0);
  EXPECT_EQ(CountOf(third.out, "-SUB=TEMP.TXT"), 4u) << third.out;
  EXPECT_EQ(CountOf(third.out, "\\BIN\\SHCPP.EXE\" -SUB=TEMP.TXT SHAPES"), 1u);
  EXPECT_EQ(CountOf(third.out, "\\BIN\\SHCPP.EXE\" -SUB=TEMP.TXT DEMO"), 1u);
  EXPECT_EQ(CountOf(third.out, "\\BIN\\OPTLNK.EXE\" -SUB=TEMP.TXT DEMO"), 2u);
  EXPECT_EQ(CountOf(third.out, "Start! DEMO_G3A.PAT\n54 lines processed.\n"), 1u);
  EXPECT_EQ(ReadFileBytes(Path("Projects/DEMO/DEMO.G3A")).size(), g3a.size());
}

}  // namespace
}  // namespace tessel::test

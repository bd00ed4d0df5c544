// The tool programs as the build runs them: options in TEMP.TXT, messages on
// standard output, exit status 0 only on success.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"
#include "tests/toolchain/sh_programs.h"
#include "toolchain/cross_tools.h"
#include "toolchain/tool_invocation.h"

namespace tessel::test {
namespace {

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::vector<std::string> Members(const std::string& library) {
  const toolchain::TRunResult listing =
      toolchain::RunCrossTool(toolchain::kCrossAr, {"t", library});
  EXPECT_EQ(listing.exitCode, 0) << listing.output;
  std::vector<std::string> members;
  size_t begin = 0;
  while (begin < listing.output.size()) {
    const size_t end = listing.output.find('\n', begin);
    members.push_back(listing.output.substr(begin, end - begin));
    begin = end + 1;
  }
  return members;
}

TEST(ToolPrograms, AMissingCrossToolNamesThePackageToInstall) {
  const toolchain::TCrossTool absent = {"sh4-linux-gnu-absent", "absent-sh4-linux-gnu"};
  try {
    toolchain::RunCrossTool(absent, {"--version"});
    FAIL() << "a missing tool ran";
  } catch (const toolchain::EToolError& error) {
    EXPECT_STREQ(error.what(),
                 "sh4-linux-gnu-absent not found; install the Debian package absent-sh4-linux-gnu "
                 "(scripts/setup.sh installs it)");
  }
}

TEST(ToolPrograms, AssemblerMapsWindowsPathsAndTakesTheBuildsHexNumbers) {
  TTempDir dir;
  dir.Write("lib/temp/VramClear.src",
            "#define ENTRY 0x80020070\n"
            "        .text\n"
            "        .global VramClear\n"
            "VramClear:\n"
            "        mov.l   1f, r2\n"
            "        mov.l   2f, r0\n"
            "        jmp     @r2\n"
            "        nop\n"
            "        .align  2\n"
            "1:      .long   ENTRY\n"
            "2:      .long   h'0272\n"
            "        .ascii  \"h'12\"  ! h'13 stays in comments\n");
  const TProgramRun run =
      RunToolProgram("asmsh", dir.Path(),
                     {"\"LIB\\TEMP\\VRAMCLEAR.SRC\"", "-object=\"LIB\\VramClear.OBJ\"", "-cpu=SH4A",
                      "-endian=big"});
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(run.output, "");
  const std::string object = ReadFileBytes(dir.File("lib/VramClear.OBJ"));
  // ELF, 32-bit, big-endian, machine SH.
  EXPECT_EQ(object.substr(0, 6), std::string("\x7F"
                                             "ELF\x01\x02",
                                             6));
  EXPECT_EQ(object.substr(0x12, 2), std::string("\x00\x2A", 2));
  EXPECT_NE(object.find(std::string("\x80\x02\x00\x70\x00\x00\x02\x72h'12", 12)),
            std::string::npos);
  EXPECT_FALSE(FileExists(dir.File("lib/VramClear.OBJ.part")));
}

TEST(ToolPrograms, CompilerSaysOnceThatItCompilesAtO0AndReportsErrorsInOneForm) {
  TTempDir dir;
  dir.Write("INCLUDE/add.h", "int Add(int a, int b);\n");
  dir.Write("ADD.CPP",
            "extern \"C\" {\n#include \"add.h\"\n}\nint Add(int a, int b) { return a + b; }\n");
  TProgramRun run = RunToolProgram(
      "shcpp", dir.Path(), {"ADD.CPP", "-object=ADD.OBJ", "-include=INCLUDE", "-optimize=1"});
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(CountOf(run.output, "shcpp: -optimize=1 compiled at -O0: "), 1u) << run.output;
  EXPECT_EQ(CountOf(run.output, "\n"), 1u) << run.output;
  const std::string object = ReadFileBytes(dir.File("ADD.OBJ"));
  EXPECT_NE(object.find(std::string("Add\0", 4)), std::string::npos) << "C symbols keep their name";

  // A failing compile leaves the object it had.
  dir.Write("ADD.CPP", "int Add(int a) { return a + missing; }\n");
  run = RunToolProgram("shcpp", dir.Path(), {"ADD.CPP", "-object=ADD.OBJ", "-optimize=0"});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.output, "ADD.CPP(1): error: 'missing' was not declared in this scope\n");
  EXPECT_EQ(ReadFileBytes(dir.File("ADD.OBJ")), object);
  EXPECT_FALSE(FileExists(dir.File("ADD.OBJ.part")));

  // C by extension, and -lang= over it.
  dir.Write("PLAIN.C", "int new = 1;\n");
  run = RunToolProgram("shcpp", dir.Path(), {"PLAIN.C"});
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_TRUE(FileExists(dir.File("PLAIN.OBJ")));
  run = RunToolProgram("shcpp", dir.Path(), {"PLAIN.C", "-lang=cpp"});
  EXPECT_EQ(run.exitCode, 1u) << run.output;
}

TEST(ToolPrograms, WrongInvocationsFailWithAClearMessage) {
  TTempDir dir;
  dir.Write("A.SRC", "  nop\n");
  const auto failure = [&](const std::string& tool, const std::vector<std::string>& options) {
    return RunToolProgram(tool, dir.Path(), options);
  };
  TProgramRun run = failure("asmsh", {"A.SRC", "-optimize=1"});
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_EQ(run.output, "TEMP.TXT(2): error: unknown option -optimize=1\n");
  run = failure("asmsh", {"A.SRC", "-cpu=sh3"});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.output,
            "TEMP.TXT(2): error: -cpu=sh3 is not supported; the tools make SH4A "
            "code without FPU (-cpu=sh4a)\n");
  run = failure("asmsh", {"A.SRC", "-endian=little"});
  EXPECT_EQ(run.exitCode, 1u);
  run = failure("shcpp", {"MISSING.CPP"});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.output, "shcpp(0): error: source file \"MISSING.CPP\" not found\n");
  run = failure("shcpp", {"A.SRC", "-optimize=2"});
  EXPECT_EQ(run.exitCode, 1u);
  run = failure("optlnk", {"-input=A.OBJ"});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.output, "optlnk(0): error: no output file given (-output=FILE)\n");
  run = failure("optlnk", {"-form=image", "-output=X"});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.output,
            "optlnk(0): error: -form=image is not supported; the forms are absolute, binary and "
            "library\n");
}

TEST(ToolPrograms, LibrariesAreCreatedUpdatedAndGroomed) {
  TTempDir dir;
  for (const char* name : {"Alpha", "Beta", "Gamma"}) {
    dir.Write(std::string(name) + ".SRC",
              std::string("  .text\n  .global ") + name + "\n" + name + ":\n  rts\n  nop\n");
    Translate(dir.Path(), std::string(name) + ".SRC", std::string(name) + ".OBJ");
  }
  // The library step's two forms: the first object on the command line...
  TProgramRun run = RunToolProgram("optlnk", dir.Path(), {"-form=library", "-output=\"T.LIB\""},
                                   {"Alpha.OBJ", "-SUB=TEMP.TXT"});
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  // ...and the later ones as options, replacing a member of the same name.
  for (const char* name : {"Beta", "Gamma", "Alpha"}) {
    run = RunToolProgram("optlnk", dir.Path(),
                         {"-library=\"T.LIB\"", std::string("-replace=\"") + name + ".OBJ\"",
                          "-form=library", "-output=\"T.LIB\""});
    ASSERT_EQ(run.exitCode, 0u) << run.output;
  }
  EXPECT_EQ(Members(dir.File("T.LIB")),
            (std::vector<std::string>{"Alpha.OBJ", "Beta.OBJ", "Gamma.OBJ"}));

  // Grooming: all options on the command line, the items joined by ",".
  run = RunToolProgram(
      "optlnk", dir.Path(), {},
      {"-form=library", "-library=T.LIB", "-output=T.LIB", "-delete=ALPHA,gamma,Delta"});
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(run.output, "optlnk(0): warning: the library holds no module Delta\n");
  EXPECT_EQ(Members(dir.File("T.LIB")), std::vector<std::string>{"Beta.OBJ"});

  run = RunToolProgram("optlnk", dir.Path(),
                       {"-form=library", "-library=NONE.LIB", "-output=T.LIB", "-input=Beta.OBJ"});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_EQ(run.output, "optlnk(0): error: library \"NONE.LIB\" not found\n");
}

TEST(ToolPrograms, LinkerPutsTheEntryFirstAndRefusesAnImageThatDoesNot) {
  TTempDir dir;
  dir.Write("START.SRC",
            "  .section .text.entry, \"ax\"\n  .global start\nstart:\n  mov.l 1f, r0\n"
            "  jmp @r0\n  nop\n  .align 2\n1: .long work\n");
  dir.Write("WORK.C", "int counter = 5;\nint work(void) { return counter; }\n");
  Translate(dir.Path(), "START.SRC", "START.OBJ");
  Translate(dir.Path(), "WORK.C", "WORK.OBJ");
  // The start-up given last still comes first.
  TProgramRun run = RunToolProgram(
      "optlnk", dir.Path(),
      {"-input WORK.OBJ", "-input START.OBJ", "-entry=start", "-form=binary", "-output=P.BIN"});
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  const std::string image = ReadFileBytes(dir.File("P.BIN"));
  ASSERT_GE(image.size(), 12u);
  EXPECT_EQ(image.substr(0, 2), std::string("\xD0\x01", 2));  // mov.l 1f, r0
  // The data's initial value is stored in the image, behind the code.
  EXPECT_EQ(image.substr(image.size() - 4), std::string("\0\0\0\5", 4));

  run = RunToolProgram(
      "optlnk", dir.Path(),
      {"-input START.OBJ", "-input WORK.OBJ", "-entry=work", "-form=binary", "-output=Q.BIN"});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.output.find("error: the entry work is not the first instruction of the image"),
            std::string::npos)
      << run.output;
  EXPECT_FALSE(FileExists(dir.File("Q.BIN")));

  run = RunToolProgram("optlnk", dir.Path(), {"-input START.OBJ", "-output=R.ELF"});
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.output.find("START.OBJ(0): error: undefined reference to 'work'"),
            std::string::npos)
      << run.output;
}

}  // namespace
}  // namespace tessel::test

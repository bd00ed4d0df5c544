// The cross tools' messages in the one form the build log filters by.

#include "toolchain/diagnostics.h"

#include <gtest/gtest.h>

namespace tessel::toolchain {
namespace {

TEST(Diagnostics, CompilerAssemblerAndLinkerMessagesTakeOneForm) {
  const std::string compiler =
      "/sdk/Projects/DEMO/DEMO.CPP: In function 'int main()':\n"
      "/sdk/Projects/DEMO/DEMO.CPP:12:5: error: 'y' was not declared in this scope\n"
      "/sdk/Projects/DEMO/DEMO.CPP:14:9: warning: unused variable \xE2\x80\x98z\xE2\x80\x99 "
      "[-Wunused-variable]\n"
      "In file included from /sdk/Projects/DEMO/DEMO.CPP:3:\n"
      "/sdk/INCLUDE/screen.h:2:1: note: declared here\n"
      "/sdk/X.CPP:1:10: fatal error: nothere.h: No such file or directory\n"
      "compilation terminated.\n";
  EXPECT_EQ(ConvertDiagnostics(compiler, "shcpp", true),
            (std::vector<std::string>{
                "/sdk/Projects/DEMO/DEMO.CPP(12): error: 'y' was not declared in this scope",
                "/sdk/Projects/DEMO/DEMO.CPP(14): warning: unused variable 'z' [-Wunused-variable]",
                "/sdk/INCLUDE/screen.h(2): note: declared here",
                "/sdk/X.CPP(1): error: nothere.h: No such file or directory"}));

  const std::string assembler =
      "/sdk/LIB/TEMP/VramClear.SRC: Assembler messages:\n"
      "/sdk/LIB/TEMP/VramClear.SRC:9: Error: unknown opcode\n"
      "/sdk/LIB/TEMP/VramClear.SRC:10: Warning: odd alignment\n";
  EXPECT_EQ(ConvertDiagnostics(assembler, "asmsh", true),
            (std::vector<std::string>{"/sdk/LIB/TEMP/VramClear.SRC(9): error: unknown opcode",
                                      "/sdk/LIB/TEMP/VramClear.SRC(10): warning: odd alignment"}));

  const std::string linker =
      "/usr/bin/sh4-linux-gnu-ld: /sdk/OBJ/DEMO.OBJ: in function `main':\n"
      "DEMO.CPP:(.text+0x1c): undefined reference to `Missing'\n"
      "sh4-linux-gnu-ld: START.OBJ: in function `start':\n"
      "(.text.entry+0x8): undefined reference to `work'\n"
      "/sdk/Projects/DEMO/SHAPES.CPP:20: undefined reference to `Other'\n"
      "/usr/bin/sh4-linux-gnu-ld: cannot find /sdk/LIB/X.LIB: No such file or directory\n"
      "sh4-linux-gnu-ld: warning: cannot find entry symbol start; defaulting to 00300000\n";
  EXPECT_EQ(ConvertDiagnostics(linker, "optlnk", true),
            (std::vector<std::string>{
                "DEMO.CPP(0): error: undefined reference to 'Missing'",
                "START.OBJ(0): error: undefined reference to 'work'",
                "/sdk/Projects/DEMO/SHAPES.CPP(20): error: undefined reference to 'Other'",
                "optlnk(0): error: cannot find /sdk/LIB/X.LIB: No such file or directory",
                "optlnk(0): warning: cannot find entry symbol start; defaulting to 00300000"}));
}

TEST(Diagnostics, MessagesWithoutSeverityTakeItFromTheOutcome) {
  EXPECT_EQ(ConvertDiagnostic("something odd", "optlnk", true), "optlnk(0): error: something odd");
  EXPECT_EQ(ConvertDiagnostic("something odd\r", "optlnk", false),
            "optlnk(0): warning: something odd");
  EXPECT_EQ(ConvertDiagnostic("   ", "optlnk", true), "");
  EXPECT_EQ(ConvertDiagnostic("cc1plus: warning: option ignored", "shcpp", true),
            "shcpp(0): warning: option ignored");
  // A colon in a message is no place.
  EXPECT_EQ(ConvertDiagnostic("error: bad value: 12: x", "asmsh", true),
            "asmsh(0): error: bad value: 12: x");
}

}  // namespace
}  // namespace tessel::toolchain

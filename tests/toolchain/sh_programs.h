#pragma once
// Running the tool programs and qemu-sh4eb from tests, the way the build
// runs a tool: options in TEMP.TXT, output captured in MyOutPut.TXT.

#include <cstdint>
#include <string>
#include <vector>

namespace tessel::test {

struct TProgramRun {
  uint32_t exitCode = 0;
  std::string output;
};

// Runs asmsh, shcpp or optlnk in `dir` with `options` as the lines of
// TEMP.TXT (none written when empty) and `args` on the command line.
TProgramRun RunToolProgram(const std::string& tool, const std::string& dir,
                           const std::vector<std::string>& options,
                           const std::vector<std::string>& args = {"-SUB=TEMP.TXT"});

// Runs an SH program (ELF) under qemu-sh4eb, at most a minute.
TProgramRun RunOnQemu(const std::string& elf, const std::string& dir);

// Assembles (.SRC) or compiles (.C, .CPP) `source` into `object` with the
// tool programs; fails the test when the tool fails.
void Translate(const std::string& dir, const std::string& source, const std::string& object,
               const std::vector<std::string>& extraOptions = {});

// Links objects into an ELF program entered at harness_start.
void LinkHarness(const std::string& dir, const std::vector<std::string>& objects,
                 const std::string& output);

}  // namespace tessel::test

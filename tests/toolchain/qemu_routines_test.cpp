// The example SDK's division helpers and MemFill, and the compiler-fault
// guard, run on an emulated SH4 (qemu-sh4eb) in a tiny user-mode harness
// built with the tool programs; every result is compared with the host's.

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <sstream>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"
#include "tests/toolchain/sh_programs.h"
#include "toolchain/cross_tools.h"
#include "toolchain/optimize_table.h"

namespace tessel::test {
namespace {

const std::string kQemu = TESSEL_QEMU_SOURCES;
const std::string kToolSources = std::string(TESSEL_EXAMPLE_SDK) + "/LIB/SOURCE";

// Edge values: zero, one, minus one, the extremes of int and unsigned, and
// some in between that exercise the remainder's overflow on its shift.
const std::vector<uint32_t> kValues = {0,          1,          2,          3,          7,
                                       10,         0x7FFFFFFF, 0x80000000, 0x80000001, 0xFFFFFFFF,
                                       0xFFFFFFFE, 0xFFFFFFF9, 0x12345678, 0xFFFF,     0x10000,
                                       0xC0000000, 1000000007};
// offset, count, value of a MemFill into 16 bytes.
const std::vector<std::array<int, 3>> kFills = {{0, 0, 0x11}, {0, 1, 0x22}, {3, 5, 0x1FF},
                                                {1, 15, -1},  {0, 16, 0},   {4, -3, 0x44}};

std::vector<std::vector<std::string>> Lines(const std::string& output) {
  std::vector<std::vector<std::string>> lines;
  std::istringstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::vector<std::string> fields;
    std::string word;
    while (words >> word) fields.push_back(word);
    if (!fields.empty()) lines.push_back(fields);
  }
  return lines;
}

uint32_t Hex(const std::string& text) {
  return static_cast<uint32_t>(std::stoul(text, nullptr, 16));
}

std::string ValuesHeader() {
  std::string text = "static const unsigned kValues[] = {";
  for (uint32_t value : kValues) text += std::to_string(value) + "u, ";
  text += "};\nstatic const int kFills[][3] = {";
  for (const auto& fill : kFills) {
    text += "{" + std::to_string(fill[0]) + ", " + std::to_string(fill[1]) + ", " +
            std::to_string(fill[2]) + "}, ";
  }
  return text + "};\n";
}

TEST(QemuRoutines, DivisionHelpersAndMemFillGiveTheHostsResultsAndKeepTheRegisters) {
  TTempDir dir;
  WriteFileBytes(dir.File("VALUES.H"), ValuesHeader());
  WriteFileBytes(dir.File("PRINT.H"), ReadFileBytes(kQemu + "/PRINT.H"));
  WriteFileBytes(dir.File("HELPERS.C"), ReadFileBytes(kQemu + "/HELPERS.C"));
  Translate(dir.Path(), kQemu + "/HARNESS.SRC", "HARNESS.OBJ");
  Translate(dir.Path(), dir.File("HELPERS.C"), "HELPERS.OBJ");
  for (const char* routine : {"__sdivsi3_i4i", "__udivsi3_i4i", "MEMFILL"}) {
    Translate(dir.Path(), kToolSources + "/" + routine + ".SRC", std::string(routine) + ".OBJ");
  }
  LinkHarness(
      dir.Path(),
      {"HARNESS.OBJ", "HELPERS.OBJ", "__sdivsi3_i4i.OBJ", "__udivsi3_i4i.OBJ", "MEMFILL.OBJ"},
      "HELPERS.ELF");
  const TProgramRun run = RunOnQemu(dir.File("HELPERS.ELF"), dir.Path());
  ASSERT_EQ(run.exitCode, 0u) << run.output;

  size_t divisions = 0;
  size_t fills = 0;
  bool ended = false;
  for (const std::vector<std::string>& line : Lines(run.output)) {
    const std::string& tag = line[0];
    if (tag == "END") {
      ended = true;
      continue;
    }
    if (tag == "F") {
      ASSERT_EQ(line.size(), 20u);
      const int offset = static_cast<int>(Hex(line[1]));
      const int count = static_cast<int>(Hex(line[2]));
      const int value = static_cast<int>(Hex(line[3]));
      for (int i = 0; i < 16; ++i) {
        const bool filled = i >= offset && i < offset + count;
        EXPECT_EQ(Hex(line[4 + i]), filled ? static_cast<uint32_t>(value & 0xFF) : 0xEEu)
            << "fill " << offset << "," << count << " byte " << i;
      }
      ++fills;
      continue;
    }
    ASSERT_EQ(line.size(), 5u);
    const uint32_t a = Hex(line[1]);
    const uint32_t b = Hex(line[2]);
    const uint32_t x = Hex(line[3]);
    const uint32_t y = Hex(line[4]);
    const int32_t sa = static_cast<int32_t>(a);
    const int32_t sb = static_cast<int32_t>(b);
    const std::string what = tag + " " + line[1] + " " + line[2];
    if (tag == "U") {
      EXPECT_EQ(x, a / b) << what;
      EXPECT_EQ(y, 0u) << what << ": a register the helper must keep changed";
    } else if (tag == "V") {
      EXPECT_EQ(x, a / b) << what;
      EXPECT_EQ(y, a % b) << what;
    } else if (tag == "S") {
      EXPECT_EQ(static_cast<int32_t>(x), sa / sb) << what;
      EXPECT_EQ(y, 0u) << what << ": a register the helper must keep changed";
    } else if (tag == "D") {
      EXPECT_EQ(static_cast<int32_t>(x), sa / sb) << what;
      EXPECT_EQ(static_cast<int32_t>(y), sa % sb) << what;
    } else {
      ADD_FAILURE() << "unexpected line: " << what;
    }
    ++divisions;
  }
  EXPECT_TRUE(ended) << run.output;
  // Every pair with a non-zero divisor: U and V lines, S and D lines but
  // for INT_MIN / -1.
  const size_t pairs = kValues.size() * (kValues.size() - 1);
  EXPECT_EQ(divisions, 4 * pairs - 2);
  EXPECT_EQ(fills, kFills.size());
}

// The reproducers of the compiler's fault, run as the guard does.
std::map<std::string, std::pair<uint32_t, uint32_t>> RunGuard(const std::string& dir,
                                                              const std::string& reproObject) {
  Translate(dir, kQemu + "/HARNESS.SRC", "HARNESS.OBJ");
  WriteFileBytes(dir + "/PRINT.H", ReadFileBytes(kQemu + "/PRINT.H"));
  WriteFileBytes(dir + "/GUARD.C", ReadFileBytes(kQemu + "/GUARD.C"));
  Translate(dir, dir + "/GUARD.C", "GUARD.OBJ");
  LinkHarness(dir, {"HARNESS.OBJ", "GUARD.OBJ", reproObject}, "GUARD.ELF");
  const TProgramRun run = RunOnQemu(dir + "/GUARD.ELF", dir);
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  std::map<std::string, std::pair<uint32_t, uint32_t>> results;
  for (const std::vector<std::string>& line : Lines(run.output)) {
    if (line.size() == 3) results[line[0]] = {Hex(line[1]), Hex(line[2])};
  }
  EXPECT_NE(run.output.find("END"), std::string::npos) << run.output;
  return results;
}

// Compiled exactly as shcpp compiles them at the highest level it accepts,
// the reproducers give the right results. Raising a compiler's entry in the
// optimisation table makes this test prove the new level.
TEST(QemuRoutines, CompilerFaultReproducersAreRightAsShcppCompilesThem) {
  TTempDir dir;
  Translate(dir.Path(), kQemu + "/REPRO.C", "REPRO.OBJ", {"-optimize=1"});
  const auto results = RunGuard(dir.Path(), "REPRO.OBJ");
  ASSERT_EQ(results.size(), 6u);
  for (const auto& [name, values] : results) {
    EXPECT_EQ(values.first, values.second) << name;
  }
}

// The reproducers still catch the fault: compiled directly at -O1 by a
// compiler the table does not trust at that level, some result is wrong.
// Should this fail, the compiler has been mended: prove it and raise its
// entry in the table.
TEST(QemuRoutines, CompilerFaultReproducersCatchTheFaultAtO1) {
  toolchain::TRunResult version =
      toolchain::RunCrossTool(toolchain::kCrossGcc, {"-dumpfullversion"});
  ASSERT_EQ(version.exitCode, 0);
  version.output.erase(version.output.find_last_not_of("\r\n") + 1);
  if (toolchain::EffectiveOptimizeLevel(version.output, 1) == 1) {
    GTEST_SKIP() << "the table trusts sh4-linux-gnu-gcc " << version.output << " at -O1";
  }
  TTempDir dir;
  const toolchain::TRunResult compiled = toolchain::RunCrossTool(
      toolchain::kCrossGcc, {"-c", "-x", "c", "-mb", "-m4a-nofpu", "-O1", "-ffreestanding",
                             "-fno-pic", kQemu + "/REPRO.C", "-o", dir.File("REPRO_O1.OBJ")});
  ASSERT_EQ(compiled.exitCode, 0) << compiled.output;
  const auto results = RunGuard(dir.Path(), "REPRO_O1.OBJ");
  size_t wrong = 0;
  for (const auto& [name, values] : results) wrong += values.first != values.second ? 1 : 0;
  EXPECT_GT(wrong, 0u) << "no reproducer shows the fault at -O1";
}

}  // namespace
}  // namespace tessel::test

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "support/Base_00.h"
#include "tests/patcher/patch_fixture.h"

using namespace tessel;
using namespace tessel::test;

namespace {

template <size_t N>
std::string Pick(std::mt19937& rng, const char* const (&pool)[N]) {
  return pool[std::uniform_int_distribution<size_t>(0, N - 1)(rng)];
}

}  // namespace

// Random scripts over every command: a run may end with an error text or an
// exception of the patcher, but never crashes, never touches the source and
// never writes a file the script does not name.
TEST_F(TPatchTest, RandomScriptsStayInsideTheirFiles) {
  // Hundreds of target copies in a scratch directory need no trip to the disk.
  SetSyncBeforeReplace(false);
  struct TSyncAgain {
    ~TSyncAgain() { SetSyncBeforeReplace(true); }
  } syncAgain;
  std::mt19937 rng(20240607);
  std::string source;
  for (int i = 0; i < 1500; ++i) source += static_cast<char>(rng());
  dir.Write("s.bin", source);

  static const char* const kNumbers[] = {"0",           "1",         "-1",  "7",         "$10",
                                         "$FF",         "x",         "",    "$7FFFFFFF", "1000",
                                         "-2147483648", "$FFFFFFFF", "  3", "FILESIZE",  "$400"};
  static const char* const kCounts[] = {"0", "1", "3", "-1", "17", "", "x", "$20"};
  static const char* const kTexts[] = {"A", "\"q\"", "hello world", "", "=", "gq~", "\x81\xD8"};
  static const char* const kDelims[] = {",", ";", "", "<>", ",,"};
  static const char* const kFlags[] = {"TRUE", "FALSE", "true", "1"};
  static const char* const kTargets[] = {"t.bin", "u.bin"};
  static const char* const kSources[] = {"s.bin", "nothere.bin", ""};
  const std::string kOutputs[] = {Path("c.src"), Path("l.txt"), ""};

  const std::set<std::string> allowed = {"s.bin", "t.bin", "u.bin",   "a.bmp",
                                         "l.txt", "c.src", "test.pat"};
  int errors = 0, exceptions = 0;
  for (int run = 0; run < 300; ++run) {
    for (const char* target : kTargets) SetReadOnly(Path(target), false);
    std::vector<std::string> lines = {"MAXSIZE=4096", DirectoryLine(), "SOURCEFILE=s.bin",
                                      "TARGETFILE=t.bin"};
    const int count = std::uniform_int_distribution<int>(1, 8)(rng);
    for (int i = 0; i < count; ++i) {
      auto n = [&] { return Pick(rng, kNumbers); };
      const std::string d = ",";
      switch (std::uniform_int_distribution<int>(0, 29)(rng)) {
        case 0:
          lines.push_back("GOTO=" + n());
          break;
        case 1:
          lines.push_back("INSERTSTRING=" + Pick(rng, kTexts));
          break;
        case 2:
          lines.push_back("INSERTCHAR=" + n() + d + Pick(rng, kCounts));
          break;
        case 3:
          lines.push_back("INSERTLIST=" + n() + d + n() + d + n());
          break;
        case 4:
          lines.push_back("INSERTFILESIZE");
          break;
        case 5:
          lines.push_back("INSERTTIME=" + std::string("yyyy'x'ampm c tt"));
          break;
        case 6:
          lines.push_back("INSERTFILE=" + Pick(rng, kSources) + d + Pick(rng, kCounts) + d + n() +
                          d + kOutputs[rng() % 3]);
          break;
        case 7:
          lines.push_back("COPY=" + Pick(rng, kCounts));
          break;
        case 8:
          lines.push_back("PASTE");
          break;
        case 9:
          lines.push_back("CHECKSTRING=" + n() + d + Pick(rng, kTexts));
          break;
        case 10:
          lines.push_back("CHECKLIST=" + n() + d + n());
          break;
        case 11:
          lines.push_back("CHKSUM_INIT=" + n());
          break;
        case 12:
          lines.push_back("CHKSUM_CALC=" + n() + d + n());
          break;
        case 13:
          lines.push_back("CHKSUM_SAVE=" + n());
          break;
        case 14:
          lines.push_back("DISPLAYADDR=" + n());
          break;
        case 15:
          lines.push_back("PRINTSTRING=" + n() + d + n() + d + Pick(rng, kTexts));
          break;
        case 16:
          lines.push_back("TESTBITMAP=a.bmp");
          break;
        case 17:
          lines.push_back("MAKECSOURCE=" + kOutputs[0] + d + n() + d + n());
          break;
        case 18:
          lines.push_back("ADJUSTMENT=" + n());
          break;
        case 19:
          lines.push_back("CODEOFFSET=" + n());
          break;
        case 20:
          lines.push_back("FILEOFFSET=" + n());
          break;
        case 21:
          lines.push_back("DELIM=" + Pick(rng, kDelims));
          break;
        case 22:
          lines.push_back("BIGENDIAN=" + Pick(rng, kFlags));
          break;
        case 23:
          lines.push_back("INVERT=" + Pick(rng, kFlags));
          break;
        case 24:
          lines.push_back("TARGETLOCK=" + Pick(rng, kFlags));
          break;
        case 25:
          lines.push_back("TARGETUNLOCK=" + Pick(rng, kFlags));
          break;
        case 26:
          lines.push_back("SOURCEFILE=" + Pick(rng, kSources));
          break;
        case 27:
          lines.push_back("TARGETFILE=" + Pick(rng, kTargets));
          break;
        case 28:
          lines.push_back("VARIABLES=AUTOEXPAND");
          break;
        default:
          lines.push_back("AUTOEXPAND=" + Pick(rng, kFlags));
          break;
      }
    }
    std::string error, targetName;
    bool threw = false;
    {
      TPatcher patcher;
      try {
        RunWith(patcher, lines);
      } catch (const std::runtime_error&) {
        threw = true;
      }
      error = patcher.Error();
      targetName = patcher.TargetName();
    }
    exceptions += threw;
    if (!threw && !IsBlank(error)) {
      ++errors;
      // A failed run's target is gone, unless it is a protected file that
      // was never unlocked.
      const int64_t attr = FileGetAttr(targetName);
      EXPECT_TRUE(attr < 0 || (attr & faReadOnly)) << error;
    }
    for (const DirEntry& entry : ListDirectory(dir.Path() + "/*")) {
      EXPECT_EQ(allowed.count(entry.name), 1u) << entry.name;
    }
    ASSERT_EQ(dir.Read("s.bin"), source);
    for (const char* target : kTargets) {
      EXPECT_LE(FileSizeOf(Path(target)), 20000) << target;
    }
    if (HasFailure()) {
      std::string script;
      for (const std::string& line : lines) script += line + "\n";
      FAIL() << "run " << run << ":\n" << script;
    }
  }
  // The mix reaches every way a run can end.
  EXPECT_GT(errors, 10);
  EXPECT_GT(exceptions, 10);
  EXPECT_GT(300 - errors - exceptions, 10);
}

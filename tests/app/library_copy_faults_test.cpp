// The copy of the calculator maker's library before grooming, under failing
// file systems: each I/O call in turn fails; the add-in library holds its
// previous content or the whole copy, the maker's library is never touched,
// and a copy that did not get through says why, naming a file.

#include <gtest/gtest.h>

#include "app/prebuild_checks.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/memory_file_system.h"
#include "tests/support/fault_walk.h"

namespace tessel::test {
namespace {

constexpr int64_t LongAgo = 1'000'000'000'000'000'000;  // 2001
const char* const Source = "/SDK/BIN/fx9860G_library.lib";
const char* const Target = "/SDK/LIB/fxCG_library.lib";

struct TOutcome {
  TFileMap before;
  TFileMap after;
  std::string failed;
  bool dated = false;  // the copy has the source's date
};

TOutcome Copy(const TFault* fault, bool withPrevious) {
  std::string library;
  for (int i = 0; i < 200000; ++i) library += static_cast<char>(i % 251);
  TMemoryFileSystem fs;
  fs.AddFile(Source, library, LongAgo);
  fs.AddDirectory("/SDK/LIB");
  if (withPrevious) fs.AddFile(Target, "the previous groomed library");
  TFileSystemScope scope(fs);
  TOutcome outcome;
  outcome.before = FilesOf(fs);
  fs.ResetCounts();
  if (fault != nullptr) fs.FailAt(fault->kind, fault->nth, fault->error);
  outcome.failed =
      CopyLibrary("C:\\SDK\\BIN\\fx9860G_library.lib", "C:\\SDK\\LIB\\fxCG_library.lib");
  const bool reached = fs.FaultReached();
  fs.ClearFaults();
  TFileInfo info;
  outcome.dated = fs.Stat(Target, info) && info.writeTime == LongAgo;
  outcome.after = FilesOf(fs);
  if (fault != nullptr && !reached) outcome.after.clear();
  return outcome;
}

class TLibraryCopyFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = DriveRoot();
    SetDriveRoot("/");
  }
  void TearDown() override { SetDriveRoot(oldRoot_); }

 private:
  std::string oldRoot_;
};

TEST_F(TLibraryCopyFaultsTest, ALibraryCopyFailingAtAnyCall) {
  for (const bool previous : {true, false}) {
    SCOPED_TRACE(previous ? "over a previous library" : "a first library");
    const TOutcome expected = Copy(nullptr, previous);
    ASSERT_EQ(expected.failed, "");
    ASSERT_EQ(expected.after.at(Target), expected.after.at(Source));
    EXPECT_TRUE(expected.dated);

    const int runs = WalkFaults(AllFsCalls(), [&](const TFault& fault) {
      const TOutcome got = Copy(&fault, previous);
      if (got.after.empty()) return false;
      for (const auto& [path, bytes] : got.after) {
        EXPECT_EQ(path.find("/."), std::string::npos) << "a temporary is left: " << path;
      }
      EXPECT_EQ(NeitherOldNorNew(got.before, expected.after, got.after, nullptr), "");
      const bool complete = got.after == expected.after;
      // A date that could not be set leaves a good library: no failure.
      if (!complete) {
        EXPECT_NE(got.failed, "") << "an incomplete copy without a word";
      }
      if (!got.failed.empty()) {
        EXPECT_NE(got.failed.find("C:\\SDK\\"), std::string::npos) << got.failed;
      }
      return true;
    });
    EXPECT_GT(runs, 8);
  }
}

}  // namespace
}  // namespace tessel::test

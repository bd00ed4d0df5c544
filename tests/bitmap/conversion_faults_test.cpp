// Both bitmap converters under failing file systems: each I/O call in turn
// fails; the outputs hold their old content or the new one whole, the
// bitmap is never touched, and a conversion that did not write everything
// raises an error naming a file.

#include <gtest/gtest.h>

#include "bitmap/uBitmap.h"
#include "bitmap/uCGI.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/memory_file_system.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/fault_walk.h"

namespace tessel::test {
namespace {

struct TOutcome {
  TFileMap before;
  TFileMap after;
  std::string result;  // the converter's check text
  std::string error;   // the exception's text
};

class TConversionFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = DriveRoot();
    SetDriveRoot("/");
  }
  void TearDown() override { SetDriveRoot(oldRoot_); }

  // Converts `argument` with `convert` on a file system holding the bitmap
  // and the outputs of an earlier conversion.
  template <class TConvert>
  static TOutcome Convert(const TFault* fault, TConvert&& convert, const std::string& argument,
                          const std::string& bitmap, const TFileMap& earlier) {
    TMemoryFileSystem fs;
    fs.AddFile("/B/PIC.BMP", bitmap);
    for (const auto& [path, bytes] : earlier) fs.AddFile(path, bytes);
    TFileSystemScope scope(fs);
    TOutcome outcome;
    outcome.before = FilesOf(fs);
    fs.ResetCounts();
    if (fault != nullptr) fs.FailAt(fault->kind, fault->nth, fault->error);
    try {
      outcome.result = convert(argument);
    } catch (const EFileError& e) {
      outcome.error = e.what();
    }
    outcome.after = FilesOf(fs);
    if (fault != nullptr && !fs.FaultReached()) outcome.after.clear();
    return outcome;
  }

  template <class TConvert>
  static int Walk(TConvert&& convert, const std::string& bitmap, const TFileMap& earlier) {
    const std::string argument = "C:\\B\\PIC.BMP";
    const TOutcome expected = Convert(nullptr, convert, argument, bitmap, earlier);
    EXPECT_EQ(expected.result, "");
    EXPECT_EQ(expected.error, "");
    for (const auto& [path, bytes] : earlier) EXPECT_NE(expected.after.at(path), bytes) << path;

    return WalkFaults(AllFsCalls(), [&](const TFault& fault) {
      const TOutcome got = Convert(&fault, convert, argument, bitmap, earlier);
      if (got.after.empty()) return false;
      for (const auto& [path, bytes] : got.after) {
        EXPECT_EQ(path.find("/."), std::string::npos) << "a temporary is left: " << path;
      }
      EXPECT_EQ(got.after.at("/B/PIC.BMP"), bitmap);
      EXPECT_EQ(NeitherOldNorNew(got.before, expected.after, got.after, nullptr), "");
      // Less than both outputs new is never passed over in silence: a
      // look-up that fails reads as a missing bitmap, which is no error.
      const bool complete = got.after == expected.after;
      if (!complete && fault.kind != TFsCall::Stat) {
        EXPECT_NE(got.error, "") << "an incomplete conversion without an error";
      }
      if (!got.error.empty()) {
        EXPECT_NE(got.error.find("C:\\B\\PIC"), std::string::npos) << got.error;
      }
      return true;
    });
  }

 private:
  std::string oldRoot_;
};

TEST_F(TConversionFaultsTest, AnIconConversionFailingAtAnyCall) {
  TBmpLayout layout = PlainBmp(kCgiWidth, kCgiHeight, {{255, 0, 0}, {0, 0, 255}});
  for (size_t i = 0; i < layout.pixels.size(); i += 3) layout.pixels[i] = 1;
  const int runs = Walk(Bmp256ToCgi, BuildBmp(layout), {{"/B/PIC.CGI", "an older icon"}});
  EXPECT_GT(runs, 5);
}

TEST_F(TConversionFaultsTest, ACSourceConversionFailingAtAnyCall) {
  TBmpLayout layout = PlainBmp(6, 3, {{255, 255, 255}, {0, 128, 0}});
  layout.pixels = {0, 1, 0, 1, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 1, 1, 0, 1};
  const int runs =
      Walk(BmpToCSource, BuildBmp(layout),
           {{"/B/PIC.CPP", "older 16-bit array"}, {"/B/PIC_8C.CPP", "older 8-colour"}});
  EXPECT_GT(runs, 8);
}

}  // namespace
}  // namespace tessel::test

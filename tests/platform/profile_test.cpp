#include "platform/profile.h"

#include <gtest/gtest.h>

#include "platform/memory_file_system.h"

using namespace tessel;

namespace {

// A profile file in a file system of its own.
class ProfileTest : public ::testing::Test {
 protected:
  ProfileTest() : use_(fs_) { fs_.AddDirectory("/p"); }
  std::string Bytes() const { return fs_.FileBytes(kFile).value_or("<none>"); }

  static constexpr const char* kFile = "/p/a.ini";
  TMemoryFileSystem fs_;

 private:
  TFileSystemScope use_;
};

}  // namespace

TEST_F(ProfileTest, ABatchWithoutChangesWritesNothing) {
  {
    TProfileBatch batch(kFile);
    batch.Update("S", {});
    batch.EraseSection("None");
    batch.Commit();
  }
  EXPECT_FALSE(fs_.HasFile(kFile));

  fs_.AddFile(kFile, "[S]\nK=1\n");
  fs_.ResetCounts();
  TProfileBatch batch(kFile);
  batch.Update("S", {});
  batch.Update("S", {{"Missing", std::nullopt}});
  batch.Commit();
  ProfileUpdate(kFile, "S", {});
  ProfileDeleteKey(kFile, "S", "missing");
  ProfileDeleteKey(kFile, "None", "K");
  ProfileEraseSection(kFile, "None");
  EXPECT_EQ(fs_.Calls(TFsCall::OpenWrite), 0);
  EXPECT_EQ(fs_.Calls(TFsCall::Rename), 0);
  EXPECT_EQ(Bytes(), "[S]\nK=1\n");
}

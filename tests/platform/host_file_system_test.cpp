#include "platform/host_file_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::TTempDir;

// A link in a listing counts as what it leads to; one that leads nowhere is
// no directory.
TEST(HostFileSystem, ListingsTellLinksByWhatTheyLeadTo) {
  TTempDir dir;
  dir.Write("d/sub/x", "");
  dir.Write("d/file", "");
  ASSERT_EQ(::symlink(dir.File("d/sub").c_str(), dir.File("d/to-sub").c_str()), 0);
  ASSERT_EQ(::symlink(dir.File("d/file").c_str(), dir.File("d/to-file").c_str()), 0);
  ASSERT_EQ(::symlink(dir.File("d/none").c_str(), dir.File("d/dangling").c_str()), 0);
  std::vector<std::string> listed;
  for (const DirEntry& entry : ListDirectory(dir.File("d") + "/*")) {
    listed.push_back(entry.name + (entry.isDirectory ? "/" : ""));
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"dangling", "file", "sub/", "to-file", "to-sub/"}));

  std::vector<THostEntry> entries;
  ASSERT_TRUE(RealFileSystem().List(dir.File("d"), entries));
  for (const THostEntry& entry : entries) {
    if (entry.name.compare(0, 3, "to-") == 0 || entry.name == "dangling") {
      EXPECT_TRUE(entry.kindUnknown) << entry.name;
    }
  }
}

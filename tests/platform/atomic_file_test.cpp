#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>

#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/fresh_file.h"
#include "platform/host_path.h"
#include "tests/support/kill_during.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::KillDuring;
using tessel::test::TTempDir;

namespace {

int ModeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// Entries of the directory, so a test can see that no temporary is left.
size_t EntryCount(const std::string& dir) { return ListDirectory(dir + "/*").size(); }

std::vector<std::string> EntryNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const DirEntry& entry : ListDirectory(dir + "/*")) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(FileIdentity, TheFileSystemDecidesWhatIsOneFile) {
  TTempDir dir;
  const std::string file = dir.Write("s.bin", "x");
  dir.Write("sub/other", "y");
  ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
  EXPECT_TRUE(SameFile("s.bin", ".\\s.bin"));
  EXPECT_TRUE(SameFile("s.bin", "sub\\..\\s.bin"));
  EXPECT_TRUE(SameFile("s.bin", file));
  EXPECT_TRUE(SameFile("S.BIN", dir.Path() + "\\S.Bin"));  // the mapping finds it in any case
  ASSERT_EQ(::link(file.c_str(), dir.File("hard.bin").c_str()), 0);
  ASSERT_EQ(::symlink(file.c_str(), dir.File("soft.bin").c_str()), 0);
  EXPECT_TRUE(SameFile("hard.bin", "s.bin"));
  EXPECT_TRUE(SameFile("soft.bin", "s.bin"));
  SetDriveRoot(dir.Path());
  EXPECT_TRUE(SameFile("C:\\s.bin", "s.bin"));
  SetDriveRoot("/");
  // Equal texts of a missing file, or two different files, are not one file.
  EXPECT_FALSE(SameFile("new.bin", "new.bin"));
  EXPECT_FALSE(SameFile("s.bin", "sub\\other"));
  ASSERT_EQ(::chdir("/"), 0);
}

TEST(AtomicFile, ReplacesWholeKeepsModeAndLeavesNothingBehind) {
  TTempDir dir;
  const std::string out = dir.Write("out.txt", "old");
  ASSERT_EQ(::chmod(out.c_str(), 0640), 0);
  WriteFileAtomic(out, "new content");
  EXPECT_EQ(dir.Read("out.txt"), "new content");
  EXPECT_EQ(ModeOf(out), 0640);
  EXPECT_EQ(EntryCount(dir.Path()), 1u);

  // Not committed: the old file stays, the temporary goes.
  {
    TAtomicFile file(out);
    file.File().Write("half");
  }
  EXPECT_EQ(dir.Read("out.txt"), "new content");
  EXPECT_EQ(EntryCount(dir.Path()), 1u);

  // A link stays a link; the file it names gets the content.
  dir.Write("real.txt", "r");
  ASSERT_EQ(::symlink(dir.File("real.txt").c_str(), dir.File("link.txt").c_str()), 0);
  WriteFileAtomic(dir.File("link.txt"), "through");
  EXPECT_EQ(dir.Read("real.txt"), "through");
  struct stat st;
  ASSERT_EQ(::lstat(dir.File("link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(AtomicFile, TheTemporaryIsAHiddenNameBesideTheOutputThatNeverClashes) {
  TTempDir dir;
  const std::string out = dir.Write("out.txt", "old");
  std::string temp;
  {
    TAtomicFile file(out);
    const auto names = EntryNames(dir.Path());
    ASSERT_EQ(names.size(), 2u);
    temp = names[0];
    EXPECT_EQ(names[1], "out.txt");
  }
  const std::string stem = ".out.txt." + std::to_string(::getpid()) + "-";
  ASSERT_EQ(temp.compare(0, stem.size(), stem), 0) << temp;
  ASSERT_EQ(temp.substr(temp.size() - 4), ".tmp");
  // A temporary left under the next name (a killed run of a process with
  // the same id) is not ours: the write takes another name and leaves it.
  const unsigned next = std::stoul(temp.substr(stem.size())) + 1;
  const std::string stale = stem + std::to_string(next) + ".tmp";
  dir.Write(stale, "stale");
  WriteFileAtomic(out, "new");
  EXPECT_EQ(dir.Read("out.txt"), "new");
  EXPECT_EQ(dir.Read(stale), "stale");
  EXPECT_EQ(EntryNames(dir.Path()), (std::vector<std::string>{stale, "out.txt"}));
}

TEST(AtomicFile, AMovedWriterCommitsItsOwnOutput) {
  TTempDir dir;
  const std::string first = dir.Write("first.txt", "first");
  const std::string second = dir.Write("second.txt", "second");
  TAtomicFile target(first);
  {
    TAtomicFile source(second);
    source.File().Write("moved");
    target = std::move(source);
  }
  EXPECT_EQ(target.Path(), second);
  target.Commit();
  EXPECT_EQ(dir.Read("second.txt"), "moved");
  EXPECT_EQ(dir.Read("first.txt"), "first");
  EXPECT_EQ(EntryNames(dir.Path()), (std::vector<std::string>{"first.txt", "second.txt"}));

  TAtomicFile built(TAtomicFile(dir.File("third.txt")));
  built.File().Write("third");
  built.Commit();
  EXPECT_EQ(dir.Read("third.txt"), "third");
  EXPECT_EQ(EntryCount(dir.Path()), 3u);
}

TEST(AtomicFile, RefusesReadOnlyOutputsAndDirectoriesWithTheOutputsName) {
  TTempDir dir;
  const std::string out = dir.Write("ro.txt", "keep");
  ASSERT_EQ(::chmod(out.c_str(), 0444), 0);
  try {
    WriteFileAtomic(out, "lost");
    FAIL() << "a read-only output was replaced";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + out + "\": Permission denied");
  }
  EXPECT_EQ(dir.Read("ro.txt"), "keep");

  dir.Write("locked/in.txt", "input");
  ASSERT_EQ(::chmod(dir.File("locked").c_str(), 0555), 0);
  EXPECT_THROW(WriteFileAtomic(dir.File("locked/out.txt"), "x"), EFileError);
  EXPECT_EQ(dir.Read("locked/in.txt"), "input");
  EXPECT_FALSE(FileExists(dir.File("locked/out.txt")));
  EXPECT_THROW(WriteFileAtomic(dir.File("missing/out.txt"), "x"), EFileError);
  EXPECT_THROW(WriteFileAtomic(dir.Path(), "x"), EFileError);
}

TEST(AtomicFile, AKillAtAnyMomentLeavesTheOldOrTheNewFile) {
  TTempDir dir;
  const std::string a(2 << 20, 'a'), b(2 << 20, 'b');
  const std::string out = dir.Write("big.bin", a);
  bool sawB = false;
  for (int delay = 0; delay < 40000; delay += 2000) {
    KillDuring([&](int round) { WriteFileAtomic(out, round % 2 == 0 ? b : a); }, delay);
    const std::string now = dir.Read("big.bin");
    ASSERT_TRUE(now == a || now == b) << "after " << delay << " us: " << now.size() << " bytes";
    sawB = sawB || now == b;
  }
  EXPECT_TRUE(sawB);
}

TEST(HostPathConfinement, PathsOutsideTheDirectoryMapToNothing) {
  TTempDir dir;
  dir.Write("box/in.txt", "x");
  const std::string box = dir.File("box");
  SetConfinement(box);
  EXPECT_EQ(HostPath(box + "/in.txt"), box + "/in.txt");
  EXPECT_EQ(HostPath(box + "\\sub\\..\\in.txt"), box + "/sub/../in.txt");
  EXPECT_EQ(HostPath(box + "/../box2/x"), "");
  EXPECT_EQ(HostPath("/etc/passwd"), "");
  EXPECT_EQ(HostPath(box + "/../../x"), "");
  EXPECT_FALSE(FileExists("/etc/passwd"));
  // Refused before anything is created, wherever the process stands.
  ASSERT_EQ(::chdir(box.c_str()), 0);
  try {
    TAtomicFile file(dir.File("out.txt"));
    ADD_FAILURE() << "a path outside the directory was opened";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + dir.File("out.txt") + "\": No such file or directory");
  }
  try {
    TFreshTextFile file(dir.File("out.txt"));
    ADD_FAILURE() << "a path outside the directory was opened";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + dir.File("out.txt") + "\": No such file or directory");
  }
  ASSERT_EQ(::chdir("/"), 0);
  SetConfinement("");
  EXPECT_EQ(EntryNames(box), std::vector<std::string>{"in.txt"});
  EXPECT_EQ(EntryNames(dir.Path()), std::vector<std::string>{"box"});
  EXPECT_EQ(HostPath("/etc/passwd"), "/etc/passwd");
}

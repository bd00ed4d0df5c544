#include "platform/host_path.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "platform/directory_handles.h"
#include "platform/executable.h"
#include "platform/file_system.h"
#include "platform/memory_file_system.h"
#include "platform/process.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::TTempDir;

namespace {

// Windows spelling of a path below the temp directory.
std::string Win(const TTempDir& dir, const std::string& rest) {
  std::string path = dir.Path() + "\\" + rest;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

// A file's write time set to a whole second, as the test needs it.
void SetTime(const std::string& path, time_t seconds) {
  const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

class DriveRootGuard {
 public:
  explicit DriveRootGuard(const std::string& root) : saved_(DriveRoot()) { SetDriveRoot(root); }
  ~DriveRootGuard() { SetDriveRoot(saved_); }

 private:
  std::string saved_;
};

}  // namespace

TEST(HostPath, ResolvesEachComponentWithoutRegardToCase) {
  TTempDir dir;
  dir.Write("Sdk/Lib/Add.ASM", "x");
  EXPECT_EQ(HostPath(Win(dir, "SDK\\LIB\\ADD.asm")), dir.File("Sdk/Lib/Add.ASM"));
  EXPECT_EQ(HostPath(Win(dir, "sdk\\lib\\")), dir.File("Sdk/Lib/"));
  // Mixed separators and repeated ones collapse.
  EXPECT_EQ(HostPath(dir.Path() + "\\\\sdk//LIB\\\\/add.asm"), dir.File("Sdk/Lib/Add.ASM"));
  // From the first missing component on, the rest stays as written.
  EXPECT_EQ(HostPath(Win(dir, "SDK\\NEW\\Sub\\X.TXT")), dir.File("Sdk/NEW/Sub/X.TXT"));
  EXPECT_TRUE(FileExists(Win(dir, "sdk\\LIB\\add.ASM")));
  EXPECT_FALSE(FileExists(Win(dir, "sdk\\LIB")));
  EXPECT_TRUE(DirectoryExists(Win(dir, "SDK\\LIB")));
}

TEST(HostPath, SeveralCaseMatchesGiveTheByteWiseSmallest) {
  TTempDir dir;
  dir.Write("abc", "1");
  dir.Write("ABC", "2");
  dir.Write("Abc", "3");
  EXPECT_EQ(HostPath(Win(dir, "aBC")), dir.File("ABC"));
  EXPECT_EQ(HostPath(Win(dir, "abc")), dir.File("abc"));  // an exact hit wins
  // Also for a directory on the way to a name that does not exist yet.
  dir.Write("Sub/x", "");
  dir.Write("SUB/y", "");
  EXPECT_EQ(HostPath(Win(dir, "Sub\\new.txt")), dir.File("Sub/new.txt"));
  EXPECT_EQ(HostPath(Win(dir, "sub\\new.txt")), dir.File("SUB/new.txt"));
}

TEST(HostPath, NewFileBelowUpperCasedDirectoryLandsInExistingDirectory) {
  TTempDir dir;
  dir.Write("Projects/Demo/DEMO.CPP", "x");
  const std::string target = Win(dir, "PROJECTS\\DEMO\\new.Obj");
  WriteFileBytes(target, "data");
  EXPECT_EQ(dir.Read("Projects/Demo/new.Obj"), "data");
  // A later lookup in another case finds it.
  EXPECT_EQ(ReadFileBytes(Win(dir, "projects\\demo\\NEW.OBJ")), "data");
  EXPECT_EQ(HostPath(Win(dir, "projects\\demo\\NEW.OBJ")), dir.File("Projects/Demo/new.Obj"));
}

TEST(HostPath, DriveLettersMapToTheDriveRoot) {
  TTempDir dir;
  dir.Write("Sdk/bin/tool", "x");
  DriveRootGuard guard(dir.Path());
  EXPECT_EQ(HostPath("C:\\SDK\\BIN\\TOOL"), dir.File("Sdk/bin/tool"));
  EXPECT_EQ(HostPath("d:/sdk/bin/tool"), dir.File("Sdk/bin/tool"));
  EXPECT_EQ(HostPath("C:\\"), dir.Path());
  EXPECT_EQ(HostPath("C:"), dir.Path());
  EXPECT_EQ(HostPath("C:SDK"), dir.File("Sdk"));
  SetDriveRoot(dir.Path() + "/");
  EXPECT_EQ(HostPath("C:\\SDK"), dir.File("Sdk"));
  // A rooted path without a drive stays on the host's root.
  EXPECT_EQ(HostPath("/usr"), "/usr");
  // Not a drive: a colon further in.
  EXPECT_EQ(HostPath("ab:c"), "ab:c");
  // A listing of the drive itself tells a link by what it leads to.
  SetDriveRoot(dir.Path());
  ASSERT_EQ(::symlink(dir.File("Sdk").c_str(), dir.File("ToSdk").c_str()), 0);
  std::vector<std::string> listed;
  for (const DirEntry& entry : ListDirectory("C:*")) {
    listed.push_back(entry.name + (entry.isDirectory ? "/" : ""));
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"Sdk/", "ToSdk/"}));
  // Every letter of either case is a drive, and nothing next to the letters is.
  for (const char* letter : {"A", "Z", "a", "z"}) {
    EXPECT_EQ(HostPath(std::string(letter) + ":\\SDK"), dir.File("Sdk")) << letter;
  }
  for (const char* other : {"@", "[", "`", "{", "1"}) {
    EXPECT_EQ(HostPath(std::string(other) + ":\\SDK"), std::string(other) + ":/SDK") << other;
  }
}

TEST(HostPath, ExeFallsBackToTheBareName) {
  TTempDir dir;
  dir.Write("bin/optlnk", "x");
  dir.Write("bin/asmsh", "x");
  dir.Write("bin/AsmSh.exe", "x");
  dir.Write("bin/real.EXE", "x");
  EXPECT_EQ(HostPath(Win(dir, "BIN\\OPTLNK.EXE")), dir.File("bin/optlnk"));
  EXPECT_EQ(HostPath(Win(dir, "BIN\\optlnk.exe")), dir.File("bin/optlnk"));
  // A file that has the extension is preferred in any case.
  EXPECT_EQ(HostPath(Win(dir, "BIN\\ASMSH.EXE")), dir.File("bin/AsmSh.exe"));
  EXPECT_EQ(HostPath(Win(dir, "BIN\\real.exe")), dir.File("bin/real.EXE"));
  // Nothing to fall back to: the name as written.
  EXPECT_EQ(HostPath(Win(dir, "BIN\\NONE.EXE")), dir.File("bin/NONE.EXE"));
  // Only the last component falls back, and only for ".EXE".
  EXPECT_EQ(HostPath(Win(dir, "BIN.EXE\\OPTLNK")), dir.File("BIN.EXE/OPTLNK"));
  EXPECT_EQ(HostPath(Win(dir, "BIN\\OPTLNK.COM")), dir.File("bin/OPTLNK.COM"));
}

TEST(HostPath, RelativePathsResolveAgainstTheCurrentDirectory) {
  TTempDir dir;
  dir.Write("Work/Temp.Txt", "x");
  const std::string saved = CurrentDirectory();
  ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
  const std::string mapped = HostPath("WORK\\TEMP.TXT");
  const std::string parent = HostPath("work\\..\\WORK\\temp.txt");
  ASSERT_EQ(::chdir(saved.c_str()), 0);
  EXPECT_EQ(mapped, "Work/Temp.Txt");
  EXPECT_EQ(parent, "Work/../Work/Temp.Txt");
}

TEST(HostPath, WildcardsIgnoreCase) {
  EXPECT_TRUE(MatchesWildcard("Demo.tmp", "*.TMP"));
  EXPECT_TRUE(MatchesWildcard("a.b.TMP", "*.tmp"));
  EXPECT_FALSE(MatchesWildcard("a.tmpx", "*.TMP"));
  EXPECT_TRUE(MatchesWildcard("x1.bmp", "X?.BMP"));
  EXPECT_FALSE(MatchesWildcard("x.bmp", "X?.BMP"));
  EXPECT_TRUE(MatchesWildcard("noext", "*.*"));
  EXPECT_TRUE(MatchesWildcard("", "*"));
  EXPECT_TRUE(MatchesWildcard("abcabd", "*ab?"));
  EXPECT_TRUE(MatchesWildcard("aXbXc", "a*b*c"));
  EXPECT_FALSE(MatchesWildcard("aXbXd", "a*b*c"));
  EXPECT_TRUE(MatchesWildcard("SAME", "same"));
  EXPECT_FALSE(MatchesWildcard("same", "sam"));
}

TEST(HostPath, ListingsAreKeptWhileAScopeLivesAndReadAfreshAfterwards) {
  TMemoryFileSystem fs;
  TFileSystemScope use(fs);
  fs.AddFile("/w/Alpha.txt", "a");
  fs.AddFile("/w/Beta.txt", "b");
  {
    TDirectoryListingScope outer;
    fs.ResetCounts();
    EXPECT_EQ(HostPath("/w/ALPHA.txt"), "/w/Alpha.txt");
    EXPECT_EQ(HostPath("/w/beta.TXT"), "/w/Beta.txt");
    {
      TDirectoryListingScope inner;
      EXPECT_EQ(HostPath("/w/alpha.TXT"), "/w/Alpha.txt");
    }
    // The inner scope's end leaves the outer one's listing in place.
    EXPECT_EQ(HostPath("/w/BETA.TXT"), "/w/Beta.txt");
    EXPECT_EQ(fs.Calls(TFsCall::List), 1);
    fs.AddFile("/w/Gamma.txt", "");
    DropDirectoryListings();
    EXPECT_EQ(HostPath("/w/GAMMA.TXT"), "/w/Gamma.txt");
    EXPECT_EQ(fs.Calls(TFsCall::List), 2);
  }
  // The last scope takes the listings along: a later scope reads afresh.
  fs.AddFile("/w/Delta.txt", "");
  {
    TDirectoryListingScope again;
    EXPECT_EQ(HostPath("/w/DELTA.TXT"), "/w/Delta.txt");
  }
  // Without a scope every miss reads the directory.
  fs.ResetCounts();
  EXPECT_EQ(HostPath("/w/alpha.txt"), "/w/Alpha.txt");
  EXPECT_EQ(HostPath("/w/alpha.txt"), "/w/Alpha.txt");
  EXPECT_EQ(fs.Calls(TFsCall::List), 2);
}

TEST(HostPath, ChangesThroughTheFileFunctionsDropKeptListings) {
  TMemoryFileSystem fs;
  TFileSystemScope use(fs);
  fs.AddFile("/w/Old.txt", "x");
  TDirectoryListingScope keep;
  EXPECT_EQ(HostPath("/w/new.TXT"), "/w/new.TXT");  // the listing is kept from here on
  ASSERT_TRUE(CopyFileTo("/w/Old.txt", "/w/New.txt", true));
  EXPECT_EQ(HostPath("/w/NEW.TXT"), "/w/New.txt");
  ASSERT_TRUE(MoveFileTo("/w/New.txt", "/w/Moved.txt"));
  EXPECT_EQ(HostPath("/w/NEW.TXT"), "/w/NEW.TXT");
  EXPECT_EQ(HostPath("/w/MOVED.TXT"), "/w/Moved.txt");
  ASSERT_TRUE(CreateDirectoryAt("/w/Sub"));
  EXPECT_EQ(HostPath("/w/SUB/x"), "/w/Sub/x");
  ASSERT_TRUE(RemoveDirectoryAt("/w/Sub"));
  EXPECT_EQ(HostPath("/w/SUB/x"), "/w/SUB/x");
  ASSERT_TRUE(DeleteFileAt("/w/Moved.txt"));
  EXPECT_EQ(HostPath("/w/MOVED.TXT"), "/w/MOVED.TXT");
}

// Changes made with plain system calls, as a tool in another process makes
// them: a kept listing must follow each one, whoever stands for a name, and
// a path that leads to another directory by now is read again.
TEST(HostPath, KeptListingsFollowChangesMadeOutsideTheFileFunctions) {
  TTempDir dir;
  const std::string d = dir.Path();
  auto make = [](const std::string& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << path;
    ::close(fd);
  };
  ASSERT_EQ(::mkdir((d + "/sub").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((d + "/a").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((d + "/a/b").c_str(), 0755), 0);
  TDirectoryListingScope keep;
  EXPECT_EQ(HostPath(d + "/sub/NEW.TXT"), d + "/sub/NEW.TXT");
  EXPECT_EQ(HostPath(d + "/a/b/Y.TXT"), d + "/a/b/Y.TXT");

  make(d + "/sub/new.txt");
  RefreshDirectoryListings();
  EXPECT_EQ(HostPath(d + "/sub/NEW.TXT"), d + "/sub/new.txt");
  make(d + "/sub/New.txt");  // folds alike and is the smaller name
  RefreshDirectoryListings();
  EXPECT_EQ(HostPath(d + "/sub/NEW.TXT"), d + "/sub/New.txt");
  ASSERT_EQ(::unlink((d + "/sub/New.txt").c_str()), 0);
  RefreshDirectoryListings();
  EXPECT_EQ(HostPath(d + "/sub/NEW.TXT"), d + "/sub/new.txt");
  ASSERT_EQ(::rename((d + "/sub/new.txt").c_str(), (d + "/sub/moved.txt").c_str()), 0);
  RefreshDirectoryListings();
  EXPECT_EQ(HostPath(d + "/sub/NEW.TXT"), d + "/sub/NEW.TXT");
  EXPECT_EQ(HostPath(d + "/sub/MOVED.TXT"), d + "/sub/moved.txt");

  // The directory itself replaced, and one whose parent was replaced.
  ASSERT_EQ(::rename((d + "/sub").c_str(), (d + "/old").c_str()), 0);
  ASSERT_EQ(::mkdir((d + "/sub").c_str(), 0755), 0);
  make(d + "/sub/Other.txt");
  ASSERT_EQ(::rename((d + "/a").c_str(), (d + "/x").c_str()), 0);
  ASSERT_EQ(::mkdir((d + "/a").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((d + "/a/b").c_str(), 0755), 0);
  make(d + "/a/b/y.txt");
  RefreshDirectoryListings();
  EXPECT_EQ(HostPath(d + "/sub/MOVED.TXT"), d + "/sub/MOVED.TXT");
  EXPECT_EQ(HostPath(d + "/sub/OTHER.TXT"), d + "/sub/Other.txt");
  EXPECT_EQ(HostPath(d + "/a/b/Y.TXT"), d + "/a/b/y.txt");

  // A tool run refreshes by itself.
  ProcessResult result = RunTool("/bin/sh -c \"touch Third.txt\"", Win(dir, "sub"), std::nullopt);
  ASSERT_EQ(result.exitCode, 0u);
  EXPECT_EQ(HostPath(d + "/sub/THIRD.TXT"), d + "/sub/Third.txt");
}

// The variable is read on first use, so each value is checked in a fresh
// process: this test program, running this test alone.
TEST(HostPath, TheEnvironmentNamesTheDriveRoot) {
  if (const char* expected = std::getenv("TESSEL_TEST_DRIVE_ROOT")) {
    EXPECT_EQ(DriveRoot(), expected);
    return;
  }
  TTempDir dir;
  std::string command = "\"";
  command += ExecutablePath();
  command += "\" --gtest_filter=HostPath.TheEnvironmentNamesTheDriveRoot";
  const std::vector<std::vector<std::string>> environments = {
      {"TESSEL_DRIVE_ROOT=" + dir.Path(), "TESSEL_TEST_DRIVE_ROOT=" + dir.Path()},
      {"TESSEL_DRIVE_ROOT=", "TESSEL_TEST_DRIVE_ROOT=/"},
      {"TESSEL_TEST_DRIVE_ROOT=/"},
  };
  for (const auto& environment : environments) {
    const ProcessResult result = RunTool(command, dir.Path(), environment);
    const std::string output = dir.Read("MyOutPut.TXT");
    EXPECT_EQ(result.exitCode, 0u) << environment[0] << "\n" << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
  }
}

TEST(HostPath, EverySpellingOfSeparatorsGivesTheSamePath) {
  // Files that exist as written are mapped by joining their components:
  // separators of either kind, repeated, leading or trailing, under a
  // drive root with or without its closing slash.
  TTempDir dir;
  dir.Write("Sdk/Bin/tool", "x");
  const std::string file = dir.File("Sdk/Bin/tool");
  const std::string folder = dir.File("Sdk/Bin");
  const std::vector<std::string> separators = {"/", "\\", "//", "\\/", "/\\\\"};
  for (const std::string& root : {dir.Path(), dir.Path() + "/"}) {
    DriveRootGuard guard(root);
    for (const std::string& a : separators) {
      for (const std::string& b : separators) {
        EXPECT_EQ(HostPath("C:" + a + "Sdk" + b + "Bin" + a + "tool"), file) << a << b;
        EXPECT_EQ(HostPath("C:" + a + "Sdk" + b + "Bin" + a), folder + "/") << a << b;
        EXPECT_EQ(HostPath(a + file.substr(1) + b), file + "/") << a << b;
      }
    }
    EXPECT_EQ(HostPath("C:Sdk\\Bin\\tool"), file);
    EXPECT_EQ(HostPath("C:\\\\"), dir.Path() + (root.ends_with("/") ? "/" : ""));
  }
}

namespace {

// Open watches of this process: each is a descriptor of the system's change
// reports, which makes the process wait when it ends.
int OpenWatches() {
  int count = 0;
  for (const DirEntry& entry : ListDirectory("/proc/self/fd/*")) {
    char target[64] = {};
    const std::string link = "/proc/self/fd/" + entry.name;
    if (::readlink(link.c_str(), target, sizeof target - 1) > 0 &&
        std::string(target) == "anon_inode:inotify") {
      ++count;
    }
  }
  return count;
}

}  // namespace

TEST(HostPath, ListingsAreWatchedOnlyOnceSomethingChanged) {
  TTempDir dir;
  const std::string d = dir.Path();
  ASSERT_EQ(OpenWatches(), 0);
  {
    TDirectoryListingScope keep;
    // A lookup that needs a listing, in a build that changes nothing.
    EXPECT_EQ(HostPath(d + "/MISSING.TXT"), d + "/MISSING.TXT");
    EXPECT_EQ(OpenWatches(), 0);
    dir.Write("made.txt", "x");
    RefreshDirectoryListings();  // as after a tool run
    EXPECT_EQ(HostPath(d + "/MADE.TXT"), d + "/made.txt");
    EXPECT_EQ(OpenWatches(), 1);
  }
  EXPECT_EQ(OpenWatches(), 0);  // ended with the build
}

// While listings are kept, files are looked up through handles on their
// directories: each answer must still be the one a look-up of the whole
// path gives, after the directory was replaced, removed or turned into a
// file, and for more directories than handles are kept.
TEST(HostPath, LookUpsInKeptDirectoriesFollowTheirReplacement) {
  TTempDir dir;
  const std::string d = dir.Path();
  dir.Write("sub/f.txt", "x");
  SetTime(d + "/sub/f.txt", 1000000);
  TDirectoryListingScope keep;
  EXPECT_EQ(GetFileStatus(d + "/sub/f.txt").writeTime, int64_t{1000000} * 1000000000);
  EXPECT_FALSE(GetFileStatus(d + "/sub/g.txt").exists);

  // Replaced by another directory, as a tool would: the new one answers.
  ASSERT_EQ(::rename((d + "/sub").c_str(), (d + "/old").c_str()), 0);
  dir.Write("sub/f.txt", "y");
  SetTime(d + "/sub/f.txt", 2000000);
  dir.Write("sub/g.txt", "z");
  RefreshDirectoryListings();
  EXPECT_EQ(GetFileStatus(d + "/sub/f.txt").writeTime, int64_t{2000000} * 1000000000);
  EXPECT_TRUE(GetFileStatus(d + "/sub/g.txt").exists);

  // Gone, then a file in its place.
  ASSERT_TRUE(DeleteFileAt(d + "/sub/f.txt"));
  ASSERT_TRUE(DeleteFileAt(d + "/sub/g.txt"));
  ASSERT_TRUE(RemoveDirectoryAt(d + "/sub"));
  EXPECT_FALSE(FileExists(d + "/sub/f.txt"));
  dir.Write("sub", "a file");
  RefreshDirectoryListings();
  EXPECT_FALSE(FileExists(d + "/sub/f.txt"));
  EXPECT_TRUE(FileExists(d + "/sub"));

  // More directories than handles are kept.
  for (int i = 0; i < 300; ++i) dir.Write("many/" + std::to_string(i) + "/f.txt", "");
  for (int i = 0; i < 300; ++i) {
    EXPECT_TRUE(FileExists(d + "/many/" + std::to_string(i) + "/f.txt")) << i;
    EXPECT_FALSE(FileExists(d + "/many/" + std::to_string(i) + "/g.txt")) << i;
  }
}

// A relative path depends on the current directory: it is never looked up
// through a handle kept from before the directory changed.
TEST(HostPath, RelativeLookUpsFollowTheCurrentDirectory) {
  TTempDir one, two;
  one.Write("sub/f.txt", "x");
  two.Write("sub/other.txt", "x");
  char* saved = ::getcwd(nullptr, 0);
  ASSERT_NE(saved, nullptr);
  TDirectoryListingScope keep;
  ASSERT_EQ(::chdir(one.Path().c_str()), 0);
  const bool inOne = FileExists("sub/f.txt");
  ASSERT_EQ(::chdir(two.Path().c_str()), 0);
  const bool inTwo = FileExists("sub/f.txt");
  ASSERT_EQ(::chdir(saved), 0);
  std::free(saved);
  EXPECT_TRUE(inOne);
  EXPECT_FALSE(inTwo);
}

// The same answer and reason as a stat of the whole path, whatever stands
// where: a handle kept on a directory that went, or on a link.
TEST(DirectoryHandles, AnswerAsAStatOfTheWholePath) {
  TTempDir dir;
  const std::string d = dir.Path();
  dir.Write("a/f.txt", "x");
  dir.Write("file", "x");
  ASSERT_EQ(::symlink((d + "/a").c_str(), (d + "/link").c_str()), 0);
  ASSERT_EQ(::symlink((d + "/a/missing").c_str(), (d + "/a/dangling").c_str()), 0);
  TDirectoryHandles handles;
  auto same = [&](const std::string& path) {
    struct stat st;
    errno = 0;
    const bool whole = ::stat(path.c_str(), &st) == 0;
    const int wholeErrno = errno;
    TFileInfo info;
    errno = 0;
    const bool handled = handles.Stat(path, path.rfind('/'), info);
    EXPECT_EQ(handled, whole) << path;
    if (whole) {
      EXPECT_EQ(info.inode, static_cast<uint64_t>(st.st_ino)) << path;
    } else {
      EXPECT_EQ(errno, wholeErrno) << path;
    }
  };
  for (int round = 0; round < 2; ++round) {  // the second through kept handles
    same(d + "/a/f.txt");
    same(d + "/a/g.txt");
    same(d + "/a/dangling");
    same(d + "/link/f.txt");
    same(d + "/missing/f.txt");
    same(d + "/file/f.txt");
    same(d + "/a");
    same("/");
  }
  // The directory went: the kept handle must not answer for the path.
  ASSERT_EQ(::rename((d + "/a").c_str(), (d + "/b").c_str()), 0);
  handles.Close();
  same(d + "/a/f.txt");
  dir.Write("a/f.txt", "new");
  same(d + "/a/f.txt");
}

// Files in a directory already found are mapped from what was kept of it:
// every answer must be the one the whole mapping gives without anything
// kept, also for names in another case, missing names, other spellings of
// the directory and a drive root that changed in between.
TEST(HostPath, FilesInAKnownDirectoryMapAsWithoutAnythingKept) {
  TTempDir one, two;
  for (TTempDir* dir : {&one, &two}) {
    dir->Write("Sub/A.TXT", "a");
    dir->Write("Sub/b.txt", "b");
    dir->Write("Sub/Deep/c.txt", "c");
  }
  const std::vector<std::string> paths = {
      "C:\\Sub\\A.TXT", "C:\\Sub\\B.TXT",       "C:\\Sub\\new.txt",  "C:/Sub/A.TXT",
      "C:\\SUB\\A.TXT", "C:\\Sub\\Deep\\C.TXT", "C:\\Sub\\a.txt\\x", "C:\\Sub\\",
  };
  auto map = [&](const std::string& root) {
    DriveRootGuard guard(root);
    std::vector<std::string> mapped;
    for (const std::string& path : paths) {
      mapped.push_back(HostPath(path) + (FileExists(path) ? " file" : " none"));
    }
    return mapped;
  };
  const std::vector<std::string> expectOne = map(one.Path());
  const std::vector<std::string> expectTwo = map(two.Path());
  EXPECT_EQ(expectOne[1], one.File("Sub/b.txt") + " file");
  TDirectoryListingScope keep;
  for (int round = 0; round < 2; ++round) {  // the second with the directories known
    EXPECT_EQ(map(one.Path()), expectOne);
    EXPECT_EQ(map(two.Path()), expectTwo);
  }
}

// What a build keeps belongs to the thread running it. Another thread (a
// window's, during a build) looks paths up on its own, and the changes it
// makes through the file functions reach the build's thread at its next
// look-up: a listing that missed a name, and a handle on a directory that
// was replaced meanwhile.
TEST(HostPath, ChangesMadeOnAnotherThreadReachTheThreadThatKeeps) {
  TTempDir dir;
  const std::string d = dir.Path();
  dir.Write("sub/f.txt", "x");
  SetTime(d + "/sub/f.txt", 1000000);
  TDirectoryListingScope keep;
  EXPECT_EQ(HostPath(d + "/sub/NEW.TXT"), d + "/sub/NEW.TXT");  // its listing is kept
  EXPECT_EQ(GetFileStatus(d + "/sub/f.txt").writeTime, int64_t{1000000} * 1000000000);

  std::string seenThere;
  std::thread other([&] {
    ASSERT_TRUE(MoveFileTo(d + "/sub", d + "/old"));
    ASSERT_TRUE(CreateDirectoryAt(d + "/sub"));
    ASSERT_TRUE(CopyFileTo(d + "/old/f.txt", d + "/sub/New.txt", true));
    ASSERT_TRUE(CopyFileTo(d + "/old/f.txt", d + "/sub/f.txt", true));
    SetTime(d + "/sub/f.txt", 2000000);
    seenThere = HostPath(d + "/sub/NEW.TXT");
  });
  other.join();
  EXPECT_EQ(seenThere, d + "/sub/New.txt");
  EXPECT_EQ(HostPath(d + "/sub/NEW.TXT"), d + "/sub/New.txt");
  EXPECT_EQ(GetFileStatus(d + "/sub/f.txt").writeTime, int64_t{2000000} * 1000000000);
}

#include "platform/file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/clock.h"
#include "platform/file_stream.h"
#include "platform/host_path.h"
#include "platform/memory_file_system.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_dates.h"

using namespace tessel;
using tessel::test::TestDate;
using tessel::test::TTempDir;

namespace {

std::vector<std::string> Names(const std::vector<DirEntry>& entries) {
  std::vector<std::string> names;
  for (const DirEntry& e : entries) names.push_back(e.name + (e.isDirectory ? "/" : ""));
  return names;
}

}  // namespace

TEST(FileSystem, ListingMatchesWithoutCaseInAStableOrder) {
  TTempDir dir;
  dir.Write("b.TMP", "");
  dir.Write("A.tmp", "");
  dir.Write("a.Tmp", "");
  dir.Write("c.bmp", "");
  dir.Write("_x.tmp", "");
  dir.Write("Sub.TMP/inner", "");
  const std::vector<std::string> expected = {"A.tmp", "a.Tmp", "b.TMP", "Sub.TMP/", "_x.tmp"};
  EXPECT_EQ(Names(ListDirectory(dir.Path() + "\\*.TMP")), expected);
  EXPECT_EQ(Names(ListDirectory(dir.Path() + "/*.tmp")), expected);
  // "." and ".." never appear, even for "*".
  EXPECT_EQ(ListDirectory(dir.Path() + "\\*").size(), 6u);
  EXPECT_EQ(Names(ListDirectory(dir.Path() + "\\C.BMP")), std::vector<std::string>{"c.bmp"});
  EXPECT_TRUE(ListDirectory(dir.Path() + "\\missing\\*.TMP").empty());
  EXPECT_TRUE(ListDirectory(dir.Path() + "\\").empty());
  // The directory part resolves without regard to case as well.
  EXPECT_EQ(Names(ListDirectory(dir.Path() + "\\SUB.tmp\\*")), std::vector<std::string>{"inner"});
}

TEST(FileSystem, ReadOnlyIsTheAbsenceOfEveryWriteBit) {
  TTempDir dir;
  const std::string file = dir.Write("r.txt", "keep");
  EXPECT_EQ(FileGetAttr(file), faArchive);
  EXPECT_EQ(FileGetAttr(dir.Path()), faDirectory);
  EXPECT_EQ(FileGetAttr(dir.File("none")), -1);

  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_EQ(FileGetAttr(file) & faReadOnly, faReadOnly);
  ASSERT_EQ(::chmod(file.c_str(), 0464), 0);  // one write bit is enough to be writable
  EXPECT_EQ(FileGetAttr(file) & faReadOnly, 0);

  ASSERT_TRUE(SetReadOnly(file, true));
  struct stat st;
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  // A read-only file refuses writers and deletion, also for a privileged user.
  EXPECT_THROW(WriteFileBytes(file, "lost"), EFileError);
  EXPECT_THROW(TFile(file, TFile::Mode::ReadWrite), EFileError);
  EXPECT_FALSE(DeleteFileAt(file));
  EXPECT_EQ(ReadFileBytes(file), "keep");

  ASSERT_TRUE(SetReadOnly(file, false));
  EXPECT_EQ(FileGetAttr(file) & faReadOnly, 0);
  EXPECT_TRUE(DeleteFileAt(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFileAt(file));
  EXPECT_FALSE(SetReadOnly(file, true));
}

TEST(FileSystem, LastWriteTimeIsLocalAtFullResolution) {
  TTempDir dir;
  const std::string file = dir.Write("t.txt", "x");
  const TDateTime when = TestDate(2021, 7, 14, 9, 30, 17, 250);
  ASSERT_TRUE(SetFileLastWriteTime(file, when));
  TDateTime read = 0;
  ASSERT_TRUE(FileLastWriteTime(file, read));
  EXPECT_NEAR(read, when, 1e-9);  // odd second and milliseconds survive
  const DateTimeParts parts = DecodeDateTime(read);
  EXPECT_EQ(parts.hour, 9);
  EXPECT_EQ(parts.second, 17);
  EXPECT_EQ(parts.millisecond, 250);
  EXPECT_FALSE(FileLastWriteTime(dir.File("none"), read));
  EXPECT_FALSE(SetFileLastWriteTime(dir.File("none"), when));

  // Consistent with the clock: a file written now is dated now.
  const std::string fresh = dir.Write("fresh.txt", "x");
  ASSERT_TRUE(FileLastWriteTime(fresh, read));
  EXPECT_NEAR(read, Now(), 60.0 / 86400);
}

TEST(FileSystem, FileStatusGivesExistenceAndTheTimeToTheNanosecond) {
  TTempDir dir;
  const std::string file = dir.Write("Obj.OBJ", "x");
  // Times the file system records below the millisecond must survive.
  struct timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 123456789}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  TFileStatus status = GetFileStatus(dir.File("OBJ.obj"));  // found without regard to case
  EXPECT_TRUE(status.exists);
  EXPECT_EQ(status.writeTime, 1700000000123456789LL);

  // Set through the date-time form, a file 100 ms later is later.
  const TDateTime when = TestDate(2021, 7, 14, 9, 30, 17, 250);
  ASSERT_TRUE(SetFileLastWriteTime(file, when));
  const int64_t first = GetFileStatus(file).writeTime;
  ASSERT_TRUE(SetFileLastWriteTime(file, when + 0.1 / 86400));
  EXPECT_EQ(GetFileStatus(file).writeTime - first, 100000000);

  EXPECT_FALSE(GetFileStatus(dir.File("none")).exists);
  EXPECT_EQ(GetFileStatus(dir.File("none")).writeTime, 0);
  EXPECT_FALSE(GetFileStatus(dir.Path()).exists) << "a directory is no file";
}

TEST(FileSystem, CopyKeepsDateAndFlagAndHonoursFailIfExists) {
  TTempDir dir;
  const std::string source = dir.Write("Src.bin", std::string("a\0b", 3));
  const TDateTime when = TestDate(2020, 1, 2, 3, 4, 6);
  ASSERT_TRUE(SetFileLastWriteTime(source, when));

  EXPECT_TRUE(CopyFileTo(source, dir.Path() + "\\COPY.BIN", true));
  EXPECT_EQ(dir.Read("COPY.BIN"), std::string("a\0b", 3));
  TDateTime copied = 0;
  ASSERT_TRUE(FileLastWriteTime(dir.File("COPY.BIN"), copied));
  EXPECT_NEAR(copied, when, 1e-9);

  dir.Write("other", "old");
  EXPECT_FALSE(CopyFileTo(source, dir.File("OTHER"), true));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(dir.Read("other"), "old");
  EXPECT_TRUE(CopyFileTo(source, dir.File("OTHER"), false));  // overwrites "other"
  EXPECT_EQ(dir.Read("other"), std::string("a\0b", 3));

  // Copying a file onto itself must not destroy it.
  EXPECT_FALSE(CopyFileTo(source, dir.File("SRC.BIN"), false));
  EXPECT_EQ(dir.Read("Src.bin"), std::string("a\0b", 3));
  EXPECT_FALSE(CopyFileTo(dir.File("none"), dir.File("x"), false));
  EXPECT_FALSE(FileExists(dir.File("x")));
  EXPECT_FALSE(CopyFileTo(dir.Path(), dir.File("x"), false));
  // Nor onto a directory.
  dir.Write("Dir/inner", "in");
  errno = 0;
  EXPECT_FALSE(CopyFileTo(source, dir.File("DIR"), false));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(dir.Read("Dir/inner"), "in");

  ASSERT_TRUE(SetReadOnly(source, true));
  EXPECT_TRUE(CopyFileTo(source, dir.File("ro"), false));
  EXPECT_EQ(FileGetAttr(dir.File("ro")) & faReadOnly, faReadOnly);
  EXPECT_FALSE(CopyFileTo(dir.File("other"), dir.File("ro"), false));  // target read-only
}

TEST(FileSystem, MoveRefusesExistingTargetsButRenamesCase) {
  TTempDir dir;
  const std::string a = dir.Write("a.txt", "A");
  dir.Write("b.txt", "B");
  EXPECT_FALSE(MoveFileTo(a, dir.File("B.TXT")));
  EXPECT_EQ(dir.Read("b.txt"), "B");
  EXPECT_TRUE(FileExists(a));

  EXPECT_TRUE(MoveFileTo(a, dir.Path() + "\\Sub.Txt"));
  EXPECT_FALSE(FileExists(a));
  EXPECT_EQ(dir.Read("Sub.Txt"), "A");
  // A rename that only changes the letter case keeps the new spelling.
  EXPECT_TRUE(MoveFileTo(dir.File("Sub.Txt"), dir.File("SUB.TXT")));
  EXPECT_EQ(Names(ListDirectory(dir.File("sub.*"))), std::vector<std::string>{"SUB.TXT"});
  EXPECT_FALSE(MoveFileTo(dir.File("none"), dir.File("x")));
  // A move onto itself, as written or in another case, has nothing to do.
  EXPECT_TRUE(MoveFileTo(dir.File("SUB.TXT"), dir.File("SUB.TXT")));
  EXPECT_TRUE(MoveFileTo(dir.File("SUB.TXT"), dir.File("sub.txt")));
  EXPECT_TRUE(MoveFileTo(dir.File("sub.txt"), dir.File("sub.txt")));
  EXPECT_EQ(dir.Read("sub.txt"), "A");
}

TEST(FileSystem, DirectoriesAndSizes) {
  TTempDir dir;
  EXPECT_TRUE(CreateDirectoryAt(dir.Path() + "\\New"));
  EXPECT_FALSE(CreateDirectoryAt(dir.Path() + "\\NEW"));   // exists in another case
  EXPECT_FALSE(CreateDirectoryAt(dir.Path() + "\\a\\b"));  // one level only
  EXPECT_TRUE(DirectoryExists(dir.File("new")));
  EXPECT_TRUE(PathExists(dir.File("NEW")));
  EXPECT_FALSE(FileExists(dir.File("NEW")));
  EXPECT_TRUE(IsWritableDirectory(dir.File("NEW")));
  // A file is no directory, not even one that may be run.
  const std::string file = dir.Write("file", "");
  ASSERT_EQ(::chmod(file.c_str(), 0755), 0);
  EXPECT_FALSE(IsWritableDirectory(file));
  EXPECT_FALSE(IsWritableDirectory(dir.File("none")));
  EXPECT_FALSE(DeleteFileAt(dir.File("NEW")));
  EXPECT_TRUE(RemoveDirectoryAt(dir.File("NEW")));
  EXPECT_FALSE(PathExists(dir.File("New")));
  EXPECT_FALSE(RemoveDirectoryAt(dir.File("New")));

  dir.Write("s", std::string(12345, 'x'));
  EXPECT_EQ(FileSizeOf(dir.File("S")), 12345);
  EXPECT_EQ(FileSizeOf(dir.File("none")), -1);
  EXPECT_EQ(FileSizeOf(dir.Path()), -1);
  EXPECT_FALSE(FileExists(""));
}

TEST(FileSystem, WholeFileHelpersAndErrors) {
  TTempDir dir;
  const std::string path = dir.Path() + "\\w.bin";
  WriteFileBytes(path, std::string("x\r\ny\0", 5));
  AppendFileBytes(path, "z");
  EXPECT_EQ(ReadFileBytes(path), std::string("x\r\ny\0z", 6));
  AppendFileBytes(dir.File("fresh"), "1");
  EXPECT_EQ(dir.Read("fresh"), "1");

  try {
    ReadFileBytes(dir.Path() + "\\missing.txt");
    FAIL() << "no exception";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + dir.Path() + "\\missing.txt\": No such file or directory");
  }
  EXPECT_THROW(ReadFileBytes(dir.Path()), EFileError);
  EXPECT_THROW(WriteFileBytes(dir.Path() + "\\no\\such\\dir.txt", "x"), EFileError);
  EXPECT_EQ(PlatformErrorText(ENOENT), "No such file or directory");
}

TEST(FileSystem, PathsOutsideTheConfinementAreMissingToEveryOperation) {
  TTempDir dir;
  const std::string inside = dir.Write("box/in.txt", "in");
  const std::string outside = dir.Write("out/keep.txt", "keep");
  ASSERT_EQ(::mkdir(dir.File("out/Empty").c_str(), 0755), 0);
  const std::string box = dir.File("box");
  struct TLift {
    ~TLift() { SetConfinement(""); }
  } lift;
  SetConfinement(box);

  // Each refusal says "no such file", as for a missing path.
  const auto refused = [](bool result) { return !result && errno == ENOENT; };
  errno = 0;
  EXPECT_TRUE(refused(RemoveDirectoryAt(dir.File("out/Empty"))));
  EXPECT_TRUE(refused(CreateDirectoryAt(dir.File("out/New"))));
  EXPECT_TRUE(refused(DeleteFileAt(outside)));
  EXPECT_TRUE(refused(CopyFileTo(inside, dir.File("out/copy.txt"), false)));
  EXPECT_TRUE(refused(CopyFileTo(outside, box + "/copy.txt", false)));
  EXPECT_TRUE(refused(MoveFileTo(inside, dir.File("out/moved.txt"))));
  EXPECT_TRUE(refused(MoveFileTo(outside, box + "/moved.txt")));
  EXPECT_FALSE(SetFileLastWriteTime(outside, TestDate(2020, 1, 1)));
  EXPECT_FALSE(SetReadOnly(outside, true));
  EXPECT_EQ(FileGetAttr(outside), -1);
  EXPECT_EQ(FileSizeOf(outside), -1);
  EXPECT_FALSE(PathExists(outside));
  EXPECT_FALSE(DirectoryExists(dir.File("out")));
  EXPECT_FALSE(IsWritableDirectory(dir.File("out")));
  EXPECT_FALSE(GetFileStatus(outside).exists);
  TDateTime when = 0;
  EXPECT_FALSE(FileLastWriteTime(outside, when));
  // Not the current directory's listing either.
  EXPECT_TRUE(ListDirectory(dir.File("out") + "\\*").empty());
  EXPECT_TRUE(ListDirectory("/*").empty());

  // Inside, everything works as before.
  EXPECT_TRUE(IsWritableDirectory(box));
  EXPECT_TRUE(CopyFileTo(inside, box + "\\COPY.TXT", true));
  EXPECT_EQ(Names(ListDirectory(box + "\\*")), (std::vector<std::string>{"COPY.TXT", "in.txt"}));
  SetConfinement("");

  // Nothing outside was touched.
  EXPECT_EQ(dir.Read("out/keep.txt"), "keep");
  EXPECT_EQ(FileGetAttr(outside), faArchive);
  EXPECT_TRUE(DirectoryExists(dir.File("out/Empty")));
  EXPECT_EQ(Names(ListDirectory(dir.File("out") + "\\*")),
            (std::vector<std::string>{"Empty/", "keep.txt"}));
  EXPECT_EQ(Names(ListDirectory(box + "\\*")), (std::vector<std::string>{"COPY.TXT", "in.txt"}));
}

TEST(FileSystem, HiddenAreNamesWithALeadingDot) {
  TTempDir dir;
  EXPECT_EQ(FileGetAttr(dir.Write(".x", "")), faArchive | faHidden);
  EXPECT_EQ(FileGetAttr(dir.Write("x.", "")), faArchive);
  ASSERT_TRUE(CreateDirectoryAt(dir.File(".cfg")));
  EXPECT_EQ(FileGetAttr(dir.Path() + "\\.CFG\\"), faDirectory | faHidden);
  EXPECT_EQ(FileGetAttr(dir.File(".cfg/..")), faDirectory);
}

TEST(FileSystem, MoveFallsBackWhereTheFileSystemCannotRenameWithoutReplacing) {
  for (const int error : {EINVAL, ENOSYS, EXDEV, EIO}) {
    TMemoryFileSystem fs;
    TFileSystemScope use(fs);
    fs.AddFile("/w/a.txt", "A");
    // The first rename is the one that must not replace.
    fs.FailAt(TFsCall::Rename, 1, error);
    errno = 0;
    const bool moved = MoveFileTo("/w/a.txt", "/w/b.txt");
    EXPECT_TRUE(fs.FaultReached()) << error;
    if (error == EIO) {
      EXPECT_FALSE(moved);
      EXPECT_EQ(errno, EIO);
      EXPECT_EQ(fs.FileBytes("/w/a.txt"), "A");
      EXPECT_FALSE(fs.HasFile("/w/b.txt"));
    } else {
      // A plain rename, or across file systems a copy and a removal.
      EXPECT_TRUE(moved) << error;
      EXPECT_FALSE(fs.HasFile("/w/a.txt")) << error;
      EXPECT_EQ(fs.FileBytes("/w/b.txt"), "A") << error;
    }
  }
  // Across file systems, a copy that fails is a move that fails.
  TMemoryFileSystem fs;
  TFileSystemScope use(fs);
  fs.AddFile("/w/a.txt", "A");
  fs.FailAt(TFsCall::Rename, 1, EXDEV);
  fs.FailAt(TFsCall::Write, 1, ENOSPC);
  errno = 0;
  EXPECT_FALSE(MoveFileTo("/w/a.txt", "/w/b.txt"));
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_EQ(fs.FileBytes("/w/a.txt"), "A");
  EXPECT_FALSE(fs.HasFile("/w/b.txt"));
}

TEST(FileSystem, TheCurrentDirectoryOfAnyLength) {
  TTempDir dir;
  std::string deep = dir.Path();
  for (const char c : {'a', 'b', 'c'}) {
    deep += "/" + std::string(120, c);
    ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0);
  }
  const std::string saved = CurrentDirectory();
  ASSERT_EQ(::chdir(deep.c_str()), 0);
  const std::string current = CurrentDirectory();
  ASSERT_EQ(::chdir(saved.c_str()), 0);
  EXPECT_EQ(current, deep);
}

namespace {

// An in-memory file system whose files opened for reading cannot be looked up.
class TBlindReads final : public TMemoryFileSystem {
 public:
  std::unique_ptr<TOpenFile> Open(const std::string& host, TOpenMode mode) override {
    std::unique_ptr<TOpenFile> file = TMemoryFileSystem::Open(host, mode);
    if (!file || mode != TOpenMode::Read) return file;
    return std::make_unique<TBlind>(std::move(file));
  }

 private:
  class TBlind final : public TOpenFile {
   public:
    explicit TBlind(std::unique_ptr<TOpenFile> file) : file_(std::move(file)) {}
    int64_t Read(void* buffer, size_t count) override { return file_->Read(buffer, count); }
    bool Write(const void* buffer, size_t count) override { return file_->Write(buffer, count); }
    bool Seek(int64_t position) override { return file_->Seek(position); }
    int64_t Position() override { return file_->Position(); }
    int64_t Size() override { return file_->Size(); }
    bool Truncate(int64_t size) override { return file_->Truncate(size); }
    bool Stat(TFileInfo&) override {
      errno = EIO;
      return false;
    }
    bool Flush() override { return file_->Flush(); }
    bool Sync() override { return file_->Sync(); }
    bool Close() override { return file_->Close(); }

   private:
    std::unique_ptr<TOpenFile> file_;
  };
};

}  // namespace

TEST(FileSystem, ACopyWhoseSourceCannotBeLookedUpFails) {
  TBlindReads fs;
  TFileSystemScope use(fs);
  fs.AddFile("/w/a.txt", "A");
  errno = 0;
  EXPECT_FALSE(CopyFileTo("/w/a.txt", "/w/b.txt", false));
  EXPECT_EQ(errno, EIO);
  EXPECT_FALSE(fs.HasFile("/w/b.txt"));
  EXPECT_EQ(fs.FileBytes("/w/a.txt"), "A");
}

#include "platform/memory_file_system.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "platform/atomic_file.h"
#include "platform/file_identity.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/fresh_file.h"
#include "platform/host_path.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_dates.h"

using namespace tessel;
using tessel::test::TestDate;
using tessel::test::TTempDir;

namespace {

// One sequence of primitive calls, run against the machine's file system in a
// temporary directory and against the in-memory one: the answers (success
// and errno) must agree, or tests on the memory one would prove nothing.
std::vector<std::string> Transcript(TFileSystem& fs, const std::string& root) {
  std::vector<std::string> log;
  auto note = [&](const std::string& what, bool ok) {
    log.push_back(what + (ok ? ": ok" : ": " + PlatformErrorText(errno)));
  };
  auto write = [&](const std::string& name, TOpenMode mode, const std::string& bytes) {
    auto file = fs.Open(root + name, mode);
    note("open " + name, file != nullptr);
    if (file) note("write+close " + name, file->Write(bytes.data(), bytes.size()) && file->Close());
  };
  TFileInfo info;
  note("mkdir d", fs.MakeDirectory(root + "/d"));
  note("mkdir d again", fs.MakeDirectory(root + "/d"));
  note("mkdir under missing", fs.MakeDirectory(root + "/x/y"));
  write("/d/a", TOpenMode::Create, "alpha");
  write("/d/a", TOpenMode::CreateNew, "again");
  write("/d/a", TOpenMode::Append, "+");
  write("/d", TOpenMode::Create, "");
  write("/missing/b", TOpenMode::Create, "");
  note("open missing for reading", fs.Open(root + "/d/none", TOpenMode::Read) != nullptr);
  note("open missing read-write", fs.Open(root + "/d/none", TOpenMode::ReadWrite) != nullptr);
  note("stat a", fs.Stat(root + "/d/a", info));
  log.push_back("size " + std::to_string(info.size) + (info.isDirectory ? " dir" : " file"));
  note("stat a as directory", fs.Stat(root + "/d/a/", info));
  note("stat d", fs.Stat(root + "/d", info) && info.isDirectory);
  write("/d/b", TOpenMode::Create, "beta");
  note("rename keeping b", fs.RenameNoReplace(root + "/d/a", root + "/d/b"));
  note("rename over b", fs.Rename(root + "/d/a", root + "/d/b"));
  note("rename missing", fs.Rename(root + "/d/a", root + "/d/c"));
  note("rename into missing directory", fs.Rename(root + "/d/b", root + "/z/b"));
  note("remove directory with files", fs.RemoveDirectory(root + "/d"));
  note("remove a directory as a file", fs.Remove(root + "/d"));
  note("remove a file as a directory", fs.RemoveDirectory(root + "/d/b"));
  {
    auto file = fs.Open(root + "/d/b", TOpenMode::Read);
    std::string bytes(16, '\0');
    const int64_t got = file ? file->Read(bytes.data(), bytes.size()) : -1;
    log.push_back("read " + bytes.substr(0, got < 0 ? 0 : static_cast<size_t>(got)));
  }
  note("set mode", fs.SetMode(root + "/d/b", 0444));
  note("stat b", fs.Stat(root + "/d/b", info));
  log.push_back(info.ReadOnly() ? "read-only" : "writable");
  note("set time", fs.SetWriteTime(root + "/d/b", 1234567890123456789));
  note("stat b", fs.Stat(root + "/d/b", info));
  log.push_back("time " + std::to_string(info.writeTime));
  note("mkdir e", fs.MakeDirectory(root + "/d/e"));
  std::vector<THostEntry> entries;
  note("list d", fs.List(root + "/d", entries));
  std::sort(entries.begin(), entries.end(),
            [](const THostEntry& a, const THostEntry& b) { return a.name < b.name; });
  for (const THostEntry& entry : entries)
    log.push_back(entry.name + (entry.isDirectory ? "/" : ""));
  entries.clear();
  note("list a file", fs.List(root + "/d/b", entries));
  note("list missing", fs.List(root + "/q", entries));
  note("remove b", fs.Remove(root + "/d/b"));
  note("remove e", fs.RemoveDirectory(root + "/d/e"));
  note("remove d", fs.RemoveDirectory(root + "/d"));
  return log;
}

}  // namespace

TEST(MemoryFileSystem, AnswersAsTheMachinesFileSystemDoes) {
  TTempDir dir;
  TMemoryFileSystem memory;
  memory.AddDirectory("/work");
  const auto real = Transcript(RealFileSystem(), dir.Path());
  EXPECT_EQ(Transcript(memory, "/work"), real);
  // The transcript does reach the interesting answers.
  EXPECT_NE(std::find(real.begin(), real.end(), "rename keeping b: File exists"), real.end());
}

TEST(MemoryFileSystem, TheFileFunctionsAndThePathMappingGoThroughIt) {
  TMemoryFileSystem fs;
  fs.AddFile("/sdk/Projects/Demo.INI", "[S]\r\nA=1\r\n", 1'000'000'000'123'456'789);
  fs.AddFile("/sdk/Projects/b.tmp", "b");
  fs.AddDirectory("/sdk/Projects/SUB");
  TFileSystemScope scope(fs);
  SetDriveRoot("/");
  // Found in another letter case by listing the directories in memory.
  EXPECT_EQ(HostPath("C:\\SDK\\projects\\demo.ini"), "/sdk/Projects/Demo.INI");
  EXPECT_TRUE(FileExists("C:\\SDK\\projects\\demo.ini"));
  EXPECT_TRUE(DirectoryExists("\\sdk\\projects\\sub"));
  EXPECT_EQ(GetFileStatus("/sdk/Projects/Demo.INI").writeTime, 1'000'000'000'123'456'789);
  EXPECT_EQ(ReadTextLines("/SDK/PROJECTS/DEMO.INI"), (std::vector<std::string>{"[S]", "A=1"}));
  EXPECT_EQ(FileSizeOf("/sdk/Projects/b.tmp"), 1);
  const auto listed = ListDirectory("/sdk/projects/*");
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[0].name, "b.tmp");
  EXPECT_EQ(listed[2].name, "SUB");
  EXPECT_TRUE(listed[2].isDirectory);

  // The copy keeps date and read-only flag; the read-only copy then refuses
  // to be overwritten or deleted, as on the machine.
  ASSERT_TRUE(SetReadOnly("/sdk/Projects/b.tmp", true));
  ASSERT_TRUE(CopyFileTo("/sdk/Projects/Demo.INI", "/sdk/copy.ini", true));
  EXPECT_EQ(GetFileStatus("/sdk/copy.ini").writeTime, 1'000'000'000'123'456'789);
  EXPECT_FALSE(CopyFileTo("/sdk/Projects/Demo.INI", "/sdk/copy.ini", true));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_FALSE(DeleteFileAt("/sdk/Projects/b.tmp"));
  EXPECT_EQ(errno, EACCES);
  EXPECT_THROW(WriteFileBytes("/sdk/Projects/b.tmp", "x"), EFileError);
  EXPECT_TRUE(SameFile("/sdk/copy.ini", "/SDK/COPY.INI"));
  EXPECT_FALSE(SameFile("/sdk/copy.ini", "/sdk/Projects/Demo.INI"));

  WriteFileAtomic("/sdk/new.txt", "new");
  AppendFileBytes("/sdk/new.txt", "er");
  EXPECT_EQ(fs.FileBytes("/sdk/new.txt"), "newer");
  EXPECT_TRUE(MoveFileTo("/sdk/new.txt", "/sdk/Projects/moved.txt"));
  EXPECT_FALSE(MoveFileTo("/sdk/copy.ini", "/sdk/Projects/moved.txt"));
  EXPECT_EQ(fs.FilesIn("/sdk"), std::vector<std::string>{"copy.ini"});
  // The machine's files were never touched: the scope's file system is the
  // only one in use.
  EXPECT_FALSE(RealFileSystem().Stat("/sdk/Projects/moved.txt", *std::make_unique<TFileInfo>()));
}

TEST(MemoryFileSystem, ScopesNestAndRestore) {
  TMemoryFileSystem outer, inner;
  outer.AddFile("/f", "outer");
  inner.AddFile("/f", "inner");
  {
    TFileSystemScope a(outer);
    {
      TFileSystemScope b(inner);
      EXPECT_EQ(ReadFileBytes("/f"), "inner");
    }
    EXPECT_EQ(ReadFileBytes("/f"), "outer");
  }
  EXPECT_EQ(&CurrentFileSystem(), &RealFileSystem());
}

TEST(MemoryFileSystem, FaultsFireAtTheNthCallOfTheirKindOnly) {
  TMemoryFileSystem fs;
  fs.AddFile("/a", "x");
  TFileInfo info;
  fs.FailAt(TFsCall::Stat, 2, EIO);
  EXPECT_TRUE(fs.Stat("/a", info));
  EXPECT_FALSE(fs.FaultReached());
  EXPECT_TRUE(fs.Remove("/none") == false && errno == ENOENT);  // another kind: not counted
  EXPECT_FALSE(fs.Stat("/a", info));
  EXPECT_EQ(errno, EIO);
  EXPECT_TRUE(fs.FaultReached());
  EXPECT_TRUE(fs.Stat("/a", info));  // once only
  EXPECT_EQ(fs.Calls(TFsCall::Stat), 3);

  // A full disk stays full.
  fs.FailAt(TFsCall::Write, 1, ENOSPC, /*sticky=*/true);
  auto file = fs.Open("/b", TOpenMode::Create);
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(file->Write("1", 1));
  EXPECT_FALSE(file->Write("2", 1));
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_TRUE(file->Close());
  EXPECT_EQ(fs.FileBytes("/b"), "");
  EXPECT_STREQ(FsCallName(TFsCall::Rename), "Rename");
}

// Every call of a whole-file replacement may fail: the old bytes stay, no
// temporary is left, and the message names the file.
TEST(MemoryFileSystem, AReplacementFailingAtAnyCallKeepsTheOldFile) {
  struct Writer {
    const char* name;
    std::function<void(const std::string&)> write;
  };
  const std::vector<Writer> writers = {
      {"atomic", [](const std::string& path) { WriteFileAtomic(path, "new bytes"); }},
      {"fresh",
       [](const std::string& path) {
         TFreshTextFile file(path);
         file.Write("new bytes");
         file.Close();
       }},
  };
  const TFsCall kinds[] = {TFsCall::Stat,   TFsCall::OpenWrite,    TFsCall::Write,
                           TFsCall::Flush,  TFsCall::Close,        TFsCall::Rename,
                           TFsCall::Remove, TFsCall::SetAttributes};
  for (const Writer& writer : writers) {
    for (const TFsCall kind : kinds) {
      for (int n = 1;; ++n) {
        SCOPED_TRACE(std::string(writer.name) + " " + FsCallName(kind) + " #" + std::to_string(n));
        TMemoryFileSystem fs;
        fs.AddFile("/p/out.txt", "old bytes");
        TFileSystemScope scope(fs);
        fs.FailAt(kind, n, kind == TFsCall::Write ? ENOSPC : EIO);
        std::string error;
        try {
          writer.write("/p/out.txt");
        } catch (const EFileError& e) {
          error = e.what();
        }
        if (!fs.FaultReached()) {
          EXPECT_EQ(error, "");
          EXPECT_EQ(fs.FileBytes("/p/out.txt"), "new bytes");
          EXPECT_EQ(fs.FilesIn("/p"), std::vector<std::string>{"out.txt"});
          break;
        }
        // A failed look-up or clean-up may pass unnoticed; what counts is
        // that the file holds the old bytes or the new ones, whole. A call
        // that carries the new bytes is never failed silently.
        const auto bytes = fs.FileBytes("/p/out.txt");
        if (kind == TFsCall::OpenWrite || kind == TFsCall::Write || kind == TFsCall::Flush ||
            kind == TFsCall::Close || kind == TFsCall::Rename) {
          EXPECT_NE(error, "");
        }
        if (!error.empty()) {
          EXPECT_NE(error.find("\"/p/out.txt\""), std::string::npos) << error;
          if (writer.name == std::string("fresh") && kind == TFsCall::Rename) {
            // A per-run file goes before its rename (see fresh_file.h).
            EXPECT_TRUE(fs.FilesIn("/p").empty());
          } else {
            EXPECT_EQ(fs.FilesIn("/p"), std::vector<std::string>{"out.txt"});
            EXPECT_EQ(bytes, "old bytes");
          }
        } else {
          EXPECT_EQ(bytes, "new bytes");
        }
        ASSERT_LT(n, 20) << "the operation never got past the fault";
      }
    }
  }
}

TEST(MemoryFileSystem, AnAtomicWriteWaitsForTheDiskUnlessToldNot) {
  TMemoryFileSystem fs;
  fs.AddFile("/p/out.txt", "old");
  TFileSystemScope scope(fs);
  fs.FailAt(TFsCall::Flush, 1, EIO);
  EXPECT_THROW(WriteFileAtomic("/p/out.txt", "new"), EFileError);
  EXPECT_TRUE(fs.FaultReached());
  EXPECT_EQ(fs.FilesIn("/p"), std::vector<std::string>{"out.txt"});
  EXPECT_EQ(fs.FileBytes("/p/out.txt"), "old");

  SetSyncBeforeReplace(false);
  fs.FailAt(TFsCall::Flush, 1, EIO);
  EXPECT_NO_THROW(WriteFileAtomic("/p/out.txt", "new"));
  SetSyncBeforeReplace(true);
  EXPECT_FALSE(fs.FaultReached());
  EXPECT_EQ(fs.FileBytes("/p/out.txt"), "new");
}

// While a build keeps directory listings, a file it has just created is
// found under any letter case, whichever way it was written.
TEST(MemoryFileSystem, NewFilesAreFoundInAnyCaseWhileListingsAreKept) {
  const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> writers = {
      {"create", [](const std::string& path) { TFile(path, TFile::Mode::Create).Write("x"); }},
      {"append", [](const std::string& path) { TFile(path, TFile::Mode::Append).Write("x"); }},
      {"text", [](const std::string& path) { TTextWriter(path, false).WriteLine("x"); }},
      {"atomic", [](const std::string& path) { WriteFileAtomic(path, "x"); }},
      {"fresh",
       [](const std::string& path) {
         TFreshTextFile file(path);
         file.Write("x");
         file.Close();
       }},
  };
  for (const auto& [name, write] : writers) {
    SCOPED_TRACE(name);
    TMemoryFileSystem fs;
    fs.AddFile("/p/old.txt", "old");
    TFileSystemScope scope(fs);
    TDirectoryListingScope listings;
    EXPECT_TRUE(FileExists("/P/OLD.TXT"));
    EXPECT_FALSE(FileExists("/P/NEW.TXT"));
    write("/p/new.txt");
    EXPECT_TRUE(FileExists("/P/NEW.TXT"));
    // Reading or replacing an existing file leaves the entries as they were.
    EXPECT_EQ(ReadFileBytes("/P/OLD.TXT"), "old");
  }
}

TEST(MemoryFileSystem, ReadFailuresNameTheFile) {
  TMemoryFileSystem fs;
  fs.AddFile("/in.bin", std::string(200000, 'x'));
  TFileSystemScope scope(fs);
  fs.FailAt(TFsCall::Read, 2, EIO);
  try {
    ReadFileBytes("/in.bin");
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_STREQ(e.what(), ("Read error on \"/in.bin\": " + PlatformErrorText(EIO)).c_str());
  }
  fs.FailAt(TFsCall::OpenRead, 1, EACCES);
  EXPECT_THROW(ReadTextLines("/in.bin"), EFileError);
  // A directory that vanished lists nothing.
  fs.AddFile("/dir/a", "");
  fs.FailAt(TFsCall::List, 1, ENOENT);
  EXPECT_TRUE(ListDirectory("/dir/*").empty());
  EXPECT_EQ(ListDirectory("/dir/*").size(), 1u);
}

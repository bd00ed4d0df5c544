#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/fresh_file.h"
#include "platform/host_file_system.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::TTempDir;

namespace {

// Bytes that differ from block to block, so a misplaced block shows.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 65536) & 0xFF);
  return bytes;
}

// Copies ranges from `sourcePath` into a new file at `targetPath`, from
// positions inside the streams' buffers, and checks the result.
void CheckRangeCopies(const std::string& sourcePath, const std::string& targetPath) {
  const std::string data = Pattern(300000);
  WriteFileBytes(sourcePath, data);
  TFile source(sourcePath, TFile::Mode::Read);
  TFile target(targetPath, TFile::Mode::Create);
  target.Write("head");
  char skip[10];
  source.ReadExact(skip, 10);  // a position inside the stream's buffer
  EXPECT_EQ(target.CopyFrom(source, 200000), 200000);
  EXPECT_EQ(source.Position(), 200010);
  EXPECT_EQ(target.Position(), 200004);
  target.Write("|");
  // Asked for more than is left: the rest, and the count says so.
  EXPECT_EQ(target.CopyFrom(source, 500000), 99990);
  EXPECT_EQ(target.CopyFrom(source, 5), 0);
  target.Close();
  EXPECT_EQ(ReadFileBytes(targetPath),
            "head" + data.substr(10, 200000) + "|" + data.substr(200010));
}

}  // namespace

TEST(FileCopy, CopiesLargeRangesBetweenPositionsAndStopsAtTheEndOfTheSource) {
  TTempDir dir;
  CheckRangeCopies(dir.File("src.bin"), dir.File("dst.bin"));
}

// Between two kinds of file system the kernel may refuse to copy; the bytes
// then go through the process, with the same result.
TEST(FileCopy, CopiesBetweenFileSystems) {
  TTempDir dir;
  const std::string shared = "/dev/shm";
  TFileInfo info;
  if (!RealFileSystem().Stat(shared, info) || !RealFileSystem().CanCreateIn(shared)) {
    GTEST_SKIP() << "no memory file system at " << shared;
  }
  const std::string source = shared + "/tessel-copy-" + std::to_string(::getpid()) + ".bin";
  CheckRangeCopies(source, dir.File("dst.bin"));
  RealFileSystem().Remove(source);
}

// A pipe has no position: the copy fails and the message names the side
// that is the pipe.
TEST(FileCopy, APipeAtEitherEndIsNamedInTheError) {
  TTempDir dir;
  const std::string pipe = dir.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const int keep = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);  // both ends open: nothing blocks
  ASSERT_GE(keep, 0);
  WriteFileBytes(dir.File("file.bin"), "bytes");
  auto failure = [](TFile& target, TFile& source) {
    try {
      target.CopyFrom(source, 4);
    } catch (const EFileError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  {
    TFile source(pipe, TFile::Mode::Read);
    TFile target(dir.File("out.bin"), TFile::Mode::Create);
    EXPECT_EQ(failure(target, source), "Read error on \"" + pipe + "\": Illegal seek");
  }
  {
    TFile source(dir.File("file.bin"), TFile::Mode::Read);
    TFile target(pipe, TFile::Mode::Create);
    EXPECT_EQ(failure(target, source), "Write error on \"" + pipe + "\": Illegal seek");
    // Plain writes need no position: they go through.
    target.Write("through");
    target.Flush();
  }
  char got[16] = {};
  EXPECT_EQ(::read(keep, got, sizeof got), 7);
  EXPECT_STREQ(got, "through");
  ::close(keep);
}

TEST(FileCopy, AFileCopiedIntoItselfReadsTheRangeBeforeWriting) {
  TTempDir dir;
  const std::string data = Pattern(200000);
  const std::string path = dir.Write("self.bin", data);
  TFile source(path, TFile::Mode::Read);
  TFile target(path, TFile::Mode::ReadWrite);
  target.Seek(1000);  // overlapping: writes land where reads have yet to go
  EXPECT_EQ(target.CopyFrom(source, 150000), 150000);
  target.Close();
  const std::string copied = data.substr(0, 1000) + data.substr(0, 150000) + data.substr(151000);
  EXPECT_EQ(ReadFileBytes(path), copied);

  // One open file into itself at its own position: the bytes stay, the
  // position moves behind them.
  TFile same(path, TFile::Mode::ReadWrite);
  same.Seek(5);
  EXPECT_EQ(same.CopyFrom(same, 100), 100);
  EXPECT_EQ(same.Position(), 105);
  same.Close();
  EXPECT_EQ(ReadFileBytes(path), copied);
}

TEST(FreshTextFile, RewritesTheFileWholeAndRefusesAReadOnlyFile) {
  TTempDir dir;
  const std::string path = dir.Write("TEMP.TXT", "old options\r\n");
  {
    TFreshTextFile options(path);
    options.WriteLine("-a");
    EXPECT_EQ(ReadFileBytes(path), "old options\r\n");  // nothing shows before Close
    options.WriteLine("-b=\"x\"");
    options.Close();
  }
  EXPECT_EQ(ReadFileBytes(path), "-a\r\n-b=\"x\"\r\n");
  {
    TFreshTextFile abandoned(path);
    abandoned.WriteLine("-c");
  }
  EXPECT_EQ(ReadFileBytes(path), "-a\r\n-b=\"x\"\r\n");
  EXPECT_EQ(ListDirectory(dir.Path() + "/*").size(), 1u);  // no temporary left behind

  ASSERT_TRUE(SetReadOnly(path, true));
  EXPECT_THROW(TFreshTextFile refused(path), EFileError);
  EXPECT_EQ(ReadFileBytes(path), "-a\r\n-b=\"x\"\r\n");
  EXPECT_THROW(TFreshTextFile noDir(dir.File("missing/TEMP.TXT")), EFileError);

  // Longer and shorter texts than the one before, and none.
  const std::string other = dir.File("OTHER.TXT");
  for (const std::string text : {"-a-much-longer-option\r\n", "-e\r\n", ""}) {
    TFreshTextFile options(other);
    options.Write(text);
    options.Close();
    EXPECT_EQ(ReadFileBytes(other), text);
  }
  // A file made for a run that never closes it goes again.
  {
    TFreshTextFile abandoned(dir.File("NEW.TXT"));
    abandoned.WriteLine("-d");
  }
  EXPECT_FALSE(FileExists(dir.File("NEW.TXT")));
}

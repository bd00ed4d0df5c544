// How commands fail: user-level failures end the run with an error text,
// operating-system errors raise an exception naming the file, and the two
// commands that turn such an error into something else keep its cause.

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/memory_file_system.h"
#include "tests/patcher/patch_fixture.h"

using namespace tessel;
using namespace tessel::test;

namespace {

// The text of the exception a run raises, or "" when it raises none.
template <class TException, class TRun>
std::string Raised(TRun&& run) {
  try {
    run();
  } catch (const TException& e) {
    return e.what();
  }
  return "";
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(TPatchTest, ReadsPastTheTargetEndRaiseAnErrorNamingTheTarget) {
  std::string text = Raised<EFileError>([&] { On("abc", {"GOTO=1", "COPY=3"}); });
  EXPECT_TRUE(Has(text, Path("t.bin"))) << text;
  EXPECT_EQ(Target(), "abc");  // an exception leaves the target to the caller

  // A display that overhangs the end cannot be exported; no bitmap appears.
  dir.Write("shot.bmp", "old picture");
  text = Raised<EFileError>([&] {
    On(std::string(100, '\0'), {"DISPLAYADDR=99", "TESTBITMAP=shot.bmp"});
  });
  EXPECT_TRUE(Has(text, Path("t.bin"))) << text;
  EXPECT_EQ(dir.Read("shot.bmp"), "old picture");
}

TEST_F(TPatchTest, ATargetFileThatFailsQuietlyKeepsItsCauseForTheNextCommand) {
  dir.Write("t.bin", "precious");
  dir.Write("srcdir/x", "");
  dir.Write("s.bin", "source");
  {
    TPatcher patcher;
    const std::string text = Raised<ETargetNotOpen>([&] {
      RunWith(patcher,
              {DirectoryLine(), "SOURCEFILE=srcdir", "TARGETFILE=t.bin", "INVERT=TRUE", "GOTO=1"});
    });
    // The command itself stays silent; the next one that needs the target
    // says that it is not open, and why.
    EXPECT_EQ(text.rfind("TargetFile not open (", 0), 0u) << text;
    EXPECT_TRUE(Has(text, Path("srcdir"))) << text;
    EXPECT_TRUE(Has(patcher.Cause(), Path("srcdir"))) << patcher.Cause();
    EXPECT_TRUE(Logged("INVERT=TRUE -> -1"));
    EXPECT_FALSE(Logged("TARGETFILE=t.bin"));
    EXPECT_EQ(patcher.Error(), "");
  }
  EXPECT_EQ(dir.Read("t.bin"), "precious");

  // A later TARGETFILE that opens its target forgets the cause.
  TPatcher patcher;
  RunWith(patcher, {DirectoryLine(), "SOURCEFILE=srcdir", "TARGETFILE=t.bin", "SOURCEFILE=s.bin",
                    "TARGETFILE=u.bin", "GOTO=1"});
  EXPECT_EQ(patcher.Error(), "");
  EXPECT_EQ(patcher.Cause(), "");

  // Without any TARGETFILE the text is the plain one.
  EXPECT_EQ(Raised<ETargetNotOpen>([&] { Run({"GOTO=0"}); }), "TargetFile not open");
}

TEST_F(TPatchTest, InsertFileErrorsKeepTheirCauseBehindTheFileErrorLine) {
  EXPECT_EQ(On("keep", {"INSERTSTRING=x", "INSERTFILE=nothere.bin"}), " -> File error");
  EXPECT_TRUE(Logged("INSERTFILE=nothere.bin -> File error"));
  EXPECT_FALSE(FileExists(Path("t.bin")));  // the run's own target goes

  // A list file that cannot replace the old one leaves the old one whole.
  dir.Write("in.bin", "ABC");
  dir.Write("lists/l.txt", "old list");
  ASSERT_TRUE(SetReadOnly(Path("lists/l.txt"), true));
  TPatcher patcher;
  dir.Write("t.bin", "keep");
  RunWith(patcher,
          {DirectoryLine(), "TARGETFILE=t.bin", "INSERTFILE=in.bin,0,0," + Path("lists/l.txt")});
  EXPECT_EQ(patcher.Error(), " -> File error");
  EXPECT_TRUE(Has(patcher.Cause(), Path("lists/l.txt"))) << patcher.Cause();
  EXPECT_EQ(dir.Read("lists/l.txt"), "old list");

  // A missing file: the cause names it.
  TPatcher second;
  dir.Write("t.bin", "keep");
  RunWith(second, {DirectoryLine(), "TARGETFILE=t.bin", "INSERTFILE=nothere.bin"});
  EXPECT_TRUE(Has(second.Cause(), Path("nothere.bin"))) << second.Cause();
}

TEST_F(TPatchTest, ACopyThatCannotBeMadeLeavesThePreviousTarget) {
  // The new copy is made beside the target; a directory that takes no new
  // file refuses it, and the previous target stays as it was.
  dir.Write("out/t.bin", "previous");
  dir.Write("s.bin", "source bytes");
  ASSERT_TRUE(SetReadOnly(Path("out"), true));
  TPatcher patcher;
  EXPECT_THROW(RunWith(patcher, {DirectoryLine(), "SOURCEFILE=s.bin", "TARGETFILE=out/t.bin",
                                 "INSERTSTRING=x"}),
               ETargetNotOpen);
  EXPECT_TRUE(Has(patcher.Cause(), Path("out/t.bin"))) << patcher.Cause();
  ASSERT_TRUE(SetReadOnly(Path("out"), false));
  EXPECT_EQ(dir.Read("out/t.bin"), "previous");

  // Where it can be made, the copy replaces the target whole.
  EXPECT_EQ(Run({DirectoryLine(), "SOURCEFILE=s.bin", "TARGETFILE=out/t.bin", "GOTO=FILESIZE",
                 "INSERTSTRING=!"}),
            "");
  EXPECT_EQ(dir.Read("out/t.bin"), std::string("source bytes!\0", 14));
}

TEST_F(TPatchTest, WrittenBytesThatCannotReachTheTargetAreNoSuccess) {
  const std::string oldRoot = DriveRoot();
  SetDriveRoot("/");
  TMemoryFileSystem fs;
  fs.AddFile("/W/t.bin", "0123456789");
  fs.AddFile("/W/test.pat", "TARGETFILE=C:\\W\\t.bin\r\nINSERTSTRING=abc\r\n");
  {
    TFileSystemScope scope(fs);
    TPatcher patcher;
    // Once the last command is done, the disk is full: what the target
    // still buffers cannot be written.
    patcher.OnLog = [&](const std::string& text, bool) {
      if (text.starts_with("INSERTSTRING=abc")) fs.FailAt(TFsCall::Flush, 1, ENOSPC, true);
    };
    const std::string text = Raised<EFileError>([&] { patcher.Run("C:\\W\\test.pat"); });
    EXPECT_TRUE(Has(text, "C:\\W\\t.bin")) << text;
    fs.ClearFaults();
  }
  SetDriveRoot(oldRoot);
}

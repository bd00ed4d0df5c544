#include "platform/file_stream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::TTempDir;

TEST(FileStream, RandomAccessReadsAndWritesShareOnePosition) {
  TTempDir dir;
  const std::string path = dir.File("t.bin");
  TFile file(path, TFile::Mode::Create);
  file.Write("0123456789");
  EXPECT_EQ(file.Position(), 10);
  EXPECT_EQ(file.Size(), 10);
  file.Seek(2);
  char buf[4] = {};
  file.ReadExact(buf, 3);
  EXPECT_EQ(std::string(buf, 3), "234");
  file.Write("ab");  // right after a read, at position 5
  EXPECT_EQ(file.Position(), 7);
  EXPECT_EQ(file.Read(buf, 4), 3u);  // short at the end
  EXPECT_EQ(std::string(buf, 3), "789");
  EXPECT_EQ(file.Read(buf, 4), 0u);
  file.Seek(12);
  file.Write("Z");  // past the end: the gap is zero-filled
  file.Truncate(13);
  EXPECT_EQ(file.Size(), 13);
  file.Truncate(4);
  EXPECT_EQ(file.Size(), 4);
  file.Seek(0);
  EXPECT_THROW(file.ReadExact(buf, 5), EFileError);
  file.Close();
  file.Close();  // idempotent
  EXPECT_FALSE(file.IsOpen());
  EXPECT_THROW(file.Write("x"), EFileError);
  EXPECT_EQ(dir.Read("t.bin"), "0123");

  try {
    TFile again(path, TFile::Mode::ReadWrite);
    again.Seek(10);
    again.ReadExact(buf, 1);
    FAIL() << "no exception";
  } catch (const EFileError& e) {
    EXPECT_STREQ(e.what(), "Read beyond end of file");
  }
}

TEST(FileStream, ModesAndMoves) {
  TTempDir dir;
  const std::string path = dir.File("m.txt");
  EXPECT_THROW(TFile(path, TFile::Mode::Read), EFileError);
  EXPECT_THROW(TFile(path, TFile::Mode::ReadWrite), EFileError);
  {
    TFile append(path, TFile::Mode::Append);
    append.Write("a");
  }
  {
    TFile append(path, TFile::Mode::Append);
    append.Write("b");
  }
  EXPECT_EQ(dir.Read("m.txt"), "ab");
  TFile first(path, TFile::Mode::ReadWrite);
  TFile second = std::move(first);
  EXPECT_FALSE(first.IsOpen());
  EXPECT_EQ(second.Path(), path);
  second.Write("X");
  second = TFile(dir.File("other"), TFile::Mode::Create);  // closes m.txt, flushing it
  EXPECT_EQ(dir.Read("m.txt"), "Xb");
  TFile created(path, TFile::Mode::Create);
  EXPECT_EQ(created.Size(), 0);
}

TEST(FileStream, TextLinesEndWithCrLfOrLf) {
  TTempDir dir;
  dir.Write("in.txt", "one\r\ntwo\nthree\r\n\r\nlone\rcr\nlast");
  TTextReader reader(dir.File("IN.TXT"));
  std::vector<std::string> lines;
  std::string line;
  EXPECT_FALSE(reader.Eof());
  while (reader.ReadLine(line)) lines.push_back(line);
  EXPECT_TRUE(reader.Eof());
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "", "lone\rcr", "last"}));

  dir.Write("empty.txt", "");
  TTextReader empty(dir.File("empty.txt"));
  EXPECT_TRUE(empty.Eof());
  EXPECT_FALSE(empty.ReadLine(line));

  // Lines longer than the reader's block, with a CR LF split across blocks.
  const std::string longLine(65535, 'q');
  dir.Write("long.txt", longLine + "\r\n" + longLine + "x\n\n");
  EXPECT_EQ(ReadTextLines(dir.File("long.txt")),
            (std::vector<std::string>{longLine, longLine + "x", ""}));

  // Lines of every length ending anywhere in a block, and one several
  // blocks long.
  std::vector<std::string> expected;
  std::string text;
  for (size_t i = 0; i < 40000; ++i) {
    expected.push_back(std::string(i % 97, static_cast<char>('a' + i % 26)));
    text += expected.back() + (i % 3 == 0 ? "\r\n" : "\n");
  }
  expected.push_back(std::string(300000, 'w'));
  text += expected.back();
  dir.Write("many.txt", text);
  EXPECT_EQ(ReadTextLines(dir.File("many.txt")), expected);
}

TEST(FileStream, WriterUsesCrLf) {
  TTempDir dir;
  {
    TTextWriter writer(dir.File("out.txt"));
    writer.WriteLine("a");
    writer.Write("b");
    writer.WriteLine("");
    writer.Close();
  }
  {
    TTextWriter writer(dir.File("out.txt"), true);
    writer.WriteLine("c");
  }
  EXPECT_EQ(dir.Read("out.txt"), "a\r\nb\r\nc\r\n");
  EXPECT_THROW(TTextWriter(dir.File("none/out.txt")), EFileError);
}

TEST(FileStream, AWriterOverAFileKeepsItUntilCut) {
  TTempDir dir;
  const std::string path = dir.Write("LOG.TXT", "old text that is long");
  struct stat before, after;
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  {
    TTextWriter writer = TTextWriter::Over(path);
    writer.Write("new");
    writer.Flush();
    EXPECT_EQ(dir.Read("LOG.TXT"), "new text that is long");
    EXPECT_TRUE(writer.CutHere());
    EXPECT_EQ(dir.Read("LOG.TXT"), "new");
    writer.Write(" and more");  // cutting again at a later end
    EXPECT_TRUE(writer.CutHere());
  }
  EXPECT_EQ(dir.Read("LOG.TXT"), "new and more");
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);  // the same file, written over
  // A missing file is made; a link is written through; a read-only file
  // and a directory refuse as a new writer does; a pipe has nothing to cut.
  {
    TTextWriter made = TTextWriter::Over(dir.File("NEW.TXT"));
    made.Write("x");
  }
  EXPECT_EQ(dir.Read("NEW.TXT"), "x");
  ASSERT_EQ(::symlink(path.c_str(), dir.File("LINK.TXT").c_str()), 0);
  {
    TTextWriter linked = TTextWriter::Over(dir.File("LINK.TXT"));
    linked.Write("via");
    EXPECT_TRUE(linked.CutHere());
  }
  EXPECT_EQ(dir.Read("LOG.TXT"), "via");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_THROW(TTextWriter::Over(path), EFileError);
  EXPECT_THROW(TTextWriter::Over(dir.Path()), EFileError);
  const std::string pipe = dir.File("PIPE");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  TTextWriter piped = TTextWriter::Over(pipe);
  EXPECT_FALSE(piped.CutHere());
}

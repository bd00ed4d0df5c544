#include <gtest/gtest.h>

#include <cstdio>

#include "patcher/patch_values.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "tests/patcher/patch_fixture.h"
#include "tests/support/test_dates.h"

using namespace tessel;
using namespace tessel::test;

using TInsertTest = TPatchTest;

TEST_F(TInsertTest, GotoFollowsTheOffsetRuleAndTheFileSizeRule) {
  EXPECT_EQ(On(std::string(64, '\0'), {"CODEOFFSET=$100", "FILEOFFSET=$20", "GOTO=$110",
                                       "INSERTCHAR=1", "GOTO=$F0", "INSERTCHAR=2"}),
            "");
  EXPECT_TRUE(Logged("CODEOFFSET=$100 -> 00000100"));
  EXPECT_TRUE(Logged("FILEOFFSET=$20 -> 00000020"));
  EXPECT_TRUE(Logged("GOTO=$110 -> 00000030"));
  EXPECT_TRUE(Logged("GOTO=$F0 -> 00000010"));
  EXPECT_EQ(Target()[0x30], 1);
  EXPECT_EQ(Target()[0x10], 2);

  EXPECT_EQ(On("abc", {"GOTO=FILESIZE", "INSERTSTRING=d", "ADJUSTMENT=-2", "GOTO=FILESIZE",
                       "INSERTSTRING=X"}),
            "");
  EXPECT_TRUE(Logged("GOTO=FILESIZE -> 00000003"));
  EXPECT_TRUE(Logged("GOTO=FILESIZE -> 00000003"));
  EXPECT_EQ(Target(), std::string("abcX\0", 5));
}

TEST_F(TInsertTest, GotoPastTheEndExtendsWithZerosUpToMaxSize) {
  TParamlist params;
  params.SetValue("AUTOEXPAND", "TRUE");
  EXPECT_EQ(On(std::string(100, 'x'), {"GOTO=120", "INSERTCHAR=7"}, &params), "");
  EXPECT_EQ(Target(), std::string(100, 'x') + std::string(20, '\0') + "\x07");
  EXPECT_EQ(On("ab", {"GOTO=6", "GOTO=FILESIZE"}), "");  // without AUTOEXPAND
  EXPECT_TRUE(Logged("GOTO=FILESIZE -> 00000006"));
  EXPECT_EQ(Target(), std::string("ab\0\0\0\0", 6));

  EXPECT_EQ(On("ab", {"MAXSIZE=abc", "GOTO=0", "GOTO=1"}),
            "Position exceeds max allowed size! GOTO=1");
  EXPECT_TRUE(Logged("MAXSIZE=abc -> 00000000"));
  EXPECT_FALSE(FileExists(Path("t.bin")));
}

TEST_F(TInsertTest, PositionsBeforeTheFileStartFailInOrder) {
  EXPECT_EQ(On("abc", {"CODEOFFSET=$10", "GOTO=$8"}), "Position before start of file! GOTO=$8");
  EXPECT_FALSE(FileExists(Path("t.bin")));
  EXPECT_EQ(On("abc", {"ADJUSTMENT=-4", "GOTO=FILESIZE"}),
            "Position before start of file! GOTO=FILESIZE");
  EXPECT_EQ(On("abc", {"CHECKSTRING=-1,a"}), "Position before start of file! CHECKSTRING=-1,a");
  EXPECT_EQ(On("abc", {"INSERTCHAR=1,-1"}), "Negative count! INSERTCHAR=1,-1");
  EXPECT_EQ(On("abc", {"INSERTFILE=t.bin,1,-1"}),
            "Position before start of file! INSERTFILE=t.bin,1,-1");
}

TEST_F(TInsertTest, AdjustmentForms) {
  EXPECT_EQ(On("", {"ADJUSTMENT=-$10", "ADJUSTMENT=-16", "ADJUSTMENT=$-10", "ADJUSTMENT= - $ 1 0",
                    "ADJUSTMENT=$FFFFFFFF", "ADJUSTMENT=-$80000000"}),
            "");
  EXPECT_TRUE(Logged("ADJUSTMENT=-$10 -> -16"));
  EXPECT_TRUE(Logged("ADJUSTMENT=-16 -> -16"));
  EXPECT_TRUE(Logged("ADJUSTMENT=$-10 -> 0"));
  EXPECT_TRUE(Logged("ADJUSTMENT= - $ 1 0 -> -16"));
  EXPECT_TRUE(Logged("ADJUSTMENT=$FFFFFFFF -> -1"));
  EXPECT_TRUE(Logged("ADJUSTMENT=-$80000000 -> -2147483648"));
}

TEST_F(TInsertTest, InsertFileSizeByteOrdersInversionAndAdjustment) {
  const std::string zeros(4096, '\0');
  EXPECT_EQ(On(zeros, {"GOTO=8", "INSERTFILESIZE", "BIGENDIAN=FALSE", "INSERTFILESIZE",
                       "INVERT=TRUE", "INSERTFILESIZE", "ADJUSTMENT=-$1000", "BIGENDIAN=TRUE",
                       "INVERT=0", "INSERTFILESIZE=ignored"}),
            "");
  EXPECT_EQ(Hex(Target().substr(8, 16)), "00 00 10 00 00 10 00 00 FF EF FF FF 00 00 00 00");
  EXPECT_EQ(Target().size(), 4096u);
  EXPECT_TRUE(Logged("INSERTFILESIZE -> 00000008=00001000"));
  EXPECT_TRUE(Logged("INSERTFILESIZE -> 0000000C=00100000"));
  EXPECT_TRUE(Logged("INSERTFILESIZE -> 00000010=FFEFFFFF"));
  EXPECT_TRUE(Logged("INSERTFILESIZE=ignored -> 00000014=00000000"));
  EXPECT_TRUE(Logged("BIGENDIAN=FALSE -> 0"));
  EXPECT_TRUE(Logged("INVERT=TRUE -> -1"));
  EXPECT_TRUE(Logged("INVERT=0 -> 0"));

  // At the end, the size counted is the size before the write.
  EXPECT_EQ(On("ab", {"GOTO=FILESIZE", "INSERTFILESIZE"}), "");
  EXPECT_EQ(Hex(Target()), "61 62 00 00 00 02");
}

TEST_F(TInsertTest, InsertCharInsertListAndDelimiters) {
  EXPECT_EQ(On("", {"INSERTCHAR=$FF,3", "INSERTCHAR=7", "INSERTCHAR=$141,0", "INSERTCHAR=,2",
                    "INSERTLIST=$41,$42,67", "DELIM=;", "INSERTLIST=$41;$42;$143", "DELIM=<>",
                    "INSERTLIST=1<>2", "DELIM=,,", "INSERTLIST=3,,4,,5"}),
            "");
  EXPECT_EQ(Hex(Target()), "FF FF FF 07 00 00 41 42 43 41 42 43 01 02 03 04 05");
  EXPECT_TRUE(Logged("INSERTCHAR=$FF,3 -> 3"));
  EXPECT_TRUE(Logged("INSERTCHAR=$141,0 -> 0"));
  EXPECT_TRUE(Logged("INSERTLIST=$41,$42,67 -> 3"));
  EXPECT_TRUE(Logged("DELIM=; -> \";\""));
  EXPECT_TRUE(Logged("DELIM=<> -> \"<>\""));

  // An empty delimiter cuts nothing: the whole value is the first field.
  EXPECT_EQ(On("", {"DELIM=", "INSERTCHAR=$41", "INSERTLIST=$42"}), "");
  EXPECT_EQ(Hex(Target()), "41 42");
  EXPECT_TRUE(Logged("DELIM= -> \"\""));

  // An empty field converts to nothing: nothing is written.
  for (const char* bad :
       {"INSERTLIST=", "INSERTLIST=  ", "INSERTLIST=1,2,", "INSERTLIST=1,,2", "INSERTLIST=1;2"}) {
    EXPECT_THROW(On("z", {bad}), EConvertError) << bad;
    EXPECT_EQ(Target(), "z") << bad;
  }
}

TEST_F(TInsertTest, InsertStringAndInsertTime) {
  const TDateTime fixed = TestDate(2023, 11, 2, 9, 5);
  dir.Write("t.bin", "");
  {
    TPatcher patcher;
    patcher.SetClock([fixed] { return fixed; });
    RunWith(patcher, {DirectoryLine(), "TARGETFILE=t.bin", "INSERTSTRING=\"a, b\"",
                      "INSERTSTRING=", "INSERTTIME=yyyy.mm.dd hh:nn \"x,y\"", "INSERTTIME="});
    EXPECT_EQ(patcher.Error(), "");
  }
  EXPECT_TRUE(Logged("INSERTSTRING=\"a, b\" -> \"a, b\""));
  EXPECT_TRUE(Logged("INSERTSTRING= -> \"\""));
  EXPECT_TRUE(Logged("INSERTTIME=yyyy.mm.dd hh:nn \"x,y\" -> \"2023.11.02 09:05 x,y\""));
  EXPECT_EQ(Target(), std::string("a, b\0\0"
                                  "2023.11.02 09:05 x,y\0\0",
                                  28));
}

TEST_F(TInsertTest, InsertFileRegionsAndFailures) {
  std::string data;
  for (int i = 0; i < 40; ++i) data += static_cast<char>(i);
  dir.Write("data.bin", data);
  dir.Write("empty.bin", "");
  EXPECT_EQ(On("", {"INSERTFILE=data.bin", "INSERTFILE=\"data.bin\",0,10",
                    "INSERTFILE=data.bin,2,38", "INSERTFILE=" + Path("data.bin") + ",1,5"}),
            "");
  EXPECT_EQ(Target(), data + data.substr(10) + data.substr(38) + data.substr(5, 1));
  EXPECT_TRUE(Logged("INSERTFILE=data.bin\r\n -> " + Path("data.bin")));

  EXPECT_EQ(On("", {"INSERTFILE=empty.bin"}), "Size missing! INSERTFILE=empty.bin");
  EXPECT_FALSE(Logged("INSERTFILE=empty.bin\r\n -> " + Path("empty.bin")));
  EXPECT_EQ(On("", {"INSERTFILE=data.bin,3,38"}),
            "Size exceeds filesize! INSERTFILE=data.bin,3,38");
  EXPECT_EQ(On("", {"INSERTFILE=data.bin,-1"}), "Size missing! INSERTFILE=data.bin,-1");
  EXPECT_EQ(On("keep", {"INSERTFILE=nothere.bin"}), " -> File error");
  EXPECT_TRUE(Logged("INSERTFILE=nothere.bin -> File error"));
  EXPECT_FALSE(FileExists(Path("t.bin")));
}

TEST_F(TInsertTest, ListFileRecreatesTheSameBytes) {
  std::string data;
  for (int i = 0; i < 35; ++i) data += static_cast<char>(i * 9);
  dir.Write("data.bin", data);
  const std::string list = Path("list.txt");
  EXPECT_EQ(On(std::string(8, '.'), {"DELIM=;", "GOTO=3", "INSERTFILE=data.bin;;;" + list}), "");
  const std::string inserted = Target();
  std::vector<std::string> lines = ReadTextLines(list);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "INSERTLIST=$00;$09;$12;$1B;$24;$2D;$36;$3F;$48;$51;$5A;$63;$6C;$75;$7E;$87");
  EXPECT_EQ(lines[2], "INSERTLIST=$20;$29;$32");
  EXPECT_EQ(dir.Read("list.txt").substr(lines[0].size(), 2), "\r\n");

  lines.insert(lines.begin(), {"DELIM=;", "GOTO=3"});
  EXPECT_EQ(On(std::string(8, '.'), lines), "");
  EXPECT_EQ(Target(), inserted);
  EXPECT_EQ(inserted, "..." + data);
}

// Files larger than the copy blocks stream into the target and into the
// list file with nothing lost or repeated at the block seams.
TEST_F(TInsertTest, LargeFilesStreamWholeIntoTheTargetAndTheListFile) {
  std::string data(70000 * 3 + 5, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 13 + i / 4096) & 0xFF);
  dir.Write("big.bin", data);
  const std::string list = Path("big.txt");
  EXPECT_EQ(On("ab", {"MAXSIZE=$100000", "GOTO=1", "INSERTFILE=big.bin,0,3," + list}), "");
  EXPECT_EQ(Target(), "a" + data.substr(3));
  const std::vector<std::string> lines = ReadTextLines(list);
  ASSERT_EQ(lines.size(), (data.size() - 3 + 15) / 16);
  // The line that starts the second 64 KiB block of the list.
  const size_t line = 65536 / 16;
  std::string expected = "INSERTLIST=";
  for (size_t i = 0; i < 16; ++i) {
    char item[8];
    std::snprintf(item, sizeof item, "%s$%02X", i == 0 ? "" : ",",
                  static_cast<unsigned char>(data[3 + line * 16 + i]));
    expected += item;
  }
  EXPECT_EQ(lines[line], expected);
  EXPECT_EQ(lines.back().size(), std::string("INSERTLIST=$00,$00").size());  // 2 bytes left
}

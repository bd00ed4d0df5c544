#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/patcher/patch_fixture.h"

using namespace tessel;
using namespace tessel::test;

using TCopyCheckTest = TPatchTest;

TEST_F(TCopyCheckTest, CopyHoldsBytesThatPasteWritesAgain) {
  EXPECT_EQ(On("abcd", {"COPY=4", "PASTE", "PASTE=x", "COPY=0", "PASTE"}), "");
  EXPECT_EQ(Target(), "abcdabcdabcd");
  EXPECT_TRUE(Logged("COPY=4 -> 4"));
  EXPECT_TRUE(Logged("PASTE=x -> 4"));
  EXPECT_TRUE(Logged("COPY=0 -> failed"));
  EXPECT_TRUE(Logged("PASTE -> failed"));  // COPY=0 released the bytes

  // One held byte is adjusted modulo 256; several are each adjusted.
  EXPECT_EQ(On(Bytes("FF 10 20"),
               {"ADJUSTMENT=1", "COPY=1", "PASTE", "GOTO=1", "COPY=2", "ADJUSTMENT=-$11", "PASTE"}),
            "");
  EXPECT_EQ(Hex(Target()), "FF 00 20 EF 0F");

  EXPECT_THROW(On("abc", {"GOTO=1", "COPY=3"}), EFileError);
  EXPECT_THROW(On("abc", {"COPY=2147483647"}), EFileError);
  EXPECT_EQ(Target(), "abc");
}

TEST_F(TCopyCheckTest, CheckStringComparesWithoutMovingThePosition) {
  EXPECT_EQ(
      On("Hello, world", {"GOTO=2", "CHECKSTRING=7,\"world\"", "CHECKSTRING=0,", "INSERTSTRING=y"}),
      "");
  EXPECT_TRUE(Logged("CHECKSTRING=7,\"world\" -> 00000007==\"world\""));
  EXPECT_EQ(Target(), std::string("Hey\0o, world", 12));

  EXPECT_EQ(On("Hello", {"CHECKSTRING=3,lo!"}), "Check failed! CHECKSTRING=3,lo! vs. lo");
  EXPECT_TRUE(Logged("CHECKSTRING=3,lo! -> 00000003==lo!"));  // logged in both outcomes
  EXPECT_FALSE(FileExists(Path("t.bin")));
  EXPECT_EQ(On("Hello", {"CHECKSTRING=5,x"}), "Position exceeds filesize! CHECKSTRING=5,x");
  EXPECT_FALSE(Logged("CHECKSTRING=5,x -> 00000005==x"));
  EXPECT_THROW(On("Hello", {"CHECKSTRING=five,x"}), EConvertError);
}

TEST_F(TCopyCheckTest, CheckListComparesUnsignedByteValues) {
  EXPECT_EQ(On(Bytes("01 FF 7F 80 00"),
               {"GOTO=4", "CHECKLIST=0,1,$FF,127,$80", "CHECKLIST=4", "INSERTCHAR=9"}),
            "");
  EXPECT_TRUE(Logged("CHECKLIST=0,1,$FF,127,$80 -> 00000000 4"));
  EXPECT_TRUE(Logged("CHECKLIST=4 -> 00000004 0"));
  EXPECT_EQ(Hex(Target()), "01 FF 7F 80 09");

  // -1 and 511 have the low byte FF but are no byte values.
  EXPECT_EQ(On(Bytes("01 FF 7F 80 00"), {"CHECKLIST=1,-1"}), "Check failed! CHECKLIST=1,-1 vs. FF");
  EXPECT_TRUE(Logged("CHECKLIST=1,-1 -> 00000001 1"));
  EXPECT_EQ(On(Bytes("01 FF 7F 80 00"), {"CHECKLIST=1,$FF,511"}),
            "Check failed! CHECKLIST=1,$FF,511 vs. FF7F");
  // The message shows at most the first four bytes read.
  EXPECT_EQ(On(Bytes("01 FF 7F 80 00"), {"CHECKLIST=0,1,$FF,127,$80,1"}),
            "Check failed! CHECKLIST=0,1,$FF,127,$80,1 vs. 01FF7F80");
  EXPECT_EQ(On(Bytes("01 FF"), {"CHECKLIST=1,$FF,0"}), "Check failed! CHECKLIST=1,$FF,0 vs. FF");
  EXPECT_EQ(On(Bytes("01 FF"), {"CHECKLIST=2,0"}), "Position exceeds filesize! CHECKLIST=2,0");
  EXPECT_THROW(On(Bytes("01 FF"), {"CHECKLIST=0,1,x"}), EConvertError);
}

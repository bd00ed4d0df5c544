#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/patcher/patch_fixture.h"

using namespace tessel;
using namespace tessel::test;

using TChecksumTest = TPatchTest;

TEST_F(TChecksumTest, SumSavedInEitherByteOrder) {
  const std::string bytes = Bytes("01 02 03 FF 00 00 00 00 00 00 00 00");
  EXPECT_EQ(On(bytes, {"CHKSUM_INIT=0", "CHKSUM_CALC=0,3", "CHKSUM_SAVE=8"}), "");
  EXPECT_TRUE(Logged("CHKSUM_INIT=0 -> 00000000"));
  EXPECT_TRUE(Logged("CHKSUM_CALC=0,3 -> 00000105"));
  EXPECT_TRUE(Logged("CHKSUM_SAVE=8 -> 00000008=00000105"));
  EXPECT_EQ(Hex(Target().substr(8)), "00 00 01 05");

  EXPECT_EQ(On(bytes, {"BIGENDIAN=FALSE", "CHKSUM_CALC=0,3", "CHKSUM_SAVE=8", "INVERT=TRUE",
                       "CHKSUM_SAVE=4"}),
            "");
  EXPECT_TRUE(Logged("CHKSUM_SAVE=8 -> 00000008=05010000"));
  EXPECT_EQ(Hex(Target().substr(4)), "05 01 00 00 05 01 00 00");  // INVERT does not apply
}

TEST_F(TChecksumTest, RegionsAddUpAndWrap) {
  const std::string bytes = Bytes("01 02 03 FF");
  EXPECT_EQ(On(bytes, {"CHKSUM_CALC=0,1", "CHKSUM_CALC=1,3", "CHKSUM_CALC=2,2", "CHKSUM_CALC=3,2"}),
            "");
  EXPECT_TRUE(Logged("CHKSUM_CALC=0,1 -> 00000003"));
  EXPECT_TRUE(Logged("CHKSUM_CALC=1,3 -> 00000107"));
  EXPECT_TRUE(Logged("CHKSUM_CALC=2,2 -> 0000010A"));
  EXPECT_TRUE(Logged("CHKSUM_CALC=3,2 -> 0000010A"));  // an end just before the start adds nothing

  EXPECT_EQ(On(bytes, {"CHKSUM_INIT=-1", "CHKSUM_CALC=0,0", "CHKSUM_INIT=junk"}), "");
  EXPECT_TRUE(Logged("CHKSUM_INIT=-1 -> FFFFFFFF"));
  EXPECT_TRUE(Logged("CHKSUM_CALC=0,0 -> 00000000"));
  EXPECT_TRUE(Logged("CHKSUM_INIT=junk -> 00000000"));

  EXPECT_EQ(On(bytes, {"CHKSUM_CALC=3,1"}), "End-position before start-position! CHKSUM_CALC=3,1");
}

TEST_F(TChecksumTest, FileSizeRangesAndAppending) {
  const std::string bytes = Bytes("01 02 03 FF");
  EXPECT_EQ(On(bytes, {"CHKSUM_CALC=0,FILESIZE"}),
            "End-position exceeds filesize! CHKSUM_CALC=0,FILESIZE");
  EXPECT_FALSE(FileExists(Path("t.bin")));
  EXPECT_EQ(On(bytes, {"CHKSUM_CALC=4,4"}), "Start-position exceeds filesize! CHKSUM_CALC=4,4");
  EXPECT_EQ(On(bytes, {"CHKSUM_SAVE=5"}), "Position exceeds filesize! CHKSUM_SAVE=5");
  // FILESIZE names the start as well.
  EXPECT_EQ(On(bytes, {"CHKSUM_CALC=FILESIZE,3"}),
            "Start-position exceeds filesize! CHKSUM_CALC=FILESIZE,3");
  EXPECT_EQ(On(bytes, {"ADJUSTMENT=-1", "CHKSUM_CALC=FILESIZE,3"}), "");
  EXPECT_TRUE(Logged("CHKSUM_CALC=FILESIZE,3 -> 000000FF"));
  EXPECT_FALSE(Logged("CHKSUM_SAVE=5 -> 00000005=00000000"));

  EXPECT_EQ(On(bytes, {"GOTO=1", "ADJUSTMENT=-1", "CHKSUM_CALC=0,FILESIZE", "ADJUSTMENT=0",
                       "CHKSUM_SAVE=FILESIZE", "INSERTCHAR=$AA"}),
            "");
  EXPECT_TRUE(Logged("CHKSUM_CALC=0,FILESIZE -> 00000105"));
  EXPECT_TRUE(Logged("CHKSUM_SAVE=FILESIZE -> 00000004=00000105"));
  // The position stayed at 1 through all of them.
  EXPECT_EQ(Hex(Target()), "01 AA 03 FF 00 00 01 05");
}

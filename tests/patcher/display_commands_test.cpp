#include <gtest/gtest.h>

#include "patcher/font5x7.h"
#include "platform/file_system.h"
#include "tests/patcher/patch_fixture.h"

using namespace tessel;
using namespace tessel::test;

namespace {

// The display after drawing `text` from (x, y), pixel by pixel: glyph
// column c lands on display column x + 1 + c, pixels off the display are lost.
void DrawModel(std::string& display, int x, int y, const std::string& text) {
  for (unsigned char c : text) {
    const TGlyph& glyph = FontGlyph(c);
    for (int r = 0; r < 7; ++r) {
      for (int col = 0; col < 5; ++col) {
        const int px = x + 1 + col, py = y + r;
        if ((glyph[r] & (0x40 >> col)) && px < 128 && py < 64) {
          display[py * 16 + px / 8] =
              static_cast<char>(display[py * 16 + px / 8] ^ (0x80 >> (px % 8)));
        }
      }
    }
    x += 6;
    if (x > 121) {
      x = 0;
      y += 8;
    }
    if (y > 55) y = 0;
  }
}

}  // namespace

class TDisplayTest : public TPatchTest {
 protected:
  // A target with 16 bytes of '-' before and after an all-zero display.
  std::string On(std::vector<std::string> lines) {
    lines.insert(lines.begin(), "DISPLAYADDR=16");
    return TPatchTest::On(std::string(16, '-') + std::string(1024, '\0') + std::string(16, '-'),
                          std::move(lines));
  }
  std::string Display() { return Target().substr(16, 1024); }
  std::string Row(int y, int from, int count) {
    return Hex(Display().substr(y * 16 + from, count));
  }
};

TEST_F(TDisplayTest, GlyphBytesAtByteAlignedAndShiftedColumns) {
  EXPECT_EQ(On({"GOTO=3", "PRINTSTRING=0,0,A", "INSERTCHAR=$2A"}), "");
  EXPECT_TRUE(Logged("DISPLAYADDR=16 -> 00000010"));
  EXPECT_TRUE(Logged("PRINTSTRING=0,0,A -> A"));
  const char* rows[7] = {"38 00", "44 00", "44 00", "7C 00", "44 00", "44 00", "44 00"};
  for (int y = 0; y < 7; ++y) EXPECT_EQ(Row(y, 0, 2), rows[y]) << y;
  EXPECT_EQ(Row(7, 0, 2), "00 00");
  EXPECT_EQ(Target()[3], '*');  // the position came back

  // Drawing is exclusive-or: the same text twice restores the bitmap.
  EXPECT_EQ(On({"PRINTSTRING=0,0,A", "PRINTSTRING=0,0,A"}), "");
  EXPECT_EQ(Display(), std::string(1024, '\0'));

  EXPECT_EQ(On({"PRINTSTRING=3,0,A"}), "");
  EXPECT_EQ(Row(0, 0, 2), "07 00");
  EXPECT_EQ(Row(3, 0, 2), "0F 80");
  std::string expected(1024, '\0');
  DrawModel(expected, 3, 0, "A");
  EXPECT_EQ(Display(), expected);

  // Little-endian words put the high byte second.
  EXPECT_EQ(On({"BIGENDIAN=FALSE", "PRINTSTRING=3,0,A"}), "");
  EXPECT_EQ(Row(0, 0, 2), "00 07");
  EXPECT_EQ(Row(3, 0, 2), "80 0F");
}

TEST_F(TDisplayTest, TwentyTwoCharactersWrapToTheNextCellRow) {
  const std::string text = "0123456789ABCDEFGHIJgq";
  EXPECT_EQ(On({"PRINTSTRING=0,8," + text}), "");
  std::string expected(1024, '\0');
  DrawModel(expected, 0, 8, text);
  EXPECT_EQ(Display(), expected);
  // The 21st character fills the last byte of its rows; the 22nd starts a
  // cell row lower at column 0.
  EXPECT_EQ(Row(8 + 2, 15, 1), "3C");
  EXPECT_EQ(Row(16 + 2, 0, 1), Hex(std::string(1, static_cast<char>(FontGlyph('q')[2]))));
  EXPECT_NE(Row(16 + 2, 0, 1), "00");

  // A cell row below 55 sends the next character to the top row, also
  // without a wrap of the column.
  EXPECT_EQ(On({"PRINTSTRING=0,60,AB"}), "");
  expected.assign(1024, '\0');
  DrawModel(expected, 0, 60, "A");
  DrawModel(expected, 6, 0, "B");
  EXPECT_EQ(Display(), expected);
  EXPECT_EQ(Row(0, 0, 2), "01 E0");  // top row of "B" at columns 7 to 10
}

// Columns 121 to 123 are where the cell stops fitting: a cell at 121 or 122
// still lies wholly on the display, one at 123 loses its last column, and a
// cursor that reaches 122 by advancing wraps before it draws there.
TEST_F(TDisplayTest, CursorAtTheLastColumnsOfARow) {
  const std::string b0 = Hex(std::string(1, static_cast<char>(FontGlyph('B')[0])));
  const std::string c0 = Hex(std::string(1, static_cast<char>(FontGlyph('C')[0])));

  // From 122 the glyph fills columns 123 to 127; the next cell is (0, 8).
  EXPECT_EQ(On({"PRINTSTRING=122,0,AB"}), "");
  EXPECT_EQ(Row(0, 14, 2), "00 0E");
  EXPECT_EQ(Row(3, 14, 2), "00 1F");
  for (int y = 1; y < 8; ++y) EXPECT_EQ(Row(y, 0, 1), "00") << y;  // nothing spilled
  EXPECT_EQ(Row(8, 0, 1), b0);
  EXPECT_EQ(Row(0, 0, 1), "00");
  std::string expected(1024, '\0');
  DrawModel(expected, 122, 0, "AB");
  EXPECT_EQ(Display(), expected);

  // 116 + 6 is 122: past 121, so the second character wraps.
  EXPECT_EQ(On({"PRINTSTRING=116,0,AB"}), "");
  EXPECT_EQ(Row(0, 14, 2), "03 80");
  EXPECT_EQ(Row(8, 0, 1), b0);
  expected.assign(1024, '\0');
  DrawModel(expected, 116, 0, "AB");
  EXPECT_EQ(Display(), expected);

  // 115 + 6 is 121: the second character still goes on the row, at 121.
  EXPECT_EQ(On({"PRINTSTRING=115,0,ABC"}), "");
  const auto bAt121 = static_cast<unsigned char>(FontGlyph('B')[0] >> 1);
  EXPECT_EQ(Row(0, 15, 1), Hex(std::string(1, static_cast<char>(bAt121))));
  EXPECT_EQ(Row(8, 0, 1), c0);

  // From 123 the last glyph column (127 + 1) is dropped, not drawn into the
  // first byte of the next display row.
  EXPECT_EQ(On({"PRINTSTRING=123,0,A"}), "");
  EXPECT_EQ(Row(0, 15, 1), "07");
  EXPECT_EQ(Row(3, 15, 1), "0F");
  for (int y = 1; y < 8; ++y) EXPECT_EQ(Row(y, 0, 1), "00") << y;

  // The wrap from the last cell row goes back to the top.
  EXPECT_EQ(On({"PRINTSTRING=122,48,AB"}), "");
  EXPECT_EQ(Row(48, 15, 1), "0E");
  EXPECT_EQ(Row(0, 0, 1), b0);
  EXPECT_EQ(Row(56, 0, 1), "00");
}

TEST_F(TDisplayTest, CellsPastTheDisplayOrTheTargetAreClipped) {
  EXPECT_EQ(On({"PRINTSTRING=125,60,AW8"}), "");
  std::string expected(1024, '\0');
  DrawModel(expected, 125, 60, "AW8");  // W wraps to the top row
  EXPECT_EQ(Display(), expected);
  EXPECT_EQ(Target().substr(1040), std::string(16, '-'));
  EXPECT_NE(expected, std::string(1024, '\0'));

  // A display that overhangs the end of the target never extends it.
  dir.Write("t.bin", std::string(100, '\0'));
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=t.bin", "DISPLAYADDR=90", "PRINTSTRING=0,0,8"}), "");
  std::string small = Target();
  ASSERT_EQ(small.size(), 100u);
  EXPECT_EQ(Hex(small.substr(90)), "38 00 00 00 00 00 00 00 00 00");
}

TEST_F(TDisplayTest, CursorChecksAndTheDisplayAddress) {
  EXPECT_EQ(On({"PRINTSTRING=128,0,A"}), "x > 127");
  EXPECT_EQ(On({"PRINTSTRING=a,0,A"}), "x < 0");
  EXPECT_EQ(On({"PRINTSTRING=0,-1,A"}), "y < 0");
  EXPECT_EQ(On({"PRINTSTRING=0,64,A"}), "y > 63");
  EXPECT_TRUE(Logged("PRINTSTRING=0,64,A -> A"));
  EXPECT_FALSE(FileExists(Path("t.bin")));

  dir.Write("t.bin", "x");
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=t.bin", "PRINTSTRING=0,0,A"}),
            "FDisplayAddr undefined");
  EXPECT_EQ(On({"DISPLAYADDR=1056"}), "Position exceeds filesize! DISPLAYADDR=1056");
  EXPECT_THROW(On({"DISPLAYADDR=1,2"}), EConvertError);
  TPatcher patcher;
  EXPECT_THROW(RunWith(patcher, {"DISPLAYADDR=0"}), ETargetNotOpen);
}

TEST_F(TDisplayTest, TestBitmapWritesTheDisplayAsAMonochromeBmp) {
  EXPECT_EQ(On({"PRINTSTRING=0,0,A", "PRINTSTRING=120,57,_", "TESTBITMAP=\"shot.bmp\"",
                "INSERTCHAR=$2A", "TESTBITMAP="}),
            "");
  EXPECT_TRUE(Logged("TESTBITMAP=\"shot.bmp\"\r\n -> " + Path("shot.bmp")));
  EXPECT_TRUE(Logged("TESTBITMAP=\r\n -> " + dir.Path() + "/"));
  const std::string bmp = dir.Read("shot.bmp");
  ASSERT_EQ(bmp.size(), 1086u);
  EXPECT_EQ(Hex(bmp.substr(0, 62)),
            "42 4D 3E 04 00 00 00 00 00 00 3E 00 00 00 28 00 00 00 80 00 00 00 40 00 00 00 "
            "01 00 01 00 00 00 00 00 00 04 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
            "00 00 00 00 00 00 FF FF FF 00");
  std::string rows;
  const std::string display = Display();
  for (int y = 63; y >= 0; --y) {
    for (int i = 0; i < 16; ++i) rows += static_cast<char>(~display[y * 16 + i]);
  }
  EXPECT_EQ(bmp.substr(62), rows);
  EXPECT_EQ(static_cast<unsigned char>(bmp[62 + 63 * 16]), 0xFF - 0x38);  // top row of "A"
  EXPECT_EQ(static_cast<unsigned char>(bmp[62 + 15]), 0xFF - 0x7C);       // bottom row "_"
  // TESTBITMAP leaves the position behind the display bitmap.
  EXPECT_EQ(Target()[1040], '*');
}

TEST_F(TDisplayTest, TestBitmapNeedsAReadableDisplay) {
  TPatcher first;
  EXPECT_THROW(RunWith(first, {DirectoryLine(), "TESTBITMAP=a.bmp"}), EFileError);
  dir.Write("t.bin", std::string(100, '\0'));
  TPatcher second;
  EXPECT_THROW(RunWith(second, {DirectoryLine(), "TARGETFILE=t.bin", "TESTBITMAP=a.bmp"}),
               EFileError);
  TPatcher third;
  EXPECT_THROW(
      RunWith(third, {DirectoryLine(), "TARGETFILE=t.bin", "DISPLAYADDR=0", "TESTBITMAP=a.bmp"}),
      EFileError);
  EXPECT_FALSE(FileExists(Path("a.bmp")));
}

TEST_F(TDisplayTest, MakeCSourceWritesAssemblerDataLines) {
  std::string bytes;
  for (int i = 0; i < 22; ++i) bytes += static_cast<char>(0xF0 + i);
  dir.Write("t.bin", bytes);
  const std::string out = Path("block.src");
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=t.bin", "GOTO=1",
                 "MAKECSOURCE=" + out + ",$80000000,20", "INSERTCHAR=0"}),
            "");
  EXPECT_EQ(dir.Read("block.src"),
            "\t.align 4\r\n"
            "OSBLOCK:\t.DATA.L h'80000000,h'00000014\r\n"
            "80000000\t.DATA.B h'F1,h'F2,h'F3,h'F4,h'F5,h'F6,h'F7,h'F8,h'F9,h'FA,h'FB,h'FC,h'FD,"
            "h'FE,h'FF,h'00\r\n"
            "80000010\t.DATA.B h'01,h'02,h'03,h'04\r\n");
  EXPECT_EQ(Hex(dir.Read("t.bin").substr(0, 2)), "F0 00");  // position restored
  EXPECT_FALSE(Logged("MAKECSOURCE=" + out + ",$80000000,20"));

  // Fewer bytes at the end of the target, and none for a negative length.
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=t.bin", "GOTO=20", "MAKECSOURCE=" + out + ",16,9"}),
            "");
  EXPECT_EQ(dir.Read("block.src"),
            "\t.align 4\r\nOSBLOCK:\t.DATA.L h'00000010,h'00000009\r\n"
            "00000010\t.DATA.B h'04,h'05\r\n");
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=t.bin", "MAKECSOURCE=" + out + ",0,-1"}), "");
  EXPECT_EQ(dir.Read("block.src"), "\t.align 4\r\nOSBLOCK:\t.DATA.L h'00000000,h'FFFFFFFF\r\n");
  EXPECT_THROW(Run({DirectoryLine(), "TARGETFILE=t.bin", "MAKECSOURCE=" + out + ",0,x"}),
               EConvertError);
}

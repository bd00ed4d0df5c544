#include "bitmap/uBitmap.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "support/text.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::BuildBmp;
using tessel::test::PlainBmp;
using tessel::test::TBmpLayout;
using tessel::test::TRgb;
using tessel::test::TTempDir;

namespace {

// black, red, green, blue, white
const std::vector<TRgb> kPalette = {
    {0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

TBmpLayout Picture(int32_t width, int32_t height, std::vector<uint8_t> pixels) {
  TBmpLayout layout = PlainBmp(width, height, kPalette);
  layout.pixels = std::move(pixels);
  return layout;
}

}  // namespace

TEST(BmpToCSource, WritesBothArraysTopRowFirst) {
  TTempDir dir;
  const std::string bmp = dir.Write("Icon.bmp", BuildBmp(Picture(4, 2, {1, 2, 3, 4, 0, 0, 0, 0})));
  EXPECT_EQ("", BmpToCSource(bmp));
  EXPECT_EQ(
      "#define Icon_WIDTH 0x0004\r\n"
      "#define Icon_HEIGHT 0x0002\r\n"
      "const unsigned short Icon[ 8 ] ={\r\n"
      "0xF800,0x07E0,0x001F,0xFFFF,\r\n"
      "0x0000,0x0000,0x0000,0x0000\r\n"
      "};",
      dir.Read("ICON.CPP"));
  EXPECT_EQ(
      "#define Icon_WIDTH 0x0004\r\n"
      "#define Icon_HEIGHT 0x0002\r\n"
      "const unsigned char Icon[ 4 ] ={\r\n"
      "0x42,0x17,\r\n"
      "0x00,0x00\r\n"
      "};",
      dir.Read("ICON_8C.CPP"));
}

TEST(BmpToCSource, OddWidthsHonourTheRowPadding) {
  TTempDir dir;
  const std::string bmp =
      dir.Write("odd.bmp", BuildBmp(Picture(5, 3, {1, 2, 3, 4, 0, 4, 3, 2, 1, 0, 0, 0, 0, 0, 1})));
  EXPECT_EQ("", BmpToCSource(bmp + ";" + dir.File("odd.cpp")));
  EXPECT_EQ(
      "#define odd_WIDTH 0x0005\r\n"
      "#define odd_HEIGHT 0x0003\r\n"
      "const unsigned short odd[ 15 ] ={\r\n"
      "0xF800,0x07E0,0x001F,0xFFFF,0x0000,\r\n"
      "0xFFFF,0x001F,0x07E0,0xF800,0x0000,\r\n"
      "0x0000,0x0000,0x0000,0x0000,0xF800\r\n"
      "};",
      dir.Read("odd.cpp"));
  // The 8-colour file sits beside the lower-case 16-bit file, never on it.
  EXPECT_EQ(
      "#define odd_WIDTH 0x0005\r\n"
      "#define odd_HEIGHT 0x0003\r\n"
      "const unsigned char odd[ 7 ] ={\r\n"
      "0x42,0x17,\r\n"
      "0x71,0x24,\r\n"
      "0x00,0x00\r\n"
      "};",
      dir.Read("odd_8C.cpp"));

  // A last row stored without its padding still holds every pixel.
  std::string bytes = BuildBmp(Picture(5, 3, {}));
  bytes.resize(bytes.size() - 3);
  EXPECT_EQ("", BmpToCSource(dir.Write("cut.bmp", bytes)));
}

TEST(BmpToCSource, SingleWideRow) {
  TTempDir dir;
  TBmpLayout layout = PlainBmp(0x10001, 1, kPalette, 4);
  layout.pixels.back() = 1;
  const std::string bmp = dir.Write("row.bmp", BuildBmp(layout));
  EXPECT_EQ("", BmpToCSource(bmp));

  const std::string sixteen = dir.Read("ROW.CPP");
  const std::string head =
      "#define row_WIDTH 0x10001\r\n"
      "#define row_HEIGHT 0x0001\r\n";
  ASSERT_EQ(head, sixteen.substr(0, head.size()));
  const std::string decl = "const unsigned short row[ 65537 ] ={\r\n";
  EXPECT_EQ(decl, sixteen.substr(head.size(), decl.size()));
  std::string line;
  for (int i = 0; i < 0x10000; ++i) line += "0xFFFF,";
  EXPECT_EQ(line + "0xF800\r\n};", sixteen.substr(head.size() + decl.size()));

  const std::string eight = dir.Read("ROW_8C.CPP");
  const std::string decl8 = "const unsigned char row[ 32768 ] ={\r\n";
  EXPECT_EQ(head + decl8, eight.substr(0, head.size() + decl8.size()));
  line.clear();
  for (int i = 0; i < 0x8000; ++i) line += (i ? ",0x77" : "0x77");
  EXPECT_EQ(line + "\r\n};", eight.substr(head.size() + decl8.size()));
}

TEST(BmpToCSource, WrongFormatIsReportedAndNothingWritten) {
  TTempDir dir;
  TBmpLayout layout = Picture(4, 2, {});
  layout.bitCount = 24;
  std::string bmp = dir.Write("a.bmp", BuildBmp(layout));
  EXPECT_EQ("biBitCount is 24. Should be 8!", BmpToCSource(bmp));

  layout.compression = 1;
  bmp = dir.Write("a.bmp", BuildBmp(layout));
  EXPECT_EQ("biBitCount is 24. Should be 8!; biCompression is 1. Should be 0!", BmpToCSource(bmp));

  layout.planes = 3;
  bmp = dir.Write("a.bmp", BuildBmp(layout));
  EXPECT_EQ(
      "biPlanes is 3. Should be 1!; biBitCount is 24. Should be 8!; "
      "biCompression is 1. Should be 0!",
      BmpToCSource(bmp));

  // A small 24-bit file, shorter than an 8-bit palette, is refused alike.
  bmp = dir.Write("b.bmp", BuildBmp(layout).substr(0, 200));
  EXPECT_EQ(
      "biPlanes is 3. Should be 1!; biBitCount is 24. Should be 8!; "
      "biCompression is 1. Should be 0!",
      BmpToCSource(bmp));
  EXPECT_TRUE(ListDirectory(dir.Path() + "/*.CPP").empty());
}

TEST(BmpToCSource, RefusesPicturesWithoutASoundResult) {
  TTempDir dir;
  auto convert = [&dir](const TBmpLayout& layout, size_t cut = 0) {
    std::string bytes = BuildBmp(layout);
    bytes.resize(bytes.size() - cut);
    return BmpToCSource(dir.Write("x.bmp", bytes));
  };

  TBmpLayout topDown = Picture(4, 2, {});
  topDown.topDown = true;
  EXPECT_EQ("biHeight is -2. Should be at least 1!", convert(topDown));
  EXPECT_EQ("biWidth is 0. Should be at least 1!; biHeight is 0. Should be at least 1!",
            convert(Picture(0, 0, {})));
  EXPECT_EQ("biWidth is -4. Should be at least 1!", convert(Picture(-4, 2, {})));

  TBmpLayout shortPalette = Picture(4, 2, {});
  shortPalette.paletteEntries = 16;
  EXPECT_EQ("bfOffBits is 118. Should be 1078!; File size is 126. Should be at least 1086!",
            convert(shortPalette));

  TBmpLayout longHeader = Picture(4, 2, {});
  longHeader.infoHeaderSize = 124;
  EXPECT_EQ("biSize is 124. Should be 40!; bfOffBits is 1162. Should be 1078!",
            convert(longHeader));

  EXPECT_EQ("File size is 1093. Should be at least 1094!", convert(Picture(4, 4, {}), 1));
  // A height far beyond the file is refused before anything is read.
  TBmpLayout huge = Picture(4, 2, {});
  std::string bytes = BuildBmp(huge);
  bytes[22] = bytes[23] = bytes[24] = '\xFF';
  bytes[25] = '\x7F';
  EXPECT_EQ("File size is 1086. Should be at least 8589935666!",
            BmpToCSource(dir.Write("x.bmp", bytes)));
  EXPECT_TRUE(ListDirectory(dir.Path() + "/*.CPP").empty());

  EXPECT_THROW(BmpToCSource(dir.Write("x.bmp", BuildBmp(huge).substr(0, 40))), EFileError);
}

TEST(BmpToCSource, OutputPathsNeverMeetTheBitmapOrEachOther) {
  EXPECT_EQ("C:\\PIC\\A.CPP", CSourcePathsOf("c:\\pic\\a.bmp").sixteenBit);
  EXPECT_EQ("C:\\PIC\\A_8C.CPP", CSourcePathsOf("c:\\pic\\a.bmp;").eightColour);
  EXPECT_EQ("d\\b_8C.cpp", CSourcePathsOf("a.bmp;d\\b.cpp").eightColour);
  EXPECT_EQ("X_8C.CPP.X_8C.CPP", CSourcePathsOf("x.bmp.x.bmp").eightColour);

  TTempDir dir;
  const std::string bytes = BuildBmp(Picture(4, 2, {}));
  const std::string bmp = dir.Write("pic.dib", bytes);
  // Without ".BMP" in the bitmap's name the derived 16-bit file is the bitmap.
  EXPECT_EQ("16-bit file is " + AsciiUpperCase(bmp) + ". Should be another file than the bitmap!",
            BmpToCSource(bmp));
  EXPECT_EQ("16-bit file is " + dir.Path() + "/./PIC.DIB. Should be another file than the bitmap!",
            BmpToCSource(bmp + ";" + dir.Path() + "/./PIC.DIB"));
  // Without ".CPP" in the 16-bit file's name both arrays would share one file.
  const std::string c = dir.File("out.c");
  EXPECT_EQ("8-colour file is " + c + ". Should be another file than the 16-bit file!",
            BmpToCSource(bmp + ";" + c));
  EXPECT_EQ(bytes, dir.Read("pic.dib"));
  EXPECT_FALSE(PathExists(c));

  EXPECT_EQ("", BmpToCSource(dir.File("missing.bmp")));
  EXPECT_TRUE(ListDirectory(dir.Path() + "/*.CPP").empty());

  // "..", a missing directory in front of it, or a second hard link reach
  // the bitmap just the same.
  dir.Write("sub/keep", "");
  const std::string viaParent = dir.Path() + "/sub/../pic.dib";
  EXPECT_EQ("16-bit file is " + viaParent + ". Should be another file than the bitmap!",
            BmpToCSource(bmp + ";" + viaParent));
  const std::string viaMissing = dir.Path() + "\\none\\..\\PIC.DIB";
  EXPECT_EQ("16-bit file is " + viaMissing + ". Should be another file than the bitmap!",
            BmpToCSource(bmp + ";" + viaMissing));
  ASSERT_EQ(::link(bmp.c_str(), dir.File("linked.cpp").c_str()), 0);
  EXPECT_EQ(
      "16-bit file is " + dir.File("linked.cpp") + ". Should be another file than the bitmap!",
      BmpToCSource(bmp + ";" + dir.File("linked.cpp")));
  EXPECT_EQ(bytes, dir.Read("pic.dib"));
}

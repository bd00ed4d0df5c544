#include "bitmap/uCGI.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cctype>

#include "platform/file_system.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/kill_during.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::BuildBmp;
using tessel::test::PlainBmp;
using tessel::test::TBmpLayout;
using tessel::test::TTempDir;

namespace {

// Two bytes of the icon at picture row y, column x.
std::string PixelAt(const std::string& icon, int y, int x) {
  return icon.substr(static_cast<size_t>(y * kCgiWidth + x) * 2, 2);
}

std::string Bytes(uint8_t high, uint8_t low) {
  return {static_cast<char>(high), static_cast<char>(low)};
}

TBmpLayout Icon() { return PlainBmp(kCgiWidth, kCgiHeight); }

}  // namespace

TEST(Bmp256ToCgi, ConvertsPaletteColoursAndTurnsRowsTopDown) {
  TTempDir dir;
  TBmpLayout layout = PlainBmp(kCgiWidth, kCgiHeight,
                               {{255, 0, 0},
                                {0, 255, 0},
                                {0, 0, 255},
                                {255, 255, 255},
                                {128, 128, 128},
                                {7, 3, 7},
                                {15, 7, 255}},
                               5);
  for (uint8_t i = 0; i < 7; ++i) layout.pixels[i] = i;  // top row, from the left
  layout.pixels[63 * kCgiWidth] = 3;                     // bottom-left
  layout.pixels[64 * kCgiWidth - 1] = 1;                 // bottom-right
  const std::string bmp = dir.Write("icon.bmp", BuildBmp(layout));
  ASSERT_EQ(static_cast<int64_t>(kCgiBitmapSize), FileSizeOf(bmp));

  EXPECT_EQ("", Bmp256ToCgi(bmp + ";" + dir.File("out.cgi")));
  const std::string icon = dir.Read("out.cgi");
  ASSERT_EQ(static_cast<size_t>(kCgiFileSize), icon.size());
  EXPECT_EQ(Bytes(0xF8, 0x00), PixelAt(icon, 0, 0));
  EXPECT_EQ(Bytes(0x07, 0xE0), PixelAt(icon, 0, 1));
  EXPECT_EQ(Bytes(0x00, 0x1F), PixelAt(icon, 0, 2));
  EXPECT_EQ(Bytes(0xFF, 0xFF), PixelAt(icon, 0, 3));
  EXPECT_EQ(Bytes(0x84, 0x10), PixelAt(icon, 0, 4));
  EXPECT_EQ(Bytes(0x00, 0x00), PixelAt(icon, 0, 5));  // low bits dropped, not rounded
  EXPECT_EQ(Bytes(0x08, 0x3F), PixelAt(icon, 0, 6));  // 1, 1, 31
  EXPECT_EQ(Bytes(0xFF, 0xFF), PixelAt(icon, 63, 0));
  EXPECT_EQ(Bytes(0x07, 0xE0), PixelAt(icon, 63, kCgiWidth - 1));
  EXPECT_EQ(Bytes(0x00, 0x00), PixelAt(icon, 1, 0));
}

TEST(Bmp256ToCgi, DerivesTheIconPathFromTheBitmapPath) {
  EXPECT_EQ("C:\\SDK\\ICON.CGI", CgiPathOf("c:\\sdk\\Icon.bmp"));
  EXPECT_EQ("C:\\SDK\\ICON.CGI", CgiPathOf("c:\\sdk\\Icon.bmp;"));
  EXPECT_EQ("C:\\SDK\\ICON.CGI", CgiPathOf("c:\\sdk\\Icon.bmp; \t"));
  EXPECT_EQ("X.CGI.CGI", CgiPathOf("x.bmp.BMP"));
  EXPECT_EQ("out.cgi", CgiPathOf("x.bmp;out.cgi;more"));

  TTempDir dir;
  const std::string bmp = dir.Write("sub/icon.bmp", BuildBmp(Icon()));
  EXPECT_EQ("", Bmp256ToCgi(bmp + ";"));
  EXPECT_EQ(static_cast<size_t>(kCgiFileSize), dir.Read("sub/ICON.CGI").size());
  EXPECT_FALSE(PathExists(dir.File("sub/icon.cgi;")));
  EXPECT_FALSE(PathExists(dir.File("sub/ICON.CGI;")));
}

TEST(Bmp256ToCgi, FailedChecksCreateNoIconAndSayWhy) {
  TTempDir dir;
  const std::string cgi = dir.File("icon.cgi");

  TBmpLayout shortPalette = Icon();
  shortPalette.paletteEntries = 16;
  std::string bmp = dir.Write("a.bmp", BuildBmp(shortPalette));
  EXPECT_EQ("Filesize has to be exactly $1B36 Bytes.\r\n", Bmp256ToCgi(bmp + ";" + cgi));
  EXPECT_FALSE(PathExists(cgi));

  TBmpLayout topDown = Icon();
  topDown.topDown = true;
  bmp = dir.Write("b.bmp", BuildBmp(topDown));
  EXPECT_EQ("biHeight has to be exactly 64 pixel.\r\n", Bmp256ToCgi(bmp + ";" + cgi));

  TBmpLayout noImageSize = Icon();
  noImageSize.biSizeImage = 0;
  bmp = dir.Write("c.bmp", BuildBmp(noImageSize));
  EXPECT_EQ("biSizeImage has to be exactly 5888 Bytes.\r\n", Bmp256ToCgi(bmp + ";" + cgi));

  TBmpLayout allWrong = PlainBmp(kCgiWidth, 63);
  allWrong.biSizeImage = 1;
  bmp = dir.Write("d.bmp", BuildBmp(allWrong));
  EXPECT_EQ(
      "Filesize has to be exactly $1B36 Bytes.\r\n"
      "biHeight has to be exactly 64 pixel.\r\n"
      "biSizeImage has to be exactly 5888 Bytes.\r\n",
      Bmp256ToCgi(bmp + ";" + cgi));
  EXPECT_FALSE(PathExists(cgi));
  EXPECT_EQ(BuildBmp(allWrong), dir.Read("d.bmp"));
}

TEST(Bmp256ToCgi, MissingOrTruncatedBitmaps) {
  TTempDir dir;
  EXPECT_EQ("", Bmp256ToCgi(dir.File("none.bmp")));
  EXPECT_FALSE(PathExists(dir.File("NONE.CGI")));

  const std::string full = BuildBmp(Icon());
  std::string bmp = dir.Write("cut.bmp", full.substr(0, 2000));
  EXPECT_THROW(Bmp256ToCgi(bmp + ";" + dir.File("cut.cgi")), EFileError);
  EXPECT_FALSE(PathExists(dir.File("cut.cgi")));

  bmp = dir.Write("tiny.bmp", full.substr(0, 500));
  EXPECT_THROW(Bmp256ToCgi(bmp + ";" + dir.File("tiny.cgi")), EFileError);
}

TEST(Bmp256ToCgi, NeverCreatesTheIconOverItsBitmap) {
  TTempDir dir;
  const std::string bytes = BuildBmp(Icon());
  std::string bmp = dir.Write("icon.bmp", bytes);
  const std::string refused = "CGI file has to be another file than the bitmap.\r\n";
  EXPECT_EQ(refused, Bmp256ToCgi(bmp + ";" + dir.File("ICON.BMP")));
  EXPECT_EQ(refused, Bmp256ToCgi(bmp + ";" + dir.Path() + "/./icon.bmp"));
  // Without ".BMP" in its name, the derived icon path is the bitmap itself.
  bmp = dir.Write("icon.dib", bytes);
  EXPECT_EQ(refused, Bmp256ToCgi(bmp));
  EXPECT_EQ(bytes, dir.Read("icon.bmp"));
  EXPECT_EQ(bytes, dir.Read("icon.dib"));
}

TEST(Bmp256ToCgi, TheBitmapIsOneFileHoweverTheIconPathSpellsIt) {
  TTempDir dir;
  const std::string bytes = BuildBmp(Icon());
  dir.Write("IN.BMP", bytes);
  dir.Write("sub/keep", "");
  ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
  const std::string refused = "CGI file has to be another file than the bitmap.\r\n";
  EXPECT_EQ(refused, Bmp256ToCgi("IN.BMP;sub\\..\\IN.BMP"));
  EXPECT_EQ(refused, Bmp256ToCgi("IN.BMP;nosuchdir\\..\\in.bmp"));
  ASSERT_EQ(::link("IN.BMP", "hard.cgi"), 0);
  EXPECT_EQ(refused, Bmp256ToCgi("IN.BMP;hard.cgi"));
  EXPECT_EQ(bytes, dir.Read("IN.BMP"));
  ASSERT_EQ(::chdir("/"), 0);
}

TEST(Bmp256ToCgi, AReadOnlyDirectoryGivesAClearErrorAndKeepsTheBitmap) {
  TTempDir dir;
  const std::string bytes = BuildBmp(Icon());
  const std::string bmp = dir.Write("ro/icon.bmp", bytes);
  ASSERT_EQ(::chmod(dir.File("ro").c_str(), 0555), 0);
  try {
    Bmp256ToCgi(bmp);
    FAIL() << "an icon was written into a read-only directory";
  } catch (const EFileError& e) {
    std::string icon = bmp;  // the derived path: upper case, ".CGI" for ".BMP"
    for (char& c : icon) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    icon.replace(icon.size() - 4, 4, ".CGI");
    EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + icon + "\": Permission denied");
  }
  EXPECT_EQ(bytes, dir.Read("ro/icon.bmp"));
  EXPECT_EQ(ListDirectory(dir.File("ro/*")).size(), 1u);
}

TEST(Bmp256ToCgi, AKillDuringAConversionLeavesTheOldOrTheNewIcon) {
  TTempDir dir;
  TBmpLayout red = Icon();
  red.palette = {{255, 0, 0}};
  TBmpLayout blue = Icon();
  blue.palette = {{0, 0, 255}};
  const std::string redBmp = dir.Write("red.bmp", BuildBmp(red));
  const std::string blueBmp = dir.Write("blue.bmp", BuildBmp(blue));
  const std::string cgi = dir.File("icon.cgi");
  ASSERT_EQ("", Bmp256ToCgi(redBmp + ";" + cgi));
  const std::string redIcon = dir.Read("icon.cgi");
  ASSERT_EQ("", Bmp256ToCgi(blueBmp + ";" + cgi));
  const std::string blueIcon = dir.Read("icon.cgi");
  for (int delay = 0; delay < 6000; delay += 300) {
    tessel::test::KillDuring(
        [&](int round) { Bmp256ToCgi((round % 2 == 0 ? redBmp : blueBmp) + ";" + cgi); }, delay);
    const std::string now = dir.Read("icon.cgi");
    ASSERT_TRUE(now == redIcon || now == blueIcon) << delay << " us: " << now.size() << " bytes";
  }
}

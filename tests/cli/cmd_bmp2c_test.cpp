#include <gtest/gtest.h>

#include "cli/command.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using tessel::test::BuildBmp;
using tessel::test::PlainBmp;
using tessel::test::RunCli;
using tessel::test::TBmpLayout;
using tessel::test::TCliRun;
using tessel::test::TTempDir;

namespace {

TCliRun Bmp2C(const std::vector<std::string>& args) { return RunCli("bmp2c", args); }

}  // namespace

TEST(CmdBmp2C, WritesBothFilesOrReportsTheErrorText) {
  TTempDir dir;
  const std::string bmp = dir.Write("pic.bmp", BuildBmp(PlainBmp(3, 2, {{255, 255, 255}})));
  TCliRun run = Bmp2C({bmp + ";" + dir.File("Out.cpp")});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ("Written: " + dir.File("Out.cpp") + "\nWritten: " + dir.File("Out_8C.cpp") + "\n",
            run.out);
  EXPECT_EQ(
      "#define pic_WIDTH 0x0003\r\n#define pic_HEIGHT 0x0002\r\n"
      "const unsigned short pic[ 6 ] ={\r\n0xFFFF,0xFFFF,0xFFFF,\r\n0xFFFF,0xFFFF,0xFFFF\r\n};",
      dir.Read("Out.cpp"));
  EXPECT_EQ(
      "#define pic_WIDTH 0x0003\r\n#define pic_HEIGHT 0x0002\r\n"
      "const unsigned char pic[ 3 ] ={\r\n0x77,\r\n0x77\r\n};",
      dir.Read("Out_8C.cpp"));

  TBmpLayout deep = PlainBmp(3, 2);
  deep.bitCount = 24;
  run = Bmp2C({dir.Write("deep.bmp", BuildBmp(deep))});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("biBitCount is 24. Should be 8!\n", run.err);

  run = Bmp2C({dir.File("none.bmp")});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("Bitmap not found: " + dir.File("none.bmp") + "\n", run.err);

  EXPECT_EQ(2, Bmp2C({}).status);
}

TEST(CmdBmp2C, ConvertsEveryBitmapOfADirectory) {
  TTempDir dir;
  const std::string pictures = dir.File("PICS");
  dir.Write("PICS/pic.bmp", BuildBmp(PlainBmp(3, 2, {{255, 255, 255}})));
  dir.Write("PICS/X.BMP/inner.txt", "a directory named like a bitmap");
  const std::string settings = "IF=" + dir.File("TESSEL.INI");
  TCliRun run = RunCli("", {settings, "bmp2c", pictures + "/"});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ("\nConverting: " + pictures + "\\pic.bmp\n", run.out);
  EXPECT_EQ("", run.err);
  EXPECT_NE(dir.Read("PICS/PIC.CPP"), "");

  // The remembered directory comes first; a bitmap with a message exits 1.
  TBmpLayout deep = PlainBmp(3, 2);
  deep.bitCount = 24;
  dir.Write("PICS/deep.bmp", BuildBmp(deep));
  run = RunCli("", {settings, "bmp2c", pictures});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(pictures + "\nConverting: " + pictures +
                "\\deep.bmp\n  biBitCount is 24. Should be 8!\n" + "Converting: " + pictures +
                "\\pic.bmp\n",
            run.out);
}

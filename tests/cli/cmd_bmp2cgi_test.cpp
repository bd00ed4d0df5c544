#include <gtest/gtest.h>

#include "bitmap/uCGI.h"
#include "cli/command.h"
#include "platform/file_system.h"
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

TCliRun Bmp2Cgi(const std::vector<std::string>& args) { return RunCli("bmp2cgi", args); }

}  // namespace

TEST(CmdBmp2Cgi, ExitStatusTellsConvertedFromRefused) {
  TTempDir dir;
  const std::string bmp = dir.Write("Icon.bmp", BuildBmp(PlainBmp(kCgiWidth, kCgiHeight)));
  TCliRun run = Bmp2Cgi({bmp});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err);
  EXPECT_EQ(static_cast<size_t>(kCgiFileSize), dir.Read("ICON.CGI").size());
  EXPECT_NE(std::string::npos, run.out.find("ICON.CGI"));

  TBmpLayout low = PlainBmp(kCgiWidth, 32);
  const std::string lowBmp = dir.Write("low.bmp", BuildBmp(low));
  run = Bmp2Cgi({lowBmp + ";" + dir.File("low.cgi")});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(
      "Filesize has to be exactly $1B36 Bytes.\n"
      "biHeight has to be exactly 64 pixel.\n"
      "biSizeImage has to be exactly 5888 Bytes.\n",
      run.err);
  EXPECT_FALSE(PathExists(dir.File("low.cgi")));

  run = Bmp2Cgi({dir.File("none.bmp")});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("Bitmap not found: " + dir.File("none.bmp") + "\n", run.err);

  EXPECT_EQ(2, Bmp2Cgi({}).status);
  EXPECT_EQ(2, Bmp2Cgi({bmp, bmp}).status);
  EXPECT_EQ(2, Bmp2Cgi({";x.cgi"}).status);
}

TEST(CmdBmp2Cgi, AnIconPathThatReachesTheBitmapIsRefused) {
  TTempDir dir;
  const std::string bytes = BuildBmp(PlainBmp(kCgiWidth, kCgiHeight));
  const std::string bmp = dir.Write("IN.BMP", bytes);
  dir.Write("sub/keep", "");
  TCliRun run = Bmp2Cgi({bmp + ";" + dir.Path() + "\\sub\\..\\IN.BMP"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("CGI file has to be another file than the bitmap.\n", run.err);
  EXPECT_EQ(bytes, dir.Read("IN.BMP"));
}

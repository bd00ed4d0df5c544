// A patch script never destroys a file it does not own: the same-file guard
// asks the file system, MAXSIZE bounds every write that grows the target,
// an expansion has a size bound, and only the run's own target is deleted
// after a failure.

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "tests/patcher/patch_fixture.h"

using namespace tessel;
using namespace tessel::test;

TEST_F(TPatchTest, ASourceReachedByAnyOtherSpellingIsNeverTruncated) {
  const std::string source(100000, 'S');
  dir.Write("s.bin", source);
  dir.Write("sub/keep", "");
  ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
  SetDriveRoot(dir.Path());
  ASSERT_EQ(::link(Path("s.bin").c_str(), Path("hard.bin").c_str()), 0);
  for (const std::string& target :
       {std::string(".\\s.bin"), std::string("sub\\..\\s.bin"), Path("s.bin"),
        std::string("C:\\S.BIN"), std::string("hard.bin")}) {
    EXPECT_EQ(Run({"SOURCEFILE=s.bin", "TARGETFILE=" + target, "INSERTSTRING=x"}),
              "Target and Source are the same file!\r\n" + target + "\r\ns.bin")
        << target;
    EXPECT_EQ(dir.Read("s.bin"), source) << target;
    EXPECT_FALSE(Logged("TARGETFILE=" + target + "\r\n copy " + target));
  }
  SetDriveRoot("/");
  ASSERT_EQ(::chdir("/"), 0);
}

TEST_F(TPatchTest, MaxSizeBoundsEveryWriteThatGrowsTheTarget) {
  const std::string error = "Size exceeds max allowed size! ";
  dir.Write("in.bin", std::string(40, 'i'));
  // Each command on an empty target of MAXSIZE 16: the write that would
  // pass it fails with the patcher's error line, and the failed run removes
  // the target it created.
  const std::vector<std::pair<std::string, std::string>> growing = {
      {"INSERTCHAR=$41,1000", ""},
      {"INSERTCHAR=$41,$4000000", ""},
      {"INSERTSTRING=" + std::string(16, 'q'), ""},
      {"INSERTLIST=" + std::string("1,2,3,4,5,6,7,8,9,1,2,3,4,5,6,7,8"), ""},
      {"INSERTFILE=in.bin", ""},
      {"PASTE", "INSERTCHAR=1,10|GOTO=0|COPY=10|GOTO=10"},
      {"COPY=17", "INSERTCHAR=1,16|GOTO=0"},
      {"INSERTFILESIZE", "GOTO=14"},
  };
  dir.Write("empty.bin", "");
  for (const auto& [line, before] : growing) {
    std::vector<std::string> lines = {DirectoryLine(), "MAXSIZE=16", "SOURCEFILE=empty.bin",
                                      "TARGETFILE=t.bin"};
    for (size_t at = 0; at < before.size();) {
      const size_t bar = before.find('|', at);
      lines.push_back(before.substr(at, bar == std::string::npos ? bar : bar - at));
      at = bar == std::string::npos ? before.size() : bar + 1;
    }
    lines.push_back(line);
    EXPECT_EQ(Run(lines), error + line) << line;
    EXPECT_FALSE(FileExists(Path("t.bin"))) << line;
  }
  // Up to MAXSIZE all is well, and overwriting inside a larger target that
  // was opened in place does not grow it.
  dir.Write("empty.bin", "");
  EXPECT_EQ(Run({DirectoryLine(), "MAXSIZE=16", "SOURCEFILE=empty.bin", "TARGETFILE=t.bin",
                 "INSERTCHAR=$41,15", "INSERTSTRING="}),
            "");
  EXPECT_EQ(dir.Read("t.bin"), std::string(15, 'A') + '\0');
  dir.Write("big.bin", std::string(64, 'b'));
  // Up to its very last byte.
  EXPECT_EQ(Run({DirectoryLine(), "MAXSIZE=16", "TARGETFILE=big.bin", "GOTO=8", "INSERTCHAR=0,8",
                 "INSERTSTRING=xyz", "GOTO=16", "INSERTCHAR=$63,48"}),
            "");
  EXPECT_EQ(dir.Read("big.bin").size(), 64u);
  EXPECT_EQ(dir.Read("big.bin").substr(16), std::string(48, 'c'));
}

TEST_F(TPatchTest, AnExpansionPastItsBoundEndsTheRunWithAnErrorLine) {
  TParamlist params;
  params.SetValue("A0", "x");
  for (int i = 1; i <= 30; ++i) {
    params.SetValue("A" + std::to_string(i),
                    "$(A" + std::to_string(i - 1) + ")$(A" + std::to_string(i - 1) + ")");
  }
  dir.Write("t.bin", "abc");
  const std::string error =
      Run({DirectoryLine(), "TARGETFILE=t.bin", "INSERTSTRING=$(A30)"}, &params);
  EXPECT_EQ(error.rfind("Expansion of $(A", 0), 0u) << error;
  EXPECT_NE(error.find(" exceeds 1048576 bytes! INSERTSTRING=$(A30)"), std::string::npos) << error;
  EXPECT_FALSE(FileExists(Path("t.bin")));  // the run's own target goes
  // Half a mebibyte in a line still expands.
  dir.Write("t.bin", "abc");
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=t.bin", "INSERTSTRING=$(A19)"}, &params), "");
  EXPECT_EQ(dir.Read("t.bin").size(), (1u << 19) + 1);
}

TEST_F(TPatchTest, AFailedRunDeletesOnlyATargetItOpenedAsItsOwn) {
  // The target cannot be opened (a directory in the way of a source copy is
  // not the case here: the source is unreadable), so the run never owned it.
  dir.Write("t.bin", "precious");
  dir.Write("srcdir/x", "");
  EXPECT_EQ(Run({DirectoryLine(), "SOURCEFILE=srcdir", "TARGETFILE=t.bin", "PRINTSTRING=1,1,A"}),
            "FDisplayAddr undefined");
  EXPECT_EQ(dir.Read("t.bin"), "precious");

  // A second target that fails to open leaves the first one finished and
  // itself untouched.
  dir.Write("a.bin", "a");
  dir.Write("b.bin", "b");
  ASSERT_TRUE(SetReadOnly(Path("b.bin"), true));
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=a.bin", "INSERTSTRING=1", "TARGETFILE=b.bin"}),
            "Target readonly! Not unlocked!\r\n" + Path("b.bin"));
  EXPECT_EQ(dir.Read("a.bin"), std::string("1\0", 2));
  EXPECT_EQ(dir.Read("b.bin"), "b");
}

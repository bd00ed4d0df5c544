#include <gtest/gtest.h>

#include <regex>

#include "patcher/patch_values.h"
#include "platform/file_system.h"
#include "tests/patcher/patch_fixture.h"

using namespace tessel;
using namespace tessel::test;

namespace {

const std::regex kClosingTail(R"(Ready! test\.pat \d\d:\d\d:\d\d\.\d\d\d)");

}  // namespace

TEST_F(TPatchTest, EmptyScriptLogsStartAndClosingLinesToLogAndWindow) {
  ui.LogLine("from before the run");
  EXPECT_EQ(Run({}), "");
  EXPECT_EQ(ui.clears, 1);  // the start line clears the window first
  ASSERT_EQ(ui.log.size(), 2u);
  EXPECT_EQ(ui.log[0], "Start! test.pat");
  const std::string closing = ui.log[1];
  ASSERT_EQ(closing.rfind("0 lines processed.\r\n", 0), 0u) << closing;
  EXPECT_TRUE(std::regex_match(closing.substr(20), kClosingTail)) << closing;
  EXPECT_EQ(logged, ui.log);
  EXPECT_GE(ui.processMessagesCalls, 2);
}

TEST_F(TPatchTest, KeywordsValuesAndResultLines) {
  dir.Write("t.bin", "");
  TParamlist params;
  params.SetValue("WORD", "\"hi\"");
  EXPECT_EQ(Run({DirectoryLine(), "targetfile=t.bin", "GOTO =5", "INSERTSTRING=a=b",
                 "INSERTSTRING=$(WORD)", "INSERTSTRING=\"$(WORD)\"", "PRINTLIST=whatever"},
                &params),
            "");
  // Lower-case keywords match; a blank before "=" makes another keyword.
  EXPECT_TRUE(Logged("targetfile=t.bin\r\n reset " + Path("t.bin")));
  EXPECT_TRUE(Logged("Unknown command at lineNo: 3(ignored)\r\nGOTO =5"));
  EXPECT_EQ(ui.log[1], "Unknown command at lineNo: 3(ignored)\r\nGOTO =5");
  // Result lines show the line as written; substituted values lose quotes.
  EXPECT_TRUE(Logged("INSERTSTRING=a=b -> \"a=b\""));
  EXPECT_TRUE(Logged("INSERTSTRING=$(WORD) -> \"hi\""));
  EXPECT_TRUE(Logged("INSERTSTRING=\"$(WORD)\" -> \"hi\""));
  EXPECT_EQ(logged.size(), 8u);  // PRINTLIST logs nothing
  EXPECT_EQ(ui.log.size(), 3u);  // start, unknown command, closing
  EXPECT_EQ(dir.Read("t.bin"), std::string("a=b\0hi\0hi\0", 10));
  EXPECT_EQ(logged.back().rfind("7 lines processed.\r\n", 0), 0u);
}

TEST_F(TPatchTest, VariablesCommentsAndBlankLines) {
  dir.Write("t.bin", "");
  TParamlist params;
  params.SetValue("GONE", "x");
  params.SetValue("VARIABLES", "GONE");
  EXPECT_EQ(Run({"//", "//   ", "// a comment $(GONE)", "", "  \t", "VARIABLES=VERSION , name,GONE",
                 "version=1.0", "OTHER=1", "GONE=", DirectoryLine(), "TARGETFILE=t.bin",
                 "INSERTSTRING=$(VERSION)-$(Name)-$(GONE)", "NAME=x=y", "INSERTSTRING=$(NAME)"},
                &params),
            "");
  EXPECT_TRUE(Logged("// a comment x"));
  EXPECT_FALSE(Logged("//"));
  EXPECT_FALSE(Logged("//   "));
  EXPECT_TRUE(Logged("variable: VARIABLES=VERSION , name,GONE"));
  EXPECT_TRUE(Logged("variable: version=1.0"));
  EXPECT_TRUE(Logged("Unknown command at lineNo: 8(ignored)\r\nOTHER=1"));
  EXPECT_TRUE(Logged("variable: GONE="));
  EXPECT_TRUE(Logged("variable: NAME=x=y"));
  EXPECT_EQ(dir.Read("t.bin"), std::string("1.0--\0x=y\0", 10));
  // The caller's list keeps what the script set.
  EXPECT_EQ(params.ValueOf("VERSION"), "1.0");
  EXPECT_EQ(params.ValueOf("name"), "x=y");
  EXPECT_EQ(params.IndexOfName("GONE"), -1);
  // Every line counts, blank lines and comments included.
  EXPECT_EQ(logged.back().rfind("14 lines processed.", 0), 0u);
  // Only the start clears the window; comments and variables stay in the
  // engine's log alone.
  EXPECT_EQ(ui.clears, 1);
  EXPECT_EQ(ui.log.front(), "Start! test.pat");
  EXPECT_EQ(ui.log.size(), 3u);  // start, unknown command, closing
}

TEST_F(TPatchTest, AnErrorEndsTheRunClosesAndDeletesTheTarget) {
  dir.Write("t.bin", "abc");
  EXPECT_EQ(Run({DirectoryLine(), "TARGETFILE=t.bin", "", "CHECKSTRING=0,abd", "INSERTSTRING=x"}),
            "Check failed! CHECKSTRING=0,abd vs. abc");
  EXPECT_FALSE(FileExists(Path("t.bin")));
  EXPECT_FALSE(Logged("INSERTSTRING=x -> \"x\""));
  const std::string closing = ui.log.back();
  const std::string head = "Error at lineNo: 4\r\nCheck failed! CHECKSTRING=0,abd vs. abc\r\n";
  ASSERT_EQ(closing.rfind(head, 0), 0u) << closing;
  EXPECT_TRUE(std::regex_match(closing.substr(head.size()), kClosingTail)) << closing;
}

TEST_F(TPatchTest, ExceptionsEndTheRunWithoutClosingLineAndKeepTheTarget) {
  dir.Write("t.bin", "abc");
  {
    TPatcher patcher;
    EXPECT_THROW(RunWith(patcher, {"GOTO=0"}), ETargetNotOpen);
    EXPECT_EQ(ui.log.size(), 1u);  // only the start line
  }
  {
    TPatcher patcher;
    try {
      RunWith(patcher, {DirectoryLine(), "TARGETFILE=t.bin", "INSERTSTRING=x", "INSERTLIST=1,zz"});
      FAIL() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_STREQ(e.what(), "'zz' is not a valid integer value");
    }
    EXPECT_TRUE(patcher.TargetOpen());
  }
  EXPECT_EQ(dir.Read("t.bin"), std::string("x\0c", 3));
  // A script that cannot be opened raises right after the start line.
  TPatcher patcher;
  EXPECT_THROW(patcher.Run(Path("missing.pat")), EFileError);
  EXPECT_EQ(ui.log, std::vector<std::string>{"Start! missing.pat"});
}

TEST_F(TPatchTest, AnErrorBeforeAnyTargetDeletesNothing) {
  dir.Write("keep.bin", "k");
  EXPECT_EQ(Run({DirectoryLine(), "PRINTSTRING=a,0,A"}), "x < 0");
  EXPECT_TRUE(Logged("PRINTSTRING=a,0,A -> A"));
  EXPECT_EQ(dir.Read("keep.bin"), "k");
  EXPECT_EQ(ui.log.back().rfind("Error at lineNo: 2\r\nx < 0\r\nReady! ", 0), 0u);
}

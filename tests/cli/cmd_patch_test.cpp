#include <gtest/gtest.h>

#include <sstream>

#include "cli/command.h"
#include "platform/file_system.h"
#include "support/app_env.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/temp_dir.h"

using namespace tessel;
using namespace tessel::test;

namespace {

TCliRun RunPatch(std::vector<std::string> args) { return RunCli("patch", std::move(args)); }

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

}  // namespace

TEST(CliPatch, RunsTheScriptWithTheGivenNamesAndPrintsTheWindowLines) {
  TTempDir dir;
  dir.Write("t.bin", "");
  const std::string script =
      dir.Write("bind.pat", "DIRECTORY=" + dir.Path() +
                                "/\r\nTARGETFILE=t.bin\r\nINSERTSTRING=$(NAME)-$(VER)\r\n"
                                "BOGUS=1\r\n");
  TCliRun r = RunPatch({script, "NAME=demo", "VER=1.2"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.Read("t.bin"), std::string("demo-1.2\0", 9));
  EXPECT_EQ(r.out.rfind("Start! bind.pat\nUnknown command at lineNo: 4(ignored)\nBOGUS=1\n"
                        "4 lines processed.\nReady! bind.pat ",
                        0),
            0u)
      << r.out;
  EXPECT_EQ(r.out.find("INSERTSTRING"), std::string::npos);  // log lines only on request
  EXPECT_EQ(r.err, "");

  // With --report-all every log line shows, each once.
  r = RunPatch({script, "--report-all", "NAME=x"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("INSERTSTRING=$(NAME)-$(VER) -> \"x-\"\n"), std::string::npos) << r.out;
  EXPECT_EQ(Occurrences(r.out, "Start! bind.pat"), 1u);
  EXPECT_EQ(Occurrences(r.out, "BOGUS=1"), 1u);
  EXPECT_EQ(Occurrences(r.out, "\r"), 0u);
}

TEST(CliPatch, ErrorsAndExceptionsGiveStatusOne) {
  TTempDir dir;
  dir.Write("t.bin", "abc");
  const std::string failing =
      dir.Write("fail.pat", "DIRECTORY=" + dir.Path() + "/\nTARGETFILE=t.bin\nCHECKSTRING=0,x\n");
  TCliRun r = RunPatch({failing});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Error at lineNo: 3\nCheck failed! CHECKSTRING=0,x vs. a\nReady! fail.pat"),
            std::string::npos)
      << r.out;
  EXPECT_FALSE(FileExists(dir.File("t.bin")));

  const std::string throwing = dir.Write("throw.pat", "GOTO=1\n");
  r = RunPatch({throwing});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error: TargetFile not open\n");

  r = RunPatch({dir.File("missing.pat")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("missing.pat"), std::string::npos) << r.err;
}

TEST(CliPatch, WrongArgumentsAreUsageErrors) {
  EXPECT_EQ(RunPatch({}).status, 2);
  TCliRun r = RunPatch({"x.pat", "NOVALUE"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("\"NOVALUE\" is not of the form NAME=VALUE"), std::string::npos) << r.err;
  EXPECT_EQ(RunPatch({"x.pat", "--verbose"}).status, 2);
}

TEST(CliPatch, ASourceNamedAsTargetInAnotherSpellingFailsAndKeepsItsBytes) {
  TTempDir dir;
  const std::string source(100000, 's');
  dir.Write("s.bin", source);
  const std::string script = dir.Write(
      "same.pat", "DIRECTORY=" + dir.Path() + "/\r\nSOURCEFILE=s.bin\r\nTARGETFILE=.\\s.bin\r\n");
  TCliRun r = RunPatch({script});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.out.find("Error at lineNo: 3\nTarget and Source are the same file!"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(dir.Read("s.bin"), source);
}

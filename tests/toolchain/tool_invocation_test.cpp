// The options of a tool run: the -SUB= file as the engine writes it, the
// command line as the library steps and the grooming run pass it.

#include "toolchain/tool_invocation.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace tessel::toolchain {
namespace {

const std::vector<TOptionSpec> kAccepted = {
    {"object", true}, {"input", true}, {"form", true}, {"debug", false}, {"define", true}};

TEST(ToolInvocation, ReadsOptionsFileLinesAndCommandLineInOrder) {
  test::TTempDir dir;
  const std::string options = dir.Write("TEMP.TXT",
                                        "\"C:\\SDK\\Projects\\DEMO\\DEMO.CPP\"\r\n"
                                        "-object=\"C:\\SDK\\OBJ\\My Demo.OBJ\"\r\n"
                                        "\r\n"
                                        "-input \"C:\\SDK\\OBJ\\A B.OBJ\"\r\n"
                                        "-INPUT=x.obj -Debug\n"
                                        "-define=A=1,B\r\n");
  const TInvocation invocation =
      ReadInvocation({"first.obj", "-SUB=" + options, "-form=library"}, kAccepted);
  EXPECT_EQ(invocation.optionsFile, options);
  EXPECT_EQ(invocation.files,
            (std::vector<std::string>{"first.obj", "C:\\SDK\\Projects\\DEMO\\DEMO.CPP"}));
  ASSERT_EQ(invocation.options.size(), 6u);
  // Command-line words come first; values keep everything after the first "=".
  EXPECT_EQ(invocation.options[0].name, "form");
  EXPECT_EQ(invocation.options[0].origin, "");
  EXPECT_EQ(invocation.options[1].value, "C:\\SDK\\OBJ\\My Demo.OBJ");
  EXPECT_EQ(invocation.options[1].origin, options + "(2)");
  EXPECT_EQ(invocation.options[2].value, "C:\\SDK\\OBJ\\A B.OBJ");
  EXPECT_EQ(invocation.options[3].name, "input");
  EXPECT_EQ(invocation.options[3].origin, options + "(5)");
  EXPECT_FALSE(invocation.options[4].hasValue);
  EXPECT_EQ(LastValue(invocation, "define"), "A=1,B");
  EXPECT_EQ(ValuesOf(invocation, "input"),
            (std::vector<std::string>{"C:\\SDK\\OBJ\\A B.OBJ", "x.obj"}));
  EXPECT_TRUE(HasOption(invocation, "debug"));
  EXPECT_FALSE(HasOption(invocation, "output"));
}

TEST(ToolInvocation, GroomingFormNeedsNoOptionsFile) {
  const TInvocation invocation = ReadInvocation({"-form=library", "-input", "a.obj"}, kAccepted);
  EXPECT_TRUE(invocation.optionsFile.empty());
  EXPECT_EQ(ValuesOf(invocation, "input"), std::vector<std::string>{"a.obj"});
}

TEST(ToolInvocation, RefusesWrongInvocationsWithTheirPlace) {
  test::TTempDir dir;
  const std::string options = dir.Write("TEMP.TXT", "a.src\r\n-objekt=b.obj\r\n");
  try {
    ReadInvocation({"-SUB=" + options}, kAccepted);
    FAIL() << "an unknown option was accepted";
  } catch (const EUsageError& error) {
    EXPECT_EQ(error.Place(), options + "(2)");
    EXPECT_STREQ(error.what(), "unknown option -objekt=b.obj");
  }
  const auto fails = [&](const std::vector<std::string>& args, const std::string& text) {
    try {
      ReadInvocation(args, kAccepted);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const EToolError& error) {
      EXPECT_EQ(error.what(), text);
    }
  };
  fails({}, "no options given; the command is TOOL -SUB=OPTIONS.TXT [OPTION ...]");
  fails({"-object"}, "option -object needs a value");
  fails({"-object="}, "option -object needs a value");
  fails({"-debug=1"}, "option -debug takes no value");
  fails({"-SUB=a", "-sub=b"}, "more than one -SUB= options file given");
  fails(
      {"-SUB=" + dir.File("MISSING.TXT")}, "cannot read the options file: " + [&] {
        try {
          ReadFileBytes(dir.File("MISSING.TXT"));
        } catch (const EFileError& error) {
          return std::string(error.what());
        }
        return std::string();
      }());
  // What the build writes for an options list it does not have.
  dir.Write("EMPTY.TXT", "FOption[ optOPT ] not assigned.\r\n");
  fails({"-SUB=" + dir.File("EMPTY.TXT")},
        "no options were given: FOption[ optOPT ] not assigned.");
}

TEST(ToolInvocation, SplitListDropsEmptyItemsAndTrimsBlanks) {
  EXPECT_EQ(SplitList("a, b ,,c,"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(SplitList("").empty());
}

}  // namespace
}  // namespace tessel::toolchain

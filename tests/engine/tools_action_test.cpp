#include <gtest/gtest.h>

#include <algorithm>

#include "platform/file_system.h"
#include "tests/engine/library_fixture.h"

namespace tessel::test {
namespace {

class ToolsAction : public TLibraryTest {
 protected:
  std::vector<std::string> ToolsScript(const std::vector<std::string>& tools) const {
    std::vector<std::string> lines = Head("TOOLS");
    lines.push_back("SOURCEDIR=\"$(LIBDIR)\\SOURCE\"");
    for (const std::string& entry : tools) lines.push_back("TOOLS=" + entry);
    return lines;
  }
  std::string Var(const std::string& name) const { return engine->Vars.ValueOf(name); }
  static bool Assembled(const TStandinRun& run) {
    return std::find(run.options.begin(), run.options.end(), "-debug") != run.options.end();
  }
  const std::string compile = "\"" + tool + "\" -SUB=TEMP.TXT";
};

TEST_F(ToolsAction, FindsTheSourceInOrderAndCollectsTheDeclarationOnce) {
  const std::string entry = "int Add(int a, int b);tools.h;20240101000000";
  dir.Write("lib/SOURCE/ADD.asm", "asm");
  auto runs = Build(ToolsScript({entry}));
  ASSERT_EQ(runs.size(), 2u);  // assemble, then create the library
  EXPECT_TRUE(Assembled(runs[0]));
  EXPECT_EQ(runs[0].options.back(), "-output=obj/Add.OBJ");
  EXPECT_EQ(Var("SOURCEFILE"), Sys("lib\\SOURCE\\Add.ASM")) << "the name as computed";
  EXPECT_EQ(Var("TARGETFILE"), Sys("obj\\Add.OBJ"));
  EXPECT_EQ(Var("PROG"), "Add");
  EXPECT_EQ(engine->Vars.IndexOfName("DEPENDENCY"), -1);
  EXPECT_EQ(Window().front(), compile + " Add 00010000");
  EXPECT_EQ(dir.Read("include/tools.h.TMP"), "int Add(int a, int b);\r\n");
  EXPECT_EQ(LogText().find("created:"), std::string::npos) << "only SYSCALL logs the creation";

  Build(ToolsScript({entry, entry}));
  EXPECT_EQ(dir.Read("include/tools.h.TMP"), "int Add(int a, int b);\r\n");

  // The routine's C++ source wins over assembler, ...
  Date("obj/Add.OBJ", At("20240101000000"));
  dir.Write("lib/SOURCE/Add.CPP", "cpp");
  runs = Build(ToolsScript({entry}));
  ASSERT_FALSE(runs.empty());
  EXPECT_FALSE(Assembled(runs[0]));
  EXPECT_EQ(runs[0].options, std::vector<std::string>{"-output=obj/Add.OBJ"});
  EXPECT_EQ(Var("SOURCEFILE"), Sys("lib\\SOURCE\\Add.CPP"));

  // ... then the header's C++ source, ...
  DeleteFileAt(dir.File("lib/SOURCE/Add.CPP"));
  dir.Write("lib/SOURCE/TOOLS.cpp", "cpp");
  Date("obj/Add.OBJ", At("20240101000000"));
  runs = Build(ToolsScript({entry}));
  ASSERT_FALSE(runs.empty());
  EXPECT_FALSE(Assembled(runs[0]));
  EXPECT_EQ(Var("SOURCEFILE"), Sys("lib\\SOURCE\\tools.CPP"));

  // ... and ".SRC" comes last.
  DeleteFileAt(dir.File("lib/SOURCE/TOOLS.cpp"));
  DeleteFileAt(dir.File("lib/SOURCE/ADD.asm"));
  dir.Write("lib/SOURCE/Add.SRC", "src");
  Date("obj/Add.OBJ", At("20240101000000"));
  runs = Build(ToolsScript({entry}));
  ASSERT_FALSE(runs.empty());
  EXPECT_TRUE(Assembled(runs[0]));
  EXPECT_EQ(Var("SOURCEFILE"), Sys("lib\\SOURCE\\Add.SRC"));
}

TEST_F(ToolsAction, UnusableDeclarationsDoNothingAndAMissingSourceIsReported) {
  auto runs = Build(ToolsScript(
      {"Add;tools.h", "int Add (int a);tools.h", "\"int Mul(int a);tools.h\"", "int Div(int a);"}));
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(Window(), (std::vector<std::string>{"Missing \"" + Sys("lib\\SOURCE\\Mul") + "\"",
                                                "Missing \"" + Sys("lib\\SOURCE\\Div") + "\""}));
  // Quotes around the entry are removed before it is split.
  EXPECT_EQ(dir.Read("include/tools.h.TMP"), "int Mul(int a);\r\n");
  // Without a header the declaration is collected nowhere.
  const std::vector<DirEntry> collections = ListDirectory(dir.File("include/*"));
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_EQ(collections[0].name, "tools.h.TMP");
  EXPECT_EQ(engine->StepCounter, 4 * 65536);
  EXPECT_EQ(engine->Vars.IndexOfName("SOURCEFILE"), -1);
  EXPECT_FALSE(FileExists(dir.File("lib/TOOLS.LIB")));
}

TEST_F(ToolsAction, ANewLibraryTakesEveryRoutineAndASecondBuildDoesNothing) {
  dir.Write("lib/SOURCE/Add.CPP", "cpp");
  dir.Write("lib/SOURCE/Sub.ASM", "asm");
  dir.Write("obj/Add.OBJ", "add");
  dir.Write("obj/Sub.OBJ", "sub");
  for (const char* source : {"lib/SOURCE/Add.CPP", "lib/SOURCE/Sub.ASM", "ASMSH_OPTIONS.PRJ"}) {
    Date(source, At("20240101000000"));
  }
  DateAll("obj", At("20240102000000"));
  std::vector<std::string> script =
      ToolsScript({"int Add(int a, int b);tools.h", "int Sub(int a, int b);tools.h"});
  script.push_back("UPDATEHEADERFILES=$(HEADERDIR)");

  // Both objects are up to date, yet the missing library takes both.
  auto runs = Build(script);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].args, (std::vector<std::string>{Sys("obj\\Add.OBJ"), "-SUB=TEMP.TXT"}));
  EXPECT_EQ(runs[1].args, std::vector<std::string>{"-SUB=TEMP.TXT"});
  EXPECT_EQ(runs[1].options.front(), "-input=" + Sys("obj\\Sub.OBJ"));
  EXPECT_EQ(Window(), (std::vector<std::string>{"\"\"" + tool + "\" \"" + Sys("obj\\Add.OBJ") +
                                                    "\" -SUB=TEMP.TXT\"  00010000",
                                                compile + "  00020000"}));
  EXPECT_EQ(Var("LIBNEW"), "TRUE");
  EXPECT_EQ(dir.Read("lib/TOOLS.LIB"), "Add\nSub\n");
  EXPECT_EQ(dir.Read("include/tools.h"), "int Add(int a, int b);\r\nint Sub(int a, int b);\r\n");

  Date("lib/TOOLS.LIB", At("20240103000000"));
  runs = Build(script, true);
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(std::count(Window().begin(), Window().end(), "No news!"), 4);
  EXPECT_EQ(dir.Read("lib/TOOLS.LIB"), "Add\nSub\n");
}

}  // namespace
}  // namespace tessel::test

#include <gtest/gtest.h>

#include <sstream>

#include "examples/toolchain/standin.h"
#include "examples/toolchain/standin_formats.h"
#include "platform/file_system.h"
#include "tests/support/temp_dir.h"

namespace tessel::test {
namespace {

using standin::TToolMode;

struct TToolRun {
  int status;
  std::string out;
};

class StandinTools : public ::testing::Test {
 protected:
  // Writes the options file (one line per entry) and runs the tool on it.
  TToolRun Run(TToolMode mode, const std::vector<std::string>& options,
               std::vector<std::string> commandFiles = {}) {
    std::string text;
    for (const std::string& line : options) text += line + "\r\n";
    commandFiles.push_back("-SUB=" + dir.Write("TEMP.TXT", text));
    std::ostringstream out;
    int status = standin::RunTool(mode, commandFiles, out);
    return {status, out.str()};
  }
  std::string Quoted(const std::string& name) const { return "\"" + dir.File(name) + "\""; }
  standin::TObject Object(const std::string& name) const {
    std::optional<standin::TObject> object = standin::ReadObject(dir.Read(name));
    EXPECT_TRUE(object) << name;
    return object.value_or(standin::TObject());
  }
  std::vector<std::string> MemberNames(const std::string& library) const {
    std::vector<std::string> names;
    const std::optional<std::vector<standin::TMember>> members =
        standin::ReadLibrary(dir.Read(library));
    EXPECT_TRUE(members) << library;
    for (const standin::TMember& member : members.value_or(std::vector<standin::TMember>())) {
      names.push_back(member.name);
    }
    return names;
  }

  TTempDir dir;
};

TEST_F(StandinTools, ModeComesFromTheProgramName) {
  EXPECT_EQ(standin::ModeFromProgram("C:\\SH\\BIN\\ASMSH.EXE"), TToolMode::Assembler);
  EXPECT_EQ(standin::ModeFromProgram("/opt/sdk\\BIN\\Shcpp.exe"), TToolMode::Compiler);
  EXPECT_EQ(standin::ModeFromProgram("./optlnk"), TToolMode::Linker);
  EXPECT_EQ(standin::ModeFromProgram("optlnk.bat"), std::nullopt);
  EXPECT_EQ(standin::ModeFromProgram("tessel-sh-standin"), std::nullopt);
}

TEST_F(StandinTools, AssemblerWritesTheSourceAsCode) {
  dir.Write("LIB/Start.src", "  rts\r\n  nop\r\n");
  TToolRun run =
      Run(TToolMode::Assembler,
          {Quoted("LIB/Start.src"), "-object=" + Quoted("OBJ1.OBJ") + " -cpu=sh4a", "-verbose"});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out,
            "SH stand-in assembler 1.0 (example tool chain)\n"
            "note: -cpu=sh4a has no effect in the stand-in\n"
            "warning: unknown option -verbose ignored\n"
            "Start.src: object " +
                Quoted("OBJ1.OBJ") + " written (14 bytes of code)\n");
  standin::TObject object = Object("OBJ1.OBJ");
  EXPECT_EQ(object.module, "OBJ1");
  EXPECT_EQ(object.source, dir.File("LIB/Start.src"));
  EXPECT_EQ(object.code, "  rts\r\n  nop\r\n");

  // Without -object the object lies beside the source.
  EXPECT_EQ(Run(TToolMode::Assembler, {dir.File("LIB/Start.src")}).status, 0);
  EXPECT_EQ(Object("LIB/Start.OBJ").module, "Start");
}

TEST_F(StandinTools, CommandLineAndOptionsFileErrors) {
  std::ostringstream out;
  EXPECT_EQ(standin::RunTool(TToolMode::Assembler, {}, out), 2);
  EXPECT_NE(out.str().find("error: no options file given"), std::string::npos) << out.str();

  out.str("");
  EXPECT_EQ(standin::RunTool(TToolMode::Linker, {"-SUB=" + dir.File("NONE.TXT")}, out), 1);
  EXPECT_NE(out.str().find("error: cannot read the options file: "), std::string::npos);

  // What the build writes when it has no options list for the tool.
  TToolRun placeholder = Run(TToolMode::Assembler, {"FOption[ optOPT ] not assigned."});
  EXPECT_EQ(placeholder.status, 1);
  EXPECT_NE(placeholder.out.find("error: no options were given: FOption[ optOPT ] not assigned."),
            std::string::npos);

  TToolRun missing = Run(TToolMode::Assembler, {Quoted("X.SRC")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("error: source file " + Quoted("X.SRC") + " not found"),
            std::string::npos);

  dir.Write("A.SRC", "a");
  dir.Write("B.SRC", "b");
  EXPECT_EQ(Run(TToolMode::Assembler, {Quoted("A.SRC") + " " + Quoted("B.SRC")}).status, 1);
  EXPECT_EQ(Run(TToolMode::Assembler, {}).status, 1);
  TToolRun noValue = Run(TToolMode::Assembler, {Quoted("A.SRC"), "-object"});
  EXPECT_EQ(noValue.status, 1);
  EXPECT_NE(noValue.out.find("error: option -object needs a value"), std::string::npos);
  EXPECT_FALSE(FileExists(dir.File("A.OBJ")));
}

TEST_F(StandinTools, CompilerFindsIncludesBesideTheSourceAndInTheIncludeDirectories) {
  dir.Write("P/MAIN.CPP",
            "#include \"local.h\"\n#include <cstdio>\n  #include \"one.h\"\n"
            "#include \"two.h\"\nint main() {}\n");
  dir.Write("P/local.h", "");
  dir.Write("INC1/one.h", "");
  const std::string source = Quoted("P/MAIN.CPP");
  const std::string includes = "-include=\"" + dir.File("INC1") + "," + dir.File("INC2") + "\"";

  TToolRun missing = Run(TToolMode::Compiler, {source, includes});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("MAIN.CPP(4): error: cannot open include file \"two.h\"\n"
                             "error: 1 include file(s) missing\n"),
            std::string::npos)
      << missing.out;
  EXPECT_FALSE(FileExists(dir.File("P/MAIN.OBJ")));

  dir.Write("INC2/TWO.H", "");  // found without regard to case
  TToolRun found = Run(TToolMode::Compiler, {source, includes});
  EXPECT_EQ(found.status, 0) << found.out;
  EXPECT_EQ(Object("P/MAIN.OBJ").module, "MAIN");
}

TEST_F(StandinTools, LinkerCreatesAndUpdatesLibraries) {
  for (const char* name : {"A", "B"}) {
    dir.Write(std::string(name) + ".SRC", std::string("code of ") + name);
    ASSERT_EQ(Run(TToolMode::Assembler, {Quoted(std::string(name) + ".SRC")}).status, 0);
  }
  const std::vector<std::string> common = {"-form=library", "-output=" + Quoted("X.LIB")};
  const std::vector<std::string> modify = {"-library=" + Quoted("X.LIB"),
                                           "-replace=" + Quoted("B.OBJ")};

  // A new library gets its first object on the command line.
  TToolRun created = Run(TToolMode::Linker, common, {dir.File("A.OBJ")});
  EXPECT_EQ(created.status, 0) << created.out;
  EXPECT_NE(created.out.find("  added A\nlibrary " + Quoted("X.LIB") + " created: 1 member(s)\n"),
            std::string::npos)
      << created.out;

  std::vector<std::string> both = modify;
  both.insert(both.end(), common.begin(), common.end());
  TToolRun added = Run(TToolMode::Linker, both);
  EXPECT_NE(added.out.find("  added B\nlibrary " + Quoted("X.LIB") + " updated: 2 member(s)\n"),
            std::string::npos)
      << added.out;

  dir.Write("B.SRC", "new code of B");
  ASSERT_EQ(Run(TToolMode::Assembler, {Quoted("B.SRC")}).status, 0);
  TToolRun replaced = Run(TToolMode::Linker, both);
  EXPECT_NE(replaced.out.find("  replaced B\n"), std::string::npos) << replaced.out;
  EXPECT_EQ(MemberNames("X.LIB"), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(standin::ReadObject(standin::ReadLibrary(dir.Read("X.LIB"))->at(1).object)->code,
            "new code of B");

  TToolRun noLibrary =
      Run(TToolMode::Linker, {"-library=" + Quoted("Y.LIB"), "-replace=" + Quoted("A.OBJ"),
                              "-form=library", "-output=" + Quoted("Y.LIB")});
  EXPECT_EQ(noLibrary.status, 1);
  EXPECT_NE(noLibrary.out.find("error: library " + Quoted("Y.LIB") + " not found"),
            std::string::npos);
  EXPECT_EQ(Run(TToolMode::Linker, common).status, 1);  // nothing to put in
}

TEST_F(StandinTools, LinkerDeletesMembersGivenOnAPlainCommandLine) {
  for (const char* name : {"A", "B", "C"}) {
    dir.Write(std::string(name) + ".SRC", name);
    ASSERT_EQ(Run(TToolMode::Assembler, {Quoted(std::string(name) + ".SRC")}).status, 0);
  }
  ASSERT_EQ(
      Run(TToolMode::Linker, {"-form=library -output=" + Quoted("L.LIB"),
                              Quoted("A.OBJ") + " " + Quoted("B.OBJ") + " " + Quoted("C.OBJ")})
          .status,
      0);
  // As the library grooming runs it: no options file, the items after -delete=.
  std::ostringstream out;
  const std::string library = dir.File("L.LIB");
  EXPECT_EQ(
      standin::RunTool(
          TToolMode::Linker,
          {"-form=library", "-library=" + library, "-output=" + library, "-delete=c, a,NONE"}, out),
      0)
      << out.str();
  EXPECT_NE(out.str().find("  deleted C\n  deleted A\nwarning: no member NONE to delete\n"),
            std::string::npos)
      << out.str();
  EXPECT_EQ(MemberNames("L.LIB"), (std::vector<std::string>{"B"}));
}

TEST_F(StandinTools, LinkerWritesImagesOfObjectsAndLibraryMembers) {
  for (const char* name : {"START", "MAIN", "LIBA", "LIBB"}) {
    dir.Write(std::string(name) + ".SRC", name);
    ASSERT_EQ(Run(TToolMode::Assembler, {Quoted(std::string(name) + ".SRC")}).status, 0);
  }
  ASSERT_EQ(Run(TToolMode::Linker,
                {"-form=library -output=" + Quoted("L.LIB"), "-input " + Quoted("LIBB.OBJ")},
                {dir.File("LIBA.OBJ")})
                .status,
            0);

  TToolRun linked =
      Run(TToolMode::Linker, {"-input " + Quoted("START.OBJ"), "-library=" + Quoted("L.LIB"),
                              "-entry=_go", "-input " + Quoted("MAIN.OBJ"), "-form=image",
                              "-output=\"" + dir.File("OUT.SH3") + "\""});
  EXPECT_EQ(linked.status, 0) << linked.out;
  std::optional<standin::TImage> image = standin::ReadImage(dir.Read("OUT.SH3"));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->entry, "_go");
  std::vector<std::string> names;
  for (const standin::TModule& module : image->modules)
    names.push_back(module.name + "=" + module.code);
  EXPECT_EQ(names,
            (std::vector<std::string>{"START=START", "MAIN=MAIN", "LIBA=LIBA", "LIBB=LIBB"}));
  EXPECT_NE(linked.out.find("image " + Quoted("OUT.SH3") + " written: 4 module(s), " +
                            std::to_string(dir.Read("OUT.SH3").size()) + " bytes\n"),
            std::string::npos)
      << linked.out;

  TToolRun twice =
      Run(TToolMode::Linker, {"-input " + Quoted("LIBA.OBJ"), "-library=" + Quoted("L.LIB"),
                              "-output=" + Quoted("BAD.SH3")});
  EXPECT_EQ(twice.status, 1);
  EXPECT_NE(twice.out.find("error: module LIBA is defined twice (" + Quoted("LIBA.OBJ") + " and " +
                           Quoted("L.LIB") + ")"),
            std::string::npos)
      << twice.out;
  EXPECT_FALSE(FileExists(dir.File("BAD.SH3")));

  dir.Write("TEXT.OBJ", "not an object");
  TToolRun notObject = Run(TToolMode::Linker, {Quoted("TEXT.OBJ"), "-output=" + Quoted("B.SH3")});
  EXPECT_EQ(notObject.status, 1);
  EXPECT_NE(notObject.out.find("error: " + Quoted("TEXT.OBJ") + " is no object file"),
            std::string::npos);
  TToolRun noOutput = Run(TToolMode::Linker, {Quoted("MAIN.OBJ")});
  EXPECT_NE(noOutput.out.find("error: no output file given"), std::string::npos);
  TToolRun badForm =
      Run(TToolMode::Linker, {Quoted("MAIN.OBJ"), "-form=hex -output=" + Quoted("B.SH3")});
  EXPECT_NE(badForm.out.find("error: unknown form \"hex\""), std::string::npos);
  EXPECT_FALSE(FileExists(dir.File("B.SH3")));
}

TEST(StandinFormats, ReadersRefuseDamagedFiles) {
  const std::string object = standin::WriteObject({"M", "C:\\M.SRC", "line\nline\n"});
  ASSERT_TRUE(standin::ReadObject(object));
  EXPECT_EQ(standin::ReadObject(object)->code, "line\nline\n");
  EXPECT_FALSE(standin::ReadObject(object.substr(0, object.size() - 1)));  // cut short
  EXPECT_FALSE(standin::ReadObject(object + "x"));                         // trailing bytes

  const std::string library = standin::WriteLibrary({{"M", object}});
  ASSERT_TRUE(standin::ReadLibrary(library));
  EXPECT_FALSE(standin::ReadLibrary(standin::WriteLibrary({{"M", "no object"}})));
  EXPECT_FALSE(standin::ReadLibrary(library.substr(0, library.size() - 3)));

  const std::string image = standin::WriteImage({"", {{"A", "a b"}, {"B", ""}}});
  std::optional<standin::TImage> read = standin::ReadImage(image);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->entry, "");
  ASSERT_EQ(read->modules.size(), 2u);
  EXPECT_EQ(read->modules[0].name, "A");
  EXPECT_EQ(read->modules[0].code, "a b");
  EXPECT_FALSE(standin::ReadImage(image.substr(0, image.size() - 4)));  // no end line
}

}  // namespace
}  // namespace tessel::test

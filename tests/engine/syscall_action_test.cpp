#include <gtest/gtest.h>

#include <algorithm>

#include "platform/file_system.h"
#include "tests/engine/library_fixture.h"

namespace tessel::test {
namespace {

const std::string kClear = "h'0123;void Clear(void);$(DISPLAY);20240105120000";
const std::string kLocate = "h'0124;void Locate(int x, int y);$(DISPLAY);20240105120000";
const std::string kGetKey = "h'0247;int GetKey(int*key);$(KEYBOARD);20240105120000";

class SyscallAction : public TLibraryTest {
 protected:
  // The syscall script in the form the setup writes it.
  std::vector<std::string> SyscallScript(const std::vector<std::string>& entries) const {
    std::vector<std::string> lines = Head("SYSCALLS");
    for (const char* line : {"DISPLAY=display.h", "DELFILE=\"$(HEADERDIR)\\$(DISPLAY).TMP\"",
                             "KEYBOARD=keyboard.h", "DELFILE=\"$(HEADERDIR)\\$(KEYBOARD).TMP\"",
                             "CONSTANT_DEPENDENCY_FILE=\"$(LIBDIR)\\$(LIBRARY).LIB\"",
                             "SOURCEDIR=\"$(LIBDIR)\\TEMP\""}) {
      lines.push_back(line);
    }
    for (const std::string& entry : entries) lines.push_back("SYSCALL=" + entry);
    for (const char* line : {"CONSTANT_DEPENDENCY_FILE=", "LIB_OPT=", "LIB_MOD_OPT=", "OPTION=",
                             "ASM_OPT=", "UPDATEHEADERFILES=$(HEADERDIR)"}) {
      lines.push_back(line);
    }
    return lines;
  }

  // A first build of the three entries, then every file dated as after a
  // finished build: sources, objects and headers before the library.
  void FirstBuildAndSettle() {
    Build(SyscallScript({kClear, kLocate, kGetKey}));
    for (const char* sub : {"obj", "lib/TEMP", "include"}) DateAll(sub, old);
    Date("ASMSH_OPTIONS.PRJ", old);
    Date("lib/SYSCALLS.LIB", library);
  }

  std::string Var(const std::string& name) const { return engine->Vars.ValueOf(name); }

  const std::string asmCommand = "\"" + tool + "\" -SUB=TEMP.TXT";
  const TDateTime old = At("20240601100000");
  const TDateTime library = At("20240601110000");
};

TEST_F(SyscallAction, AFirstBuildMakesStubsLibraryAndHeaders) {
  auto runs = Build(SyscallScript({kClear, kLocate, kGetKey}));
  const std::string create = "\"\"" + tool + "\" \"" + Sys("obj\\Clear.OBJ") + "\" -SUB=TEMP.TXT\"";
  EXPECT_EQ(Window(), (std::vector<std::string>{
                          asmCommand + " h'0123 Clear 00000001", create + "  00000001",
                          asmCommand + " h'0124 Locate 00000002", asmCommand + "  00000002",
                          asmCommand + " h'0247 GetKey 00000003", asmCommand + "  00000003"}));
  ASSERT_EQ(runs.size(), 6u);
  EXPECT_EQ(runs[0].options, (std::vector<std::string>{"-debug", "-output=obj/Clear.OBJ"}));
  EXPECT_EQ(runs[1].options,
            (std::vector<std::string>{"-form=library", "-append=lib/SYSCALLS.LIB:Clear"}));
  EXPECT_EQ(runs[3].options,
            (std::vector<std::string>{"-input=" + Sys("obj\\Locate.OBJ"), "-form=library",
                                      "-append=lib/SYSCALLS.LIB:Locate"}));
  EXPECT_EQ(dir.Read("lib/SYSCALLS.LIB"), "Clear\nLocate\nGetKey\n");
  EXPECT_EQ(dir.Read("lib/TEMP/Clear.SRC"),
            "  .export _Clear\r\n_Clear:\r\n  mov.l #h'0123,r0\r\n  rts\r\n");

  // Two entries share a header, in script order; the collection files
  // became the headers.
  EXPECT_EQ(dir.Read("include/display.h"), "void Clear(void);\r\nvoid Locate(int x, int y);\r\n");
  EXPECT_EQ(dir.Read("include/keyboard.h"), "int GetKey(int*key);\r\n");
  EXPECT_FALSE(FileExists(dir.File("include/display.h.TMP")));
  const std::string log = LogText();
  const std::string created = "created:" + Sys("include\\display.h.TMP") + "\r\n";
  EXPECT_NE(log.find(created), std::string::npos);
  EXPECT_EQ(log.find(created), log.rfind(created));
  EXPECT_NE(log.find("created:" + Sys("include\\keyboard.h.TMP") + "\r\n"), std::string::npos);

  // The last entry's variables stay; the rule's are gone.
  EXPECT_EQ(Var("SOURCEFILE"), "\"" + Sys("lib\\TEMP\\GetKey.SRC") + "\"");
  EXPECT_EQ(Var("TARGETFILE"), "\"" + Sys("obj\\GetKey.OBJ") + "\"");
  EXPECT_EQ(Var("PROG"), "GetKey");
  for (const char* gone : {"FORCEUPDATE", "DEPENDENCY", "DEPENDANT"}) {
    EXPECT_EQ(engine->Vars.IndexOfName(gone), -1) << gone;
  }
  EXPECT_EQ(engine->StepCounter, 3);
}

TEST_F(SyscallAction, ASecondBuildDoesNothingAndKeepsTheHeaders) {
  FirstBuildAndSettle();
  auto runs = Build(SyscallScript({kClear, kLocate, kGetKey}), true);
  EXPECT_TRUE(runs.empty());
  // Per entry: no stub needed, and the library holds the object.
  EXPECT_EQ(std::count(Window().begin(), Window().end(), "No news!"), 6);
  EXPECT_EQ(FileDate("include/display.h"), old);
  EXPECT_EQ(FileDate("include/keyboard.h"), old);
  EXPECT_FALSE(FileExists(dir.File("include/display.h.TMP")));
  EXPECT_FALSE(FileExists(dir.File("include/keyboard.h.TMP")));
}

TEST_F(SyscallAction, OnlyAnEntryChangedAfterTheLibraryIsRebuilt) {
  FirstBuildAndSettle();
  const std::string clear = "h'0123;void Clear(void);$(DISPLAY);00000000000000";
  const std::string locate = "h'0124;void Locate(int x, int y);$(DISPLAY);20240701000000";
  auto runs = Build(SyscallScript({clear, locate, kGetKey}));
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].options.back(), "-output=obj/Locate.OBJ");
  EXPECT_EQ(runs[1].args, std::vector<std::string>{"-SUB=TEMP.TXT"});
  EXPECT_EQ(Window(), (std::vector<std::string>{asmCommand + " h'0124 Locate 00000002",
                                                asmCommand + "  00000002"}));
  EXPECT_EQ(dir.Read("lib/SYSCALLS.LIB"), "Clear\nLocate\nGetKey\nLocate\n");
  EXPECT_EQ(FileDate("include/display.h"), old) << "its declarations did not change";
}

TEST_F(SyscallAction, AHeaderIsReplacedWhenTheOrderOfItsDeclarationsChanged) {
  FirstBuildAndSettle();
  auto runs = Build(SyscallScript({kLocate, kClear, kGetKey}));
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(dir.Read("include/display.h"), "void Locate(int x, int y);\r\nvoid Clear(void);\r\n");
  EXPECT_NE(FileDate("include/display.h"), old);
  EXPECT_EQ(FileDate("include/keyboard.h"), old);
}

TEST_F(SyscallAction, StubPlaceholdersOptionPlaceholderAndSilentStops) {
  dir.Write("templates/SYSCALL_TEMPLATE.SRC", "<name>:<name> <number> <Name> <number\r\n");
  std::vector<std::string> script = SyscallScript({});
  script.insert(script.end() - 6,
                {"ASM_OPT=", "SYSCALL=  ;void Skip(void);$(DISPLAY);20240105120000",
                 "SYSCALL=h'0001;Skip;$(DISPLAY);20240105120000",
                 "SYSCALL=h'0002;int Skip (void);$(DISPLAY);20240105120000",
                 "SYSCALL=\"h'0123;void Clear(void);;20240105120000\""});
  auto runs = Build(script);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(dir.Read("lib/TEMP/Clear.SRC"), "Clear:Clear h'0123 <Name> <number\r\n");
  EXPECT_EQ(runs[0].options, std::vector<std::string>{"FOption[ optOPT ] not assigned."});
  EXPECT_NE(LogText().find("options:\r\nFOption[ optOPT ] not assigned.\r\n"), std::string::npos);
  EXPECT_EQ(Window().front(), asmCommand + " h'0123 Clear 00000004");
  // The value's quotes are gone; no header, nothing collected; no stray stubs.
  EXPECT_EQ(LogText().find("created:"), std::string::npos);
  EXPECT_FALSE(FileExists(dir.File("lib/TEMP/Skip.SRC")));

  // A missing template ends the run.
  DeleteFileAt(dir.File("templates/SYSCALL_TEMPLATE.SRC"));
  DeleteFileAt(dir.File("lib/SYSCALLS.LIB"));
  engine = std::make_unique<TProject>(dir.File("engine.log"));
  EXPECT_THROW(engine->Run(Script("BUILD.PRJ", SyscallScript({kClear}))), EFileError);
}

}  // namespace
}  // namespace tessel::test

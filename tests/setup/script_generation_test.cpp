#include "setup/script_generation.h"

#include "platform/file_system.h"
#include "settings/MyIni.h"
#include "setup/setup_model.h"
#include "support/text.h"
#include "tests/setup/setup_fixture.h"
#include "tests/support/scripted_ui.h"

using namespace tessel;
using tessel::test::TScriptedUserInterface;
using tessel::test::TSetupTest;

namespace {

const char* const Base = "C:\\SDK\\BaseOptions\\BaseOptions.ini";
const char* const ProjectDir = "C:\\SDK\\Projects\\";

class TGenerationTest : public TSetupTest {
 protected:
  void WriteBase(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> lines = {
        "[vleGeneral]",
        "SDKDIR=@C:\\SDK@",
        "TEMPLATEDIR=@$(SDKDIR)\\Templates@",
        "HEADERDIR=@$(SDKDIR)\\include@",
        "DEBUGDIR=@$(SDKDIR)\\debug@",
        "OBJECTDIR=@$(SDKDIR)\\obj@",
        "BINDIR=@$(SDKDIR)\\bin@",
        "LIBDIR=@$(SDKDIR)\\lib@",
        "PROJECTDIR=@\"$(SDKDIR)\\Projects\"@",
        "WORKDIR=@$(SDKDIR)\\work@",
        "ASM_CMD=@$(BINDIR)\\asmsh.exe@",
        "LNK_CMD=@$(BINDIR)\\Optlnk.exe@",
        "COMPILE_CMD=@$(BINDIR)\\shcpp.exe@",
        "MAXBACKUP=@7@",
        "[vleMessagesToIgnore]",
        "OPT_000=@C0101 (W) Optimizing range@",
        "OPT_001=@abc;off@",
        "OPT_002=@abc;ON@",
        "[vleSyscalls]",
        "LIBRARY=@\"fxCG_syscalls\";;20200101000000@",
        "FXCG_DISPLAY=@fxcg\\display.h;header;20200101000000@",
        "1E6=@void Bdisp_PutDisp_DD(void);$(FXCG_DISPLAY);20200101120000@",
        "0C3=@int GetKey(int*key);keyboard.h;20200101120001@",
        "NOTE=@free text@",
        "[vleTools]",
        "LIBRARY=@fxCG_tools;;20200101000000@",
        "TOOLS_H=@tools.h;header;20200101000000@",
        "0A1=@tool;;20210203040506@",
        "[vleLinkLibMod]",
        "OPT_000=@-form=library@",
        "[vleLinkLibCommon]",
        "OPT_000=@-nolist@",
        "OPT_001=@-library=\"$(LIBDIR)\\x.lib\"@",
        "[vleAssemblerOptions]",
        "OPT_000=@-cpu=sh4a@",
        "OPT_001=@-debug@",
        "[vleCompilerOptions]",
        "OPT_000=@-cpu=sh4a@",
        "OPT_001=@-include=\"$(HEADERDIR)\"@",
        "[vleLink]",
        "OPT_000=@-noprelink@",
        "[vleLinkRAMBINdep]",
        "OPT_000=@\"$(LIBDIR)\\fxCG_library.lib\"@",
        "[vleLinkRAMBINopt]",
        "OPT_000=@-form=binary@",
        "[vleLinkG3Adep]",
        "OPT_000=@\"$(LIBDIR)\\fxCG_syscalls.LIB\"@",
        "[vleLinkG3Aopt]",
        "OPT_000=@-form=stype@",
        "OPT_001=@-output=\"$(WORKDIR)\\$(PROG).SH3\"@",
        "[vleRequiredDirectories]",
        "OPT_000=@$(PROJECTDIR)\\DEMONSTR@",
    };
    lines.insert(lines.end(), extra.begin(), extra.end());
    WriteIni(Base, lines);
  }

  std::string ProjectIni(const std::string& name) { return ProjectDir + name; }

  // Loads the model as the setup window does when it opens.
  TSetupModel Model(const std::string& projectIni) {
    TSetupModel model(projectIni, projectIni, Base);
    model.Load();
    return model;
  }

  void ExpectScript(const std::string& name, const std::string& expected) {
    EXPECT_EQ(FileLines(ProjectDir + name), SplitLines(expected)) << name;
  }
};

}  // namespace

TEST_F(TGenerationTest, WritesTheSevenScriptsForAFullProject) {
  WriteBase();
  const std::string project = ProjectIni("Demonstration.ini");
  WriteIni(
      project,
      {"[vleProjectSource]", "SRC_000=@$(PROJECTDIR)\\DEMONSTR\\Util.c@",
       "SRC_001=@$(PROJECTDIR)\\DEMONSTR\\Start.Asm@", "SRC_002=@$(PROJECTDIR)\\DEMONSTR\\Defs.H@",
       "SRC_003=@$(PROJECTDIR)\\DEMONSTR\\MAIN.X.CPP@", "SRC_004=@$(LIBDIR)\\SOURCE\\crt.SRC@",
       "[vleProjectDependencies]", "DEP_000=@$(PROJECTDIR)\\DEMONSTR\\DEMO.H;Compile@",
       "[vleProjectBindOptions]", "Selected bitmap=@$(PROJECTDIR)\\DEMONSTR\\SEL.BMP@",
       "Unselected bitmap=@$(PROJECTDIR)\\DEMONSTR\\UNSEL.BMP@",
       "Makescript=@$(PROJECTDIR)\\DEMONSTR\\BIND.TXT@", "Version=@01.23.4567-beta@"});
  MakeDirectory(ProjectDir);
  TScriptedUserInterface ui;
  ui.yesNoAnswers = {true};

  ASSERT_TRUE(GenerateScripts(Model(project), ui));

  // The missing required directory was offered and created.
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].text, "Missung directory:\r\nC:\\SDK\\Templates\r\nCreate directories?");
  EXPECT_EQ(ui.boxes[1].kind, "information");
  EXPECT_EQ(ui.boxes[1].text, "Save and script-building successful.");
  EXPECT_TRUE(DirectoryExists("C:\\SDK\\Projects\\DEMONSTR"));

  ExpectScript("setup.prj", R"PRJ(EXIT_IF=SETUP_INVOKED
SDKDIR="C:\SDK"
TEMPLATEDIR="$(SDKDIR)\Templates"
HEADERDIR="$(SDKDIR)\include"
DEBUGDIR="$(SDKDIR)\debug"
OBJECTDIR="$(SDKDIR)\obj"
BINDIR="$(SDKDIR)\bin"
LIBDIR="$(SDKDIR)\lib"
PROJECTDIR=""$(SDKDIR)\Projects""
WORKDIR="$(SDKDIR)\work"
ASM_CMD="$(BINDIR)\asmsh.exe"
LNK_CMD="$(BINDIR)\Optlnk.exe"
COMPILE_CMD="$(BINDIR)\shcpp.exe"
MAXBACKUP="7"
MESSAGE_TO_IGNORE=
MESSAGE_TO_IGNORE="C0101 (W) Optimizing range"
MESSAGE_TO_IGNORE="abc;ON"
SOURCEFILE="$(LIBDIR)\SOURCE\$(PROG).SRC"
TARGETFILE="$(OBJECTDIR)\$(PROG).OBJ"
DEPENDENCY=
DEPENDENCY=$(SOURCEFILE)
DEPENDENCY="$(PROJECTDIR)\SETUP.PRJ"
DEPENDANT=$(TARGETFILE)
ASM_OPT=
INCLUDE="$(PROJECTDIR)\ASMSH_OPTIONS.PRJ"
PROG="fxCG_RAM_STARTUP"
SOURCEFILE="$(LIBDIR)\SOURCE\$(PROG).SRC"
TARGETFILE="$(OBJECTDIR)\$(PROG).OBJ"
EXECUTE=$(ASM_CMD)
PROG="fxCG_G3A_STARTUP"
SOURCEFILE="$(LIBDIR)\SOURCE\$(PROG).SRC"
TARGETFILE="$(OBJECTDIR)\$(PROG).OBJ"
EXECUTE=$(ASM_CMD)
DEPENDENCY=
ASM_OPT=
DEPENDANT=
SETUP_INVOKED=TRUE
)PRJ");

  ExpectScript("syscalls.prj", R"PRJ(EXIT_IF=SYSCALLS_INVOKED
INCLUDE="$(PROJECTDIR)\SETUP.PRJ"
LIBRARY=fxCG_syscalls
FXCG_DISPLAY=fxcg\display.h
DELFILE="$(HEADERDIR)\$(FXCG_DISPLAY).TMP"
DEPENDENCY=
DEPENDENCY="$(PROJECTDIR)\ASMSH_OPTIONS.PRJ"
ASM_OPT=
INCLUDE="$(PROJECTDIR)\ASMSH_OPTIONS.PRJ"
LIB_MOD_OPT=
LIB_MOD_OPT=-form=library
LIB_OPT=
LIB_OPT=-nolist
LIB_OPT=-library="$(LIBDIR)\x.lib"
CONSTANT_DEPENDENCY_FILE="$(LIBDIR)\$(LIBRARY).LIB"
SOURCEDIR="$(LIBDIR)\TEMP"
SYSCALL=h'1E6;void Bdisp_PutDisp_DD(void);$(FXCG_DISPLAY);20200101120000
SYSCALL=h'0C3;int GetKey(int*key);keyboard.h;20200101120001
CONSTANT_DEPENDENCY_FILE=
LIB_OPT=
LIB_MOD_OPT=
OPTION=
ASM_OPT=
UPDATEHEADERFILES=$(HEADERDIR)
SYSCALLS_INVOKED=TRUE
)PRJ");

  ExpectScript("tools.prj", R"PRJ(EXIT_IF=TOOLS_INVOKED
INCLUDE="$(PROJECTDIR)\SETUP.PRJ"
INCLUDE="$(PROJECTDIR)\SYSCALLS.PRJ"
LIBRARY=fxCG_tools
TOOLS_H=tools.h
DELFILE="$(HEADERDIR)\$(TOOLS_H).TMP"
DEPENDENCY=
DEPENDENCY="$(PROJECTDIR)\SHCPP_OPTIONS.PRJ"
ASM_OPT=
INCLUDE="$(PROJECTDIR)\ASMSH_OPTIONS.PRJ"
OPTION=
INCLUDE="$(PROJECTDIR)\SHCPP_OPTIONS.PRJ"
SETENV=
SETENV=SHC_LIB;$(BINDIR)
SETENV=SHC_TMP;$(DEBUGDIR)
LIB_MOD_OPT=
LIB_MOD_OPT=-form=library
LIB_OPT=
LIB_OPT=-nolist
LIB_OPT=-library="$(LIBDIR)\x.lib"
CONSTANT_DEPENDENCY_FILE="$(LIBDIR)\$(LIBRARY).LIB"
SOURCEDIR="$(LIBDIR)\SOURCE"
TOOLS=tool;;20210203040506
CONSTANT_DEPENDENCY_FILE=
LIB_OPT=
LIB_MOD_OPT=
OPTION=
ASM_OPT=
UPDATEHEADERFILES=$(HEADERDIR)
TOOLS_INVOKED=TRUE
)PRJ");

  ExpectScript("ASMSH_OPTIONS.PRJ", "ASM_OPT=-cpu=sh4a\nASM_OPT=-debug\n");
  ExpectScript("SHCPP_OPTIONS.PRJ", "OPTION=-cpu=sh4a\nOPTION=-include=\"$(HEADERDIR)\"\n");
  ExpectScript("OPTLNK_OPTIONS.PRJ", "OPTION=-noprelink\n");

  ExpectScript("DEMONSTR.PRJ", R"PRJ(MAKEALL=nTRUE
PROG="DEMONSTR"
INCLUDE="$(PROJECTDIR)\SETUP.PRJ"
INCLUDE="$(PROJECTDIR)\SYSCALLS.PRJ"
INCLUDE="$(PROJECTDIR)\TOOLS.PRJ"
SOURCEDIR="$(PROJECTDIR)\$(PROG)"
DEPENDENCY=
DEPENDENCY="$(SOURCEFILE)"
TARGETFILE="$(OBJECTDIR)\$(PROG).OBJ"
DEPENDANT="$(OBJECTDIR)\$(PROG).OBJ"
ASM_OPT=
INCLUDE="$(PROJECTDIR)\ASMSH_OPTIONS.PRJ"
PROG=Start
SOURCEFILE="$(PROJECTDIR)\DEMONSTR\Start.Asm"
EXECUTE="$(ASM_CMD)"
PROG=crt
SOURCEFILE="$(LIBDIR)\SOURCE\crt.SRC"
EXECUTE="$(ASM_CMD)"
ASM_OPT=
DEPENDENCY=
TARGETFILE=
DEPENDANT=
PROG=
SOURCEFILE=
SETENV=
SETENV=SHC_LIB;$(BINDIR)
SETENV=SHC_TMP;$(DEBUGDIR)
DEPENDENCY=
DEPENDENCY="$(SOURCEDIR)\$(PROG).CPP"
DEPENDENCY=$(PROJECTDIR)\DEMONSTR\DEMO.H;Compile
DEPENDENCY=$(PROJECTDIR)\DEMONSTR\Util.c
DEPENDENCY=$(PROJECTDIR)\DEMONSTR\Start.Asm
DEPENDENCY=$(PROJECTDIR)\DEMONSTR\Defs.H
DEPENDENCY=$(PROJECTDIR)\DEMONSTR\MAIN.X.CPP
DEPENDENCY=$(LIBDIR)\SOURCE\crt.SRC
DEPENDENCY="$(PROJECTDIR)\SHCPP_OPTIONS.PRJ"
DEPENDANT="$(OBJECTDIR)\$(PROG).OBJ"
OPTION=
ASM_OPT=
INCLUDE="$(PROJECTDIR)\SHCPP_OPTIONS.PRJ"
PROG=Util
SOURCEFILE="$(PROJECTDIR)\DEMONSTR\Util.c"
EXECUTE="$(COMPILE_CMD)"
PROG=MAIN
SOURCEFILE="$(PROJECTDIR)\DEMONSTR\MAIN.X.CPP"
EXECUTE="$(COMPILE_CMD)"
PROG="DEMONSTR"
SOURCEFILE="$(PROJECTDIR)\$(PROG)\$(PROG).CPP"
EXECUTE=$(COMPILE_CMD)
SETENV=
OPTION=
PROG="DEMONSTR"
SOURCEDIR="$(PROJECTDIR)\$(PROG)"
DEPENDENCY=
DEPENDENCY="$(OBJECTDIR)\$(PROG).obj"
DEPENDENCY="$(LIBDIR)\fxCG_library.lib"
DEPENDENCY="$(OBJECTDIR)\Util.obj"
DEPENDENCY="$(OBJECTDIR)\Start.obj"
DEPENDENCY="$(OBJECTDIR)\Defs.obj"
DEPENDENCY="$(OBJECTDIR)\MAIN.obj"
DEPENDENCY="$(OBJECTDIR)\crt.obj"
DEPENDENCY="$(OBJECTDIR)\$(PROG).obj"
DEPENDANT="$(PROJECTDIR)\$(PROG)\$(PROG)_RAM.SH3"
OPTION=
OPTION=-form=binary
OPTION=-input "$(OBJECTDIR)\Util.OBJ"
OPTION=-input "$(OBJECTDIR)\Start.OBJ"
OPTION=-input "$(OBJECTDIR)\Defs.OBJ"
OPTION=-input "$(OBJECTDIR)\MAIN.OBJ"
OPTION=-input "$(OBJECTDIR)\crt.OBJ"
INCLUDE="$(PROJECTDIR)\OPTLNK_OPTIONS.PRJ"
EXECUTE="$(LNK_CMD)"
DEPENDENCY=
DEPENDENCY="$(LIBDIR)\fxCG_syscalls.LIB"
DEPENDENCY="$(OBJECTDIR)\Util.obj"
DEPENDENCY="$(OBJECTDIR)\Start.obj"
DEPENDENCY="$(OBJECTDIR)\Defs.obj"
DEPENDENCY="$(OBJECTDIR)\MAIN.obj"
DEPENDENCY="$(OBJECTDIR)\crt.obj"
DEPENDENCY="$(OBJECTDIR)\$(PROG).obj"
DEPENDANT="$(WORKDIR)\$(PROG).SH3"
OPTION=
OPTION=-form=stype
OPTION=-output="$(WORKDIR)\$(PROG).SH3"
OPTION=-input "$(OBJECTDIR)\Util.OBJ"
OPTION=-input "$(OBJECTDIR)\Start.OBJ"
OPTION=-input "$(OBJECTDIR)\Defs.OBJ"
OPTION=-input "$(OBJECTDIR)\MAIN.OBJ"
OPTION=-input "$(OBJECTDIR)\crt.OBJ"
INCLUDE="$(PROJECTDIR)\OPTLNK_OPTIONS.PRJ"
BREAK=
EXECUTE="$(LNK_CMD)"
OPTION=
DEPENDENCY=
DEPENDENCY="$(PROJECTDIR)\DEMONSTR\SEL.BMP"
DEPENDANT="$(PROJECTDIR)\$(PROG)\$(PROG)_SELECTED.CGI"
BMP256TOCGI="$(DEPENDENCY);$(DEPENDANT)"
DEPENDENCY=
DEPENDENCY="$(PROJECTDIR)\DEMONSTR\UNSEL.BMP"
DEPENDANT="$(PROJECTDIR)\$(PROG)\$(PROG)_UNSELECTED.CGI"
BMP256TOCGI="$(DEPENDENCY);$(DEPENDANT)"
DEPENDENCY=
DEPENDENCY="$(WORKDIR)\$(PROG).SH3"
DEPENDENCY="$(PROJECTDIR)\DEMONSTR\BIND.TXT"
DEPENDENCY="$(PROJECTDIR)\$(PROG)\$(PROG)_UNSELECTED.CGI"
DEPENDENCY="$(PROJECTDIR)\$(PROG)\$(PROG)_SELECTED.CGI"
DEPENDANT="$(PROJECTDIR)\$(PROG)\$(PROG).G3A"
Version="01.23.4567"
BIND="$(PROJECTDIR)\DEMONSTR\BIND.TXT"
)PRJ");

  // Lines end with CR LF; the work file holds the last script written.
  std::string bytes = ReadFileBytes(std::string(ProjectDir) + "OPTLNK_OPTIONS.PRJ");
  EXPECT_EQ(bytes, "OPTION=-noprelink\r\n");
  EXPECT_EQ(ReadFileBytes(std::string(ProjectDir) + "TEMP.prj"),
            ReadFileBytes(std::string(ProjectDir) + "DEMONSTR.PRJ"));
}

TEST_F(TGenerationTest, AProjectWithoutSourcesBitmapsOrMakescript) {
  WriteBase();
  const std::string project = ProjectIni("DEMO.INI");
  WriteIni(project, {"[vleProjectBindOptions]", "Selected bitmap=@@", "Unselected bitmap=@ @",
                     "[vleRequiredProjectFiles]", "OPT_000=@C:\\NOT\\CHECKED.TXT@"});
  MakeDirectory("C:\\SDK\\Projects\\DEMONSTR");
  MakeDirectory("C:\\SDK\\Templates");
  for (const char* dir : {"include", "debug", "obj", "bin", "lib", "work"}) {
    MakeDirectory(std::string("C:\\SDK\\") + dir);
  }
  TScriptedUserInterface ui;
  ASSERT_TRUE(GenerateScripts(Model(project), ui));
  ASSERT_EQ(ui.boxes.size(), 1u);  // no question: every directory exists

  ExpectScript("DEMO.PRJ", R"PRJ(MAKEALL=nTRUE
PROG="DEMO"
INCLUDE="$(PROJECTDIR)\SETUP.PRJ"
INCLUDE="$(PROJECTDIR)\SYSCALLS.PRJ"
INCLUDE="$(PROJECTDIR)\TOOLS.PRJ"
SOURCEDIR="$(PROJECTDIR)\$(PROG)"
SETENV=
SETENV=SHC_LIB;$(BINDIR)
SETENV=SHC_TMP;$(DEBUGDIR)
DEPENDENCY=
DEPENDENCY="$(SOURCEDIR)\$(PROG).CPP"
DEPENDENCY="$(PROJECTDIR)\SHCPP_OPTIONS.PRJ"
DEPENDANT="$(OBJECTDIR)\$(PROG).OBJ"
OPTION=
ASM_OPT=
INCLUDE="$(PROJECTDIR)\SHCPP_OPTIONS.PRJ"
PROG="DEMO"
SOURCEFILE="$(PROJECTDIR)\$(PROG)\$(PROG).CPP"
EXECUTE=$(COMPILE_CMD)
SETENV=
OPTION=
PROG="DEMO"
SOURCEDIR="$(PROJECTDIR)\$(PROG)"
DEPENDENCY=
DEPENDENCY="$(OBJECTDIR)\$(PROG).obj"
DEPENDENCY="$(LIBDIR)\fxCG_library.lib"
DEPENDENCY="$(OBJECTDIR)\$(PROG).obj"
DEPENDANT="$(PROJECTDIR)\$(PROG)\$(PROG)_RAM.SH3"
OPTION=
OPTION=-form=binary
INCLUDE="$(PROJECTDIR)\OPTLNK_OPTIONS.PRJ"
EXECUTE="$(LNK_CMD)"
DEPENDENCY=
DEPENDENCY="$(LIBDIR)\fxCG_syscalls.LIB"
DEPENDENCY="$(OBJECTDIR)\$(PROG).obj"
DEPENDANT="$(WORKDIR)\$(PROG).SH3"
OPTION=
OPTION=-form=stype
OPTION=-output="$(WORKDIR)\$(PROG).SH3"
INCLUDE="$(PROJECTDIR)\OPTLNK_OPTIONS.PRJ"
BREAK=
EXECUTE="$(LNK_CMD)"
OPTION=
DEPENDENCY=
DEPENDENCY=
DEPENDENCY="$(WORKDIR)\$(PROG).SH3"
DEPENDENCY=""
DEPENDENCY="$(PROJECTDIR)\$(PROG)\$(PROG)_UNSELECTED.CGI"
DEPENDENCY="$(PROJECTDIR)\$(PROG)\$(PROG)_SELECTED.CGI"
DEPENDANT="$(PROJECTDIR)\$(PROG)\$(PROG).G3A"
Version="01.00.0000"
BIND=""
)PRJ");
}

TEST_F(TGenerationTest, MissingRequiredFilesWriteNoScript) {
  WriteBase({"[vleRequiredFiles]", "OPT_000=@$(BINDIR)\\fx9860G_library.lib@"});
  const std::string project = ProjectIni("DEMO.INI");
  WriteIni(project, {"[vleProjectSource]"});
  TScriptedUserInterface ui;
  ui.yesNoAnswers = {false};
  EXPECT_FALSE(GenerateScripts(Model(project), ui));
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].kind, "yesno");  // refused, and generation went on to the files
  EXPECT_EQ(ui.boxes[1].kind, "error");
  EXPECT_EQ(ui.boxes[1].text, "Missung file(s):\r\nC:\\SDK\\bin\\fx9860G_library.lib\r\n");
  EXPECT_TRUE(ListDirectory("C:\\SDK\\Projects\\*.PRJ").empty());
}

TEST_F(TGenerationTest, AMissingOrEmptyProjectDirectoryEndsGeneration) {
  WriteBase();
  const std::string project = ProjectIni("DEMO.INI");
  WriteIni(project, {"[vleProjectSource]"});
  ASSERT_TRUE(DeleteFileAt(project));  // the directory exists no more once emptied
  ASSERT_TRUE(RemoveDirectoryAt("C:\\SDK\\Projects"));
  TScriptedUserInterface ui;
  EXPECT_THROW(GenerateScripts(Model(project), ui), EFileError);
  for (const auto& box : ui.boxes) EXPECT_NE(box.kind, "information");

  // A blank PROJECTDIR would put the scripts into the root directory.
  TQuotedINI(Base).WriteString("vleGeneral", "PROJECTDIR", "\"\"");
  TScriptedUserInterface blank;
  EXPECT_FALSE(GenerateScripts(Model(project), blank));
  ASSERT_EQ(blank.boxes.size(), 1u);
  EXPECT_EQ(blank.boxes[0].kind, "error");
  EXPECT_TRUE(ListDirectory("C:\\*.prj").empty());
}

TEST_F(TGenerationTest, UnchangedScriptsKeepTheirDates) {
  WriteBase();
  const std::string project = ProjectIni("DEMO.INI");
  WriteIni(project, {"[vleProjectSource]", "SRC_000=@A.CPP@"});
  MakeDirectory(ProjectDir);
  TScriptedUserInterface ui;
  ASSERT_TRUE(GenerateScripts(Model(project), ui));

  const std::vector<std::string> scripts = {
      "setup.prj",         "syscalls.prj",       "tools.prj", "ASMSH_OPTIONS.PRJ",
      "SHCPP_OPTIONS.PRJ", "OPTLNK_OPTIONS.PRJ", "DEMO.PRJ"};
  const TDateTime old = 40000.5;  // 2009-07-06 12:00
  for (const std::string& script : scripts) {
    ASSERT_TRUE(SetFileLastWriteTime(ProjectDir + script, old)) << script;
  }
  ASSERT_TRUE(GenerateScripts(Model(project), ui));
  for (const std::string& script : scripts) {
    TDateTime date = 0;
    ASSERT_TRUE(FileLastWriteTime(ProjectDir + script, date));
    EXPECT_EQ(date, old) << script;
  }
  EXPECT_EQ(ui.boxes.back().text, "Save and script-building successful.");

  // A changed compiler option replaces only its own script; a damaged
  // script of the same size is replaced as well.
  TQuotedINI(Base).WriteString("vleCompilerOptions", "OPT_002", "-debug");
  std::string tools = ReadFileBytes(std::string(ProjectDir) + "tools.prj");
  tools[0] = 'X';
  WriteFileBytes(std::string(ProjectDir) + "tools.prj", tools);
  ASSERT_TRUE(SetFileLastWriteTime(std::string(ProjectDir) + "tools.prj", old));
  ASSERT_TRUE(GenerateScripts(Model(project), ui));
  for (const std::string& script : scripts) {
    TDateTime date = 0;
    ASSERT_TRUE(FileLastWriteTime(ProjectDir + script, date));
    if (script == "SHCPP_OPTIONS.PRJ" || script == "tools.prj") {
      EXPECT_NE(date, old) << script;
    } else {
      EXPECT_EQ(date, old) << script;
    }
  }
  EXPECT_EQ(FileLines(std::string(ProjectDir) + "SHCPP_OPTIONS.PRJ").back(), "OPTION=-debug");
  EXPECT_EQ(FileLines(std::string(ProjectDir) + "tools.prj")[0], "EXIT_IF=TOOLS_INVOKED");
}

#include "setup/script_lines.h"
#include "setup/section_load.h"
#include "support/text.h"

namespace tessel {

namespace {

// LIBRARY and the header variables, each header's work file deleted.
void AddLibraryAndHeaders(TScriptLines& lines, const TParamlist& definitions) {
  lines.push_back("LIBRARY=" + GetField(definitions.ExpandedValue("LIBRARY", true), 1, ";"));
  for (size_t i = 0; i < definitions.Count(); ++i) {
    const std::string value = definitions.ValueAt(i);
    if (GetField(value, 2, ";") != "header") continue;
    const std::string key = definitions.NameAt(i);
    lines.push_back(key + "=" + GetField(value, 1, ";"));
    lines.push_back("DELFILE=\"$(HEADERDIR)\\$(" + key + ").TMP\"");
  }
}

void AddLibraryOptions(TScriptLines& lines, const TQuotedINI& base) {
  lines.push_back("LIB_MOD_OPT=");
  AddSectionLines(lines, base, "vleLinkLibMod", "LIB_MOD_OPT");
  lines.push_back("LIB_OPT=");
  AddSectionLines(lines, base, "vleLinkLibCommon", "LIB_OPT");
  lines.push_back("CONSTANT_DEPENDENCY_FILE=\"$(LIBDIR)\\$(LIBRARY).LIB\"");
}

void AddClosing(TScriptLines& lines, const std::string& guard) {
  lines.insert(lines.end(), {"CONSTANT_DEPENDENCY_FILE=", "LIB_OPT=", "LIB_MOD_OPT=", "OPTION=",
                             "ASM_OPT=", "UPDATEHEADERFILES=$(HEADERDIR)", guard + "=TRUE"});
}

}  // namespace

TScriptLines SyscallsScriptLines(const TQuotedINI& base) {
  TParamlist syscalls;
  base.ReadSectionValues("vleSyscalls", syscalls);
  TScriptLines lines = {"EXIT_IF=SYSCALLS_INVOKED", "INCLUDE=\"$(PROJECTDIR)\\SETUP.PRJ\""};
  AddLibraryAndHeaders(lines, syscalls);
  lines.insert(lines.end(), {"DEPENDENCY=", "DEPENDENCY=\"$(PROJECTDIR)\\ASMSH_OPTIONS.PRJ\"",
                             "ASM_OPT=", "INCLUDE=\"$(PROJECTDIR)\\ASMSH_OPTIONS.PRJ\""});
  AddLibraryOptions(lines, base);
  lines.push_back("SOURCEDIR=\"$(LIBDIR)\\TEMP\"");
  for (size_t i = 0; i < syscalls.Count(); ++i) {
    const std::string key = syscalls.NameAt(i);
    if (IsHexKey(key)) lines.push_back("SYSCALL=h'" + key + ";" + syscalls.ValueAt(i));
  }
  AddClosing(lines, "SYSCALLS_INVOKED");
  return lines;
}

TScriptLines ToolsScriptLines(const TQuotedINI& base) {
  TParamlist tools;
  base.ReadSectionValues("vleTools", tools);
  TScriptLines lines = {"EXIT_IF=TOOLS_INVOKED", "INCLUDE=\"$(PROJECTDIR)\\SETUP.PRJ\"",
                        "INCLUDE=\"$(PROJECTDIR)\\SYSCALLS.PRJ\""};
  AddLibraryAndHeaders(lines, tools);
  lines.insert(lines.end(), {"DEPENDENCY=", "DEPENDENCY=\"$(PROJECTDIR)\\SHCPP_OPTIONS.PRJ\"",
                             "ASM_OPT=", "INCLUDE=\"$(PROJECTDIR)\\ASMSH_OPTIONS.PRJ\"",
                             "OPTION=", "INCLUDE=\"$(PROJECTDIR)\\SHCPP_OPTIONS.PRJ\"",
                             "SETENV=", "SETENV=SHC_LIB;$(BINDIR)", "SETENV=SHC_TMP;$(DEBUGDIR)"});
  AddLibraryOptions(lines, base);
  lines.push_back("SOURCEDIR=\"$(LIBDIR)\\SOURCE\"");
  for (size_t i = 0; i < tools.Count(); ++i) {
    if (IsHexKey(tools.NameAt(i))) lines.push_back("TOOLS=" + tools.ValueAt(i));
  }
  AddClosing(lines, "TOOLS_INVOKED");
  return lines;
}

}  // namespace tessel

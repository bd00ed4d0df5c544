// The keyword table in dispatch order, and the control keywords.

#include <cerrno>

#include "engine/collection_files.h"
#include "engine/uProject.h"
#include "platform/file_system.h"
#include "support/Base_00.h"

namespace tessel {

template <int Index>
TProject::TLineResult TProject::ListLine(const std::string& value) {
  AddToList(Index, value);
  return TLineResult::Next;
}

// The order is the order in which a key is tried; stored rows set the
// variable of their key to the raw value before their action reads it back.
const std::array<TProject::TKeywordRow, 21> TProject::kKeywordTable = {{
    {"EXIT_IF", false, &TProject::ExitIfLine},
    {"CONSTANT_DEPENDENCY_FILE", false, &TProject::ConstantDependencyFileLine},
    {"CHKENV", false, &TProject::ChkEnvLine},
    {"INCLUDE", false, &TProject::IncludeLine},
    {"EXECUTE", true, &TProject::ExecuteLine},
    {"BREAK", true, &TProject::BreakLine},
    {"SYSCALL", true, &TProject::SyscallLine},
    {"TOOLS", true, &TProject::ToolsLine},
    {"UPDATEHEADERFILES", true, &TProject::UpdateHeaderFilesLine},
    {"DELFILE", true, &TProject::DelFileLine},
    {"BMP256TOCGI", true, &TProject::Bmp256ToCgiLine},
    {"BIND", true, &TProject::BindLine},
    {"PUSH", true, &TProject::PushLine},
    {"POP", true, &TProject::PopLine},
    {"SETENV", true, &TProject::ListLine<klSetEnv>},
    {"OPTION", true, &TProject::ListLine<klOption>},
    {"LIB_OPT", true, &TProject::ListLine<klLibOpt>},
    {"LIB_MOD_OPT", true, &TProject::ListLine<klLibModOpt>},
    {"ASM_OPT", true, &TProject::ListLine<klAsmOpt>},
    {"DEPENDENCY", true, &TProject::ListLine<klDependency>},
    {"MESSAGE_TO_IGNORE", true, &TProject::ListLine<klMessageToIgnore>},
}};

TProject::TLineResult TProject::ExitIfLine(const std::string& value) {
  // Guard of a script that must run once per build.
  if (ExpandedValue(value, true) != "TRUE") return TLineResult::Next;
  Log("Already invoked.\r\n");
  return TLineResult::LeaveScript;
}

TProject::TLineResult TProject::ChkEnvLine(const std::string& value) {
  std::string current = GetSetting(GetField(value, 1, ";"));
  std::string expected = GetField(value, 2, ";");
  if (AnsiUpperCase(current) != AnsiUpperCase(expected)) return TLineResult::SkipNextLine;
  return TLineResult::Next;
}

TProject::TLineResult TProject::IncludeLine(const std::string& value) {
  Run(Expand(value, true));
  return TLineResult::Next;
}

TProject::TLineResult TProject::ExecuteLine(const std::string& value) {
  ExecuteAction(Contains("ASM_CMD", value) ? klAsmOpt : klOption);
  return TLineResult::Next;
}

// A marker line on which a debugger can stop.
TProject::TLineResult TProject::BreakLine(const std::string&) { return TLineResult::Next; }

TProject::TLineResult TProject::SyscallLine(const std::string&) {
  SyscallAction();
  return TLineResult::Next;
}

TProject::TLineResult TProject::ToolsLine(const std::string&) {
  ToolsAction();
  return TLineResult::Next;
}

TProject::TLineResult TProject::UpdateHeaderFilesLine(const std::string&) {
  UpdateHeaderFilesAction();
  return TLineResult::Next;
}

TProject::TLineResult TProject::DelFileLine(const std::string&) {
  std::string path = ExpandedValue("DELFILE", true);
  if (IsBlank(path)) return TLineResult::Next;
  Collections->Forget(path);  // it may be a collection file
  // A missing file is no error; one that stays is logged, as the build
  // goes on with it (a collection file then keeps its old declarations).
  if (!DeleteFileAt(path)) {
    const int error = errno;
    if (PathExists(path)) {
      Log("\"" + path + "\" not deleted: " + PlatformErrorText(error) + "\r\n", true);
    }
  }
  FilesChanged();
  return TLineResult::Next;
}

TProject::TLineResult TProject::Bmp256ToCgiLine(const std::string&) {
  Bmp256ToCgiAction();
  return TLineResult::Next;
}

TProject::TLineResult TProject::BindLine(const std::string&) {
  BindAction();
  return TLineResult::Next;
}

}  // namespace tessel

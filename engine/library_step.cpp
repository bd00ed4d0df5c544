// The library step after a tool or syscall routine: add its object to the
// project library, or create the library from it.

#include "engine/uProject.h"
#include "platform/file_system.h"
#include "support/Base_00.h"

namespace tessel {

void TProject::LibraryStep(const std::string& name, bool deleteForceUpdate) {
  const std::string tool = "\"" + ExpandedValue("LNK_CMD", true) + "\"";
  const std::string library =
      ExpandedValue("LIBDIR", true) + "\\" + ExpandedValue("LIBRARY", true) + ".LIB";
  const std::string object = ExpandedValue("OBJECTDIR", true) + "\\" + name + ".OBJ";
  // Stays set for the rest of the build: every later routine goes into the
  // new library as well, however old its object is.
  if (!FileExists(library)) Vars.SetValue("LIBNEW", "TRUE");
  Vars.SetValue("DEPENDENCY", object);
  Vars.SetValue("DEPENDANT", library);

  auto clear = [&] {
    Vars.SetValue("DEPENDENCY", "");
    Vars.SetValue("DEPENDANT", "");
    if (deleteForceUpdate) Vars.SetValue("FORCEUPDATE", "");
  };
  if (IsUpToDate() && Vars.ValueOf("LIBNEW") != "TRUE") {
    ReportSkip();
    if (IsBlank(Reason)) clear();
    return;
  }

  const std::string workDir = ExpandedValue("WORKDIR", true);
  RunStep({library}, [&] {
    TFreshTextFile options = CreateOptionsFile(workDir);
    std::string command = tool;
    bool outerQuotes = false;
    if (FileExists(library)) {
      Log("options:\r\n");
      WriteOptionList(options, klLibModOpt);
    } else {
      // A new library is made from the object named on the command line.
      command += " \"" + object + "\"";
      outerQuotes = true;
    }
    WriteOptionList(options, klLibOpt);
    options.Close();
    command += std::string(" ") + kOptionsArgument;
    // The command interpreter strips the outer pair; the quotes around the
    // tool and the object survive.
    if (outerQuotes) command = "\"" + command + "\"";
    return ToolFailure(RunCommand(command, workDir, List(klSetEnv)), command);
  });
  clear();
}

}  // namespace tessel

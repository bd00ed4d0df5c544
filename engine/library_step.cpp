// The library step after a tool or syscall routine: add its object to the
// project library, or create the library from it.

#include "engine/build_record.h"
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
  const TStringList modifyOptions = OptionLines(klLibModOpt);
  const TStringList libraryOptions = OptionLines(klLibOpt);
  const bool upToDate = IsUpToDate() && Vars.ValueOf("LIBNEW") != "TRUE";
  // Both forms of the run (create, modify) come from the same parts, so the
  // record does not see a change when the library goes from one to the other.
  const TStepIdentity step = IdentifyStep(TStepHash()
                                              .Add("LIBRARY")
                                              .Add(tool)
                                              .Add(object)
                                              .Add(modifyOptions)
                                              .Add(libraryOptions)
                                              .Value());
  if (!MustRun(upToDate, step)) {
    if (IsBlank(Reason)) clear();
    return;
  }

  const std::string workDir = ExpandedValue("WORKDIR", true);
  RunStep(step, {library}, [&] {
    TFreshTextFile options = CreateOptionsFile(workDir);
    std::string command = tool;
    bool outerQuotes = false;
    if (FileExists(library)) {
      Log("options:\r\n");
      WriteOptions(options, modifyOptions);
    } else {
      // A new library is made from the object named on the command line.
      command += " \"" + object + "\"";
      outerQuotes = true;
    }
    WriteOptions(options, libraryOptions);
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

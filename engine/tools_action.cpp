// TOOLS: one routine of the tool library, from its C declaration to its
// object in the library.

#include <algorithm>
#include <iterator>

#include "engine/build_record.h"
#include "engine/uProject.h"
#include "platform/file_system.h"
#include "support/Base_00.h"

namespace tessel {

void TProject::ToolsAction() {
  AddStep(65536);
  const std::string sourceDir = ExpandedValue("SOURCEDIR", true);
  const std::string workDir = ExpandedValue("WORKDIR", true);
  const std::string value = ExpandedValue("TOOLS", true);
  const std::string declaration = GetField(value, 1, ";");
  const std::string header = GetField(value, 2, ";");
  const std::string name = NameFromDeclaration(declaration);
  if (IsBlank(name)) return;
  if (!IsBlank(header) && !IsBlank(declaration)) CollectDeclaration(declaration, header, false);

  // The routine's own C++ source, then one for the whole header, then
  // assembler sources.
  const std::string stem = sourceDir + "\\" + name;
  const struct {
    std::string path;
    bool assembler;
  } candidates[] = {
      {stem + ".CPP", false},
      {sourceDir + "\\" + BaseName(header) + ".CPP", false},
      {stem + ".ASM", true},
      {stem + ".SRC", true},
  };
  const auto* source = std::find_if(std::begin(candidates), std::end(candidates),
                                    [](const auto& c) { return FileExists(c.path); });
  if (source == std::end(candidates)) {
    Log("Missing \"" + stem + "\"\r\n", true);
    return;
  }

  const std::string tool =
      "\"" + ExpandedValue(source->assembler ? "ASM_CMD" : "COMPILE_CMD", true) + "\"";
  const std::string target = ExpandedValue("OBJECTDIR", true) + "\\" + name + ".OBJ";
  Vars.SetValue("SOURCEFILE", source->path);
  Vars.SetValue("DEPENDENCY", source->path);
  Vars.SetValue("TARGETFILE", target);
  Vars.SetValue("DEPENDANT", target);
  Vars.SetValue("PROG", name);

  const TStringList options = OptionLines(source->assembler ? klAsmOpt : klOption);
  const bool upToDate = IsUpToDate();
  const TStepIdentity step =
      IdentifyStep(TStepHash().Add("TOOLS").Add(tool).Add(source->path).Add(options).Value());
  if (MustRun(upToDate, step)) {
    // An absent list gives an empty options file.
    const bool compiled = RunStep(step, {target}, [&] {
      return ToolFailure(RunToolOnOptions(tool, workDir, options, name), tool);
    });
    if (!compiled) return;  // nothing to add
  } else if (!IsBlank(Reason)) {
    return;  // a missing dependency: nothing to add
  }
  LibraryStep(name, false);
}

}  // namespace tessel

// SYSCALL: one numbered system call, from the stub template to its object
// in the syscall library.

#include "engine/build_record.h"
#include "engine/uProject.h"
#include "platform/file_system.h"
#include "support/Base_00.h"

namespace tessel {

void TProject::SyscallAction() {
  AddStep(1);
  const std::string tool = "\"" + ExpandedValue("ASM_CMD", true) + "\"";
  const std::string workDir = ExpandedValue("WORKDIR", true);
  const std::string sourceDir = ExpandedValue("SOURCEDIR", true);
  const std::string value = ExpandedValue("SYSCALL", true);
  const std::string number = GetField(value, 1, ";");
  if (IsBlank(number)) return;
  const std::string declaration = GetField(value, 2, ";");
  const std::string header = GetField(value, 3, ";");
  const std::string name = NameFromDeclaration(declaration);
  if (IsBlank(name)) return;
  if (!IsBlank(header) && !IsBlank(declaration)) CollectDeclaration(declaration, header, true);

  const std::string source = sourceDir + "\\" + name + ".SRC";
  Vars.SetValue("SOURCEFILE", "\"" + source + "\"");
  Vars.SetValue("TARGETFILE", "\"" + ExpandedValue("OBJECTDIR", true) + "\\" + name + ".OBJ\"");
  // An entry changed after the library was last written goes in again.
  const bool newer = StampToDate(GetField(value, 4, ";")) >
                     StampToDate(ExpandedValue("CONSTANT_DEPENDENCY_FILEDATE", true));
  Vars.SetValue("FORCEUPDATE", newer ? "TRUE" : "FALSE");
  Vars.SetValue("PROG", name);

  const TStringList options = OptionLines(klAsmOpt, "FOption[ optOPT ] not assigned.");
  // The stub is made from the template, the number and the name.
  const bool upToDate = IsUpToDate();
  const TStepIdentity step =
      IdentifyStep(TStepHash().Add("SYSCALL").Add(tool).Add(number).Add(name).Add(options).Value());
  if (MustRun(upToDate, step)) {
    const bool assembled = RunStep(step, {step.target}, [&] {
      WriteSyscallStub(source, name, number);
      return ToolFailure(RunToolOnOptions(tool, workDir, options, number + " " + name), tool);
    });
    if (!assembled) return;
  } else if (!IsBlank(Reason)) {
    return;
  }
  LibraryStep(name, true);
}

void TProject::WriteSyscallStub(const std::string& sourcePath, const std::string& name,
                                const std::string& number) {
  // The template is opened first: a missing one leaves the old stub alone.
  TTextReader stubTemplate(ExpandedValue("TEMPLATEDIR", true) + "\\SYSCALL_TEMPLATE.SRC");
  TTextWriter stub(sourcePath);
  std::string line;
  while (stubTemplate.ReadLine(line)) {
    stub.WriteLine(ReplaceAll(ReplaceAll(line, "<name>", name), "<number>", number));
  }
  stub.Close();
  FilesChanged();
}

}  // namespace tessel

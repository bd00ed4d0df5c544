#include "setup/script_generation.h"

#include "platform/atomic_file.h"
#include "platform/file_stream.h"
#include "settings/MyIni.h"
#include "setup/checks.h"
#include "setup/setup_model.h"
#include "support/FileTool.h"
#include "support/text.h"

namespace tessel {

bool WriteScript(const TScriptLines& lines, const std::string& workFile, const std::string& target,
                 std::string* failure) {
  TTextWriter writer(workFile);
  for (const std::string& line : lines) writer.WriteLine(line);
  writer.Close();
  if (CompareFiles(workFile, target).empty()) return false;
  // A target that cannot be replaced (write-protected, say) keeps its old
  // content and the generation goes on with the others; the caller reports
  // it. The new script replaces the old one whole, so a build never reads
  // half a script.
  try {
    WriteFileAtomic(target, ReadFileBytes(workFile));
  } catch (const EFileError& e) {
    if (failure != nullptr) *failure = e.what();
    return false;
  }
  return true;
}

bool GenerateScripts(const TSetupModel& model, TUserInterface& ui) {
  TQuotedINI base(model.BaseIni());
  TQuotedINI project(model.ProjectIni());
  // Each file is read once: every script sees the same settings, and a file
  // that exists but cannot be read ends the generation with its error
  // instead of reading as empty and replacing good scripts with empty ones.
  // Nothing is committed, so nothing is written to them.
  base.BeginBatch();
  project.BeginBatch();

  TParamlist general;
  base.ReadSectionValues("vleGeneral", general);
  const std::string projectDir = general.ExpandedValue("PROJECTDIR", true);
  if (IsBlank(projectDir)) {
    // Without it the scripts would land in the root directory.
    ui.ShowError("Item PROJECTDIR is empty!\r\nNo project script has been written.");
    return false;
  }

  TParamlist requiredDirectories;
  base.ReadSectionValues("vleRequiredDirectories", requiredDirectories);
  CheckDirectories(general, requiredDirectories, ui);

  TParamlist requiredFiles;
  base.ReadSectionValues("vleRequiredFiles", requiredFiles);
  if (!CheckFiles(general, requiredFiles, ui)) return false;

  const std::string workFile = projectDir + "\\TEMP.prj";
  std::string failures;
  auto write = [&](const TScriptLines& lines, const std::string& name) {
    std::string failure;
    WriteScript(lines, workFile, projectDir + "\\" + name, &failure);
    if (!failure.empty()) failures += (failures.empty() ? "" : "\r\n") + failure;
  };
  write(SetupScriptLines(general, base), "setup.prj");
  write(SyscallsScriptLines(base), "syscalls.prj");
  write(ToolsScriptLines(base), "tools.prj");
  write(OptionScriptLines(base, "vleAssemblerOptions", "ASM_OPT"), "ASMSH_OPTIONS.PRJ");
  write(OptionScriptLines(base, "vleCompilerOptions", "OPTION"), "SHCPP_OPTIONS.PRJ");
  write(OptionScriptLines(base, "vleLink", "OPTION"), "OPTLNK_OPTIONS.PRJ");
  write(
      ProjectScriptLines(base, project, model.Editor("vleProjectBindOptions"), model.ProjectName()),
      model.ProjectName() + ".PRJ");

  // A script left with its old content must not pass for a success: a
  // build would run the old one.
  if (!failures.empty()) {
    ui.ShowError(failures);
    return false;
  }
  ui.ShowInformation(SuccessText);
  return true;
}

}  // namespace tessel

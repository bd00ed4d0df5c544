#include "setup/script_generation.h"

#include "platform/atomic_file.h"
#include "platform/file_stream.h"
#include "settings/MyIni.h"
#include "setup/checks.h"
#include "setup/setup_model.h"
#include "support/FileTool.h"
#include "support/text.h"

namespace tessel {

bool WriteScript(const TScriptLines& lines, const std::string& workFile,
                 const std::string& target) {
  TTextWriter writer(workFile);
  for (const std::string& line : lines) writer.WriteLine(line);
  writer.Close();
  if (CompareFiles(workFile, target).empty()) return false;
  // A target that cannot be replaced (write-protected, say) keeps its old
  // content; the next generation tries again. The new script replaces the
  // old one whole, so a build never reads half a script.
  try {
    WriteFileAtomic(target, ReadFileBytes(workFile));
  } catch (const EFileError&) {
    return false;
  }
  return true;
}

bool GenerateScripts(const TSetupModel& model, TUserInterface& ui) {
  const TQuotedINI base(model.BaseIni());
  const TQuotedINI project(model.ProjectIni());

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
  auto target = [&](const std::string& name) { return projectDir + "\\" + name; };
  WriteScript(SetupScriptLines(general, base), workFile, target("setup.prj"));
  WriteScript(SyscallsScriptLines(base), workFile, target("syscalls.prj"));
  WriteScript(ToolsScriptLines(base), workFile, target("tools.prj"));
  WriteScript(OptionScriptLines(base, "vleAssemblerOptions", "ASM_OPT"), workFile,
              target("ASMSH_OPTIONS.PRJ"));
  WriteScript(OptionScriptLines(base, "vleCompilerOptions", "OPTION"), workFile,
              target("SHCPP_OPTIONS.PRJ"));
  WriteScript(OptionScriptLines(base, "vleLink", "OPTION"), workFile, target("OPTLNK_OPTIONS.PRJ"));
  WriteScript(
      ProjectScriptLines(base, project, model.Editor("vleProjectBindOptions"), model.ProjectName()),
      workFile, target(model.ProjectName() + ".PRJ"));

  ui.ShowInformation(SuccessText);
  return true;
}

}  // namespace tessel

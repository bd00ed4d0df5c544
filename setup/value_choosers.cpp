#include "setup/value_choosers.h"

#include "platform/clock.h"
#include "setup/general_setting.h"
#include "setup/prefix_substitution.h"
#include "setup/section_load.h"
#include "support/text.h"

namespace tessel {

namespace {

// A directory chooser with nothing to start at starts at the drive.
std::string DirectoryStart(const std::string& expanded) {
  return IsBlank(expanded) ? "C:\\" : expanded;
}

std::optional<std::string> Substituted(std::optional<std::string> chosen,
                                       const TEditorRows& general) {
  if (chosen) SubstituteGeneralPrefixes(general, *chosen);
  return chosen;
}

}  // namespace

std::optional<std::string> ChooseRowValue(const std::string& editor, const std::string& key,
                                          const std::string& value, const TEditorRows& general,
                                          TUserInterface& ui,
                                          const TDependencyEditor& editDependency) {
  const TParamlist vars = general.ToParamlist();
  if (editor == "vleGeneral") {
    const std::string kind = GeneralSettingKind(key);
    const std::string start = vars.ExpandedValue(key, true);
    if (kind == "DIR") return ui.ChooseDirectory(SelectDirectoryCaption, DirectoryStart(start));
    if (kind == "CMD") return ui.ChooseFile(ExecutableFilter, start);
    return std::nullopt;
  }
  if (editor == "vleProjectSource") {
    return Substituted(ui.ChooseFile(SourceFilter, vars.Expand(value, false)), general);
  }
  if (editor == "vleRequiredFiles" || editor == "vleRequiredProjectFiles") {
    return Substituted(ui.ChooseFile(AllFilesFilter, vars.Expand(value, false)), general);
  }
  if (editor == "vleRequiredDirectories" || editor == "vleRequiredProjectDirectories") {
    return Substituted(
        ui.ChooseDirectory(SelectDirectoryCaption, DirectoryStart(vars.Expand(value, true))),
        general);
  }
  if (editor == "vleProjectBindOptions") {
    const std::string start = value == EmptyBindValue ? "" : vars.Expand(value, false);
    return ui.ChooseFile(AllFilesFilter, start);
  }
  if (editor == "vleProjectDependencies" && editDependency) return editDependency(value);
  return std::nullopt;
}

std::string NewRowKey() { return "NEW_" + std::to_string(TickCount()); }

}  // namespace tessel

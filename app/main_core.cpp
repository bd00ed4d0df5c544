#include "app/main_core.h"

#include "app/sdk_check.h"
#include "platform/file_system.h"
#include "support/Base_00.h"

namespace tessel {

TMainCoreConfig TMainCoreConfig::FromAppEnv() {
  TMainCoreConfig config;
  config.programSettingsFile = AppEnv().Value("IF");
  config.programDirectory = AppEnv().Value("PD");
  config.fileVersion = AppEnv().Value("FV");
  return config;
}

std::string ProgramVersionOf(const std::string& fileVersion) {
  return DeleteField(fileVersion, 4, ".");
}

std::string ScriptPathOf(const std::string& projectFile) {
  return ReplaceAll(AsciiUpperCase(projectFile), ".INI", ".PRJ");
}

TMainCore::TMainCore(TUserInterface& ui, TMainCoreConfig config)
    : ui_(ui), config_(std::move(config)) {}

void TMainCore::Changed() const {
  if (OnStateChanged) OnStateChanged();
}

void TMainCore::Startup() {
  busy_ = false;
  SetCurrentProject(ProgramSettings().LastProject());
}

void TMainCore::SetCurrentProject(const std::string& path) {
  baseIniFile_.clear();
  if (!path.empty() && FileExists(path)) {
    currentProjectFile_ = path;
    Changed();
    baseIniFile_ = CheckSdkBaseDirectory(config_.programDirectory, ui_);
  } else {
    currentProjectFile_.clear();
    Changed();
  }
}

bool TMainCore::OpenProject() {
  if (OnOpenProject) OnOpenProject();
  const std::optional<std::string> chosen = ui_.ChooseFile("fxCG-INI|*.INI", currentProjectFile_);
  if (!chosen) return false;
  ui_.ProcessMessages();
  SetCurrentProject(*chosen);
  ProgramSettings().SetLastProject(currentProjectFile_);
  return true;
}

std::string TMainCore::ProjectLabel() const {
  return HasProject() ? " " + currentProjectFile_ : " Project not defined!";
}

std::string TMainCore::BuildCaption() const {
  if (busy_) return kCancelBuild;
  return builtOnce_ ? kBuildProject : kBuildBinaries;
}

}  // namespace tessel

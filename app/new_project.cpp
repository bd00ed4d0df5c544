// Save project as: a new project from the current one under a new name.

#include "app/new_project.h"

#include "app/main_core.h"
#include "platform/file_system.h"
#include "platform/path_split.h"
#include "settings/MyIni.h"
#include "support/Base_00.h"
#include "support/FileTool.h"

namespace tessel {

namespace {

constexpr const char* kBreak = "\r\n";

}  // namespace

std::optional<std::string> ProjectNameProblem(const std::string& name) {
  if (IsBlank(name)) return "Please enter a name for the new project!";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || std::string("\\/:*?\"<>|.").find(c) != std::string::npos) {
      return std::string("A project name must not contain any of") + kBreak +
             "\\ / : * ? \" < > | ." + kBreak + "or control characters!";
    }
  }
  return std::nullopt;
}

std::string RewriteProjectValue(const std::string& value, const std::string& oldName,
                                const std::string& newName) {
  std::string result = value;
  const std::string oldEnd = "\\" + oldName;
  if (result.ends_with(oldEnd))
    result.replace(result.size() - oldEnd.size(), oldEnd.size(), "\\" + newName);
  for (const char* after : {"\\", ".", "_"}) {
    result = ReplaceAll(result, "\\" + oldName + after, "\\" + newName + after);
  }
  return result;
}

void RewriteProjectSettings(const std::string& file, const std::string& oldName,
                            const std::string& newName) {
  TQuotedINI ini(file);
  for (const std::string& section : ini.ReadSections()) {
    TParamlist values;
    ini.ReadSectionValues(section, values);
    std::vector<TSectionEdit> edits;
    for (size_t i = 0; i < values.Count(); ++i) {
      const std::string value = values.ValueAt(i);
      const std::string rewritten = RewriteProjectValue(value, oldName, newName);
      if (rewritten != value) edits.push_back({values.NameAt(i), rewritten});
    }
    if (!edits.empty()) ini.UpdateSection(section, edits);
  }
}

std::optional<std::string> TMainCore::SaveProjectAs() {
  TParamlist general;
  TQuotedINI(baseIniFile_).ReadSectionValues("vleGeneral", general);
  const std::string projectDir = general.ExpandedValue("PROJECTDIR", true);
  const std::string oldName = BaseName(currentProjectFile_);
  if (IsBlank(projectDir)) {
    // The project directories would be made and looked for in the root.
    ui_.ShowError(std::string("PROJECTDIR is empty in the base settings file") + kBreak +
                  baseIniFile_ + kBreak + "A new project cannot be made without it.");
    return std::nullopt;
  }

  std::string text;
  for (;;) {
    const std::optional<std::string> answer =
        ui_.InputBox("New project:", "(eight characters max.)", text);
    if (!answer) return std::nullopt;
    text = *answer;
    if (text.size() > kProjectNameMax) {
      ui_.ShowWarning("Eight characters max!");
      continue;
    }
    text = AsciiUpperCase(text);
    if (const std::optional<std::string> problem = ProjectNameProblem(text)) {
      ui_.ShowWarning(*problem);
      continue;
    }
    const std::string& newName = text;
    const std::string newFile = ExtractFilePath(currentProjectFile_) + newName + ".INI";
    if (FileExists(newFile) &&
        !ui_.ConfirmOkCancel(newFile + " already exists!" + kBreak + "Overwrite?")) {
      continue;
    }
    if (!CopyFileTo(currentProjectFile_, newFile, false)) {
      ui_.ShowWarning(std::string("Could not copy the project file:") + kBreak +
                      currentProjectFile_ + kBreak + "to" + kBreak + newFile);
      continue;
    }
    ForceDirectoryPath(projectDir + "\\" + newName);
    bool copied = true;
    for (const char* suffix : kProjectFileSuffixes) {
      const std::string source = projectDir + "\\" + oldName + "\\" + oldName + suffix;
      const std::string target = projectDir + "\\" + newName + "\\" + newName + suffix;
      if (!CopyFileTo(source, target, false)) {
        ui_.ShowWarning(std::string("Could not copy the file:") + kBreak + source + kBreak + "to" +
                        kBreak + target);
        copied = false;
        break;
      }
    }
    if (!copied) continue;
    RewriteProjectSettings(newFile, oldName, newName);
    SetCurrentProject(newFile);
    return newFile;
  }
}

}  // namespace tessel

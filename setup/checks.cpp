#include "setup/checks.h"

#include <cerrno>

#include "platform/file_system.h"
#include "setup/general_setting.h"
#include "support/FileTool.h"
#include "support/text.h"

namespace tessel {

bool CheckDirectories(const TParamlist& general, const TParamlist& list, TUserInterface& ui) {
  std::vector<std::string> candidates;
  for (const TGeneralSetting& setting : GeneralSettings) {
    if (std::string(setting.Kind) == "DIR") {
      candidates.push_back(general.ExpandedValue(setting.Key, true));
    }
  }
  for (size_t i = 0; i < list.Count(); ++i) {
    candidates.push_back(general.Expand(list.ValueAt(i), true));
  }

  bool agreed = false;
  for (const std::string& path : candidates) {
    if (DirectoryExists(path)) continue;
    if (!agreed) {
      if (!ui.AskYesNo("Missung directory:\r\n" + path + "\r\n" + "Create directories?")) {
        return false;
      }
      agreed = true;
    }
    // The check goes on without it, but the user learns why the build
    // will miss it.
    if (!ForceDirectoryPath(path)) {
      ui.ShowWarning("Cannot create directory \"" + path + "\": " + PlatformErrorText(errno));
    }
  }
  return true;
}

bool CheckFiles(const TParamlist& general, const TParamlist& list, TUserInterface& ui) {
  std::string missing;
  for (size_t i = 0; i < list.Count(); ++i) {
    std::string path = general.Expand(list.ValueAt(i), true);
    if (!FileExists(path)) missing += path + "\r\n";
  }
  if (missing.empty()) return true;
  ui.ShowError("Missung file(s):\r\n" + missing);
  return false;
}

std::optional<std::string> CheckGeneralParameters(const TEditorRows& general, TUserInterface& ui) {
  for (const TRow& row : general.Rows()) {
    if (!IsBlank(row.value)) continue;
    ui.ShowError("Item " + row.key + " is empty!" + "\r\n" + "Any item in " + "General parameters" +
                 " must not be empty!");
    return row.key;
  }
  return std::nullopt;
}

}  // namespace tessel

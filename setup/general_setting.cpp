#include "setup/general_setting.h"

#include "support/text.h"

namespace tessel {

const std::array<TGeneralSetting, GeneralSettingCount> GeneralSettings = {{
    {"SDKDIR", "DIR"},
    {"TEMPLATEDIR", "DIR"},
    {"HEADERDIR", "DIR"},
    {"DEBUGDIR", "DIR"},
    {"OBJECTDIR", "DIR"},
    {"BINDIR", "DIR"},
    {"LIBDIR", "DIR"},
    {"PROJECTDIR", "DIR"},
    {"WORKDIR", "DIR"},
    {"ASM_CMD", "CMD"},
    {"LNK_CMD", "CMD"},
    {"COMPILE_CMD", "CMD"},
    {"MAXBACKUP", "NUM"},
}};

int GeneralSettingIndex(const std::string& key) {
  for (int i = 0; i < GeneralSettingCount; ++i) {
    if (SameTextAnsi(key, GeneralSettings[i].Key)) return i;
  }
  return -1;
}

std::string GeneralSettingKind(const std::string& key) {
  int index = GeneralSettingIndex(key);
  return index < 0 ? std::string() : std::string(GeneralSettings[index].Kind);
}

}  // namespace tessel

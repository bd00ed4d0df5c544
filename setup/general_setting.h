#pragma once
// The 13 general parameters of section "vleGeneral": their keys, in the order
// of the rows and of the lines written, and the kind that decides the value
// chooser ("DIR" directory, "CMD" executable, "NUM" none).

#include <array>
#include <string>

namespace tessel {

struct TGeneralSetting {
  const char* Key;
  const char* Kind;
};

inline constexpr int GeneralSettingCount = 13;

extern const std::array<TGeneralSetting, GeneralSettingCount> GeneralSettings;

// Index of the key (compared without regard to case), or -1.
int GeneralSettingIndex(const std::string& key);

// Kind of the key, or "" when it is no general parameter.
std::string GeneralSettingKind(const std::string& key);

}  // namespace tessel

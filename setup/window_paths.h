#pragma once
// The settings file the setup window edits for the current project.

#include <string>

#include "support/text.h"

namespace tessel {

// The current project file in upper case with every ".PRJ" replaced by
// ".INI".
inline std::string SetupProjectIniOf(const std::string& currentProjectFile) {
  return ReplaceAll(AnsiUpperCase(currentProjectFile), ".PRJ", ".INI");
}

}  // namespace tessel

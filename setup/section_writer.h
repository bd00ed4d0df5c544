#pragma once
// Rewriting a whole section of a settings file at once.

#include <string>
#include <utility>
#include <vector>

#include "settings/MyIni.h"

namespace tessel {

// Erases the section and writes the entries in order, with the bytes that
// erasing and one WriteString per entry would leave, but touching the file
// twice instead of once per entry. Keys must be unique without regard to
// case. No entries: the section is only erased.
void RewriteSection(TQuotedINI& ini, const std::string& section,
                    const std::vector<std::pair<std::string, std::string>>& entries);

}  // namespace tessel

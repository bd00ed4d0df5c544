#pragma once
// Loading the sections of the settings files into editor rows.

#include <string>

#include "settings/MyIni.h"
#include "setup/editor_rows.h"

namespace tessel {

// What an empty bind option shows.
inline constexpr const char* EmptyBindValue = "*empty*";
// The version a project without one gets.
inline constexpr const char* DefaultVersion = "01.00.0000";

// True when "$" + key reads as a non-negative 32-bit hexadecimal number.
bool IsHexKey(const std::string& key);

// Key of a list section entry: prefix, "_" and at least three upper-case
// hexadecimal digits.
std::string ListKey(const std::string& prefix, size_t position);

// The 13 general parameters in table order; a blank or missing value shows
// as a single blank.
void LoadGeneral(const TQuotedINI& ini, TEditorRows& rows);

// Syscall and tool definitions: non-hexadecimal keys first, then the
// hexadecimal ones, each group by upper-cased line text; blank entries
// dropped.
void LoadKeyedList(const TQuotedINI& ini, const std::string& section, TEditorRows& rows);

// Bind options in section order, "Version" defaulted, blank values shown as
// "*empty*".
void LoadBindOptions(const TQuotedINI& ini, const std::string& section, TEditorRows& rows);

// A list section sorted by line text without regard to case; an entry at
// sorted position i gets the key prefix_i. Blank entries are skipped but
// keep their position, so keys may have gaps until the next save.
void LoadListSection(const TQuotedINI& ini, const std::string& section, const std::string& prefix,
                     TEditorRows& rows);

}  // namespace tessel

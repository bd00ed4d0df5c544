#pragma once
// What the value button of a setup editor row does: which chooser opens,
// where it starts and what the row's value becomes. Shared by every front
// end of the setup window; the choosers themselves are the user
// interface's.

#include <functional>
#include <optional>
#include <string>

#include "setup/editor_rows.h"
#include "support/user_interface.h"

namespace tessel {

inline constexpr const char* ExecutableFilter = "EXE|*.EXE";
inline constexpr const char* SourceFilter = "SDK-source|*.CPP;*.ASM;*.SRC";
inline constexpr const char* AllFilesFilter = "*.*";
inline constexpr const char* SelectDirectoryCaption = "Select directory:";

// Edits a dependency entry (the dependency dialog) and returns the new value,
// or the given one when the user cancels.
using TDependencyEditor = std::function<std::string(const std::string&)>;

// Runs the chooser of the row `key`=`value` of editor `editor` against the
// general rows as they show now. The new value of the row, or nothing when
// the row has no chooser or the user cancelled.
std::optional<std::string> ChooseRowValue(const std::string& editor, const std::string& key,
                                          const std::string& value, const TEditorRows& general,
                                          TUserInterface& ui,
                                          const TDependencyEditor& editDependency);

// The key a new row of a list editor gets: "NEW_" and the millisecond tick
// count in decimal.
std::string NewRowKey();

}  // namespace tessel

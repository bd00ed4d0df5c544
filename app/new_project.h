#pragma once
// Pieces of Save project as that stand on their own: the name check and the
// rewriting of the new settings file's paths.

#include <optional>
#include <string>

namespace tessel {

inline constexpr size_t kProjectNameMax = 8;

// Suffixes of the three files every project keeps in PROJECTDIR\NAME.
inline constexpr const char* kProjectFileSuffixes[] = {".CPP", "_SELECTED.BMP", "_UNSELECTED.BMP"};

// Why a typed name (not longer than eight characters) cannot name a project,
// or nothing when it can: it must not be blank, and it must hold none of
// \ / : * ? " < > |, no dot (a project's name ends at the first dot of its
// file name) and no control character.
std::optional<std::string> ProjectNameProblem(const std::string& name);

// One settings value with the paths of project `oldName` turned into those of
// `newName`: a trailing \OLD, and every \OLD\, \OLD. and \OLD_ (exact case).
std::string RewriteProjectValue(const std::string& value, const std::string& oldName,
                                const std::string& newName);

// Rewrites every value of every section of a settings file; only changed
// entries are written.
void RewriteProjectSettings(const std::string& file, const std::string& oldName,
                            const std::string& newName);

}  // namespace tessel

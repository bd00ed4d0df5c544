#pragma once
// Generation of the seven project scripts from the stored settings. Each
// script is written to the work file "TEMP.prj" first and copied over its
// target only when their contents differ, so unchanged scripts keep their
// dates and the build's date rules see no change.

#include <string>

#include "setup/script_lines.h"
#include "support/user_interface.h"

namespace tessel {

class TSetupModel;

inline constexpr const char* SuccessText = "Save and script-building successful.";

// Writes the lines to `workFile` (CR LF each), then copies it over `target`
// unless the two files are equal. True when the target was replaced. A
// target that cannot be replaced keeps its content; then the result is
// false and `failure` names it and the reason. Other file errors throw.
bool WriteScript(const TScriptLines& lines, const std::string& workFile, const std::string& target,
                 std::string* failure = nullptr);

// Checks the required directories (the answer is not used) and files, then
// writes setup.prj, syscalls.prj, tools.prj, the three option scripts and
// NAME.PRJ into the project directory and shows the success box. False when
// nothing was written because the checks refused, or when a script could not
// replace its old content (one error box names each, after all were tried);
// other file errors throw.
bool GenerateScripts(const TSetupModel& model, TUserInterface& ui);

}  // namespace tessel

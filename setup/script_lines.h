#pragma once
// The lines of the seven project scripts, built from the settings files.
// Each builder reads the sections it needs from the file when it runs.

#include <string>
#include <vector>

#include "settings/MyIni.h"
#include "settings/uParamlist.h"
#include "setup/editor_rows.h"

namespace tessel {

using TScriptLines = std::vector<std::string>;

// "setup.prj": the general parameters, the messages to ignore and the two
// start-up modules.
TScriptLines SetupScriptLines(const TParamlist& general, const TQuotedINI& base);

// "syscalls.prj": the syscall library from "vleSyscalls".
TScriptLines SyscallsScriptLines(const TQuotedINI& base);

// "tools.prj": the tools library from "vleTools".
TScriptLines ToolsScriptLines(const TQuotedINI& base);

// Appends keyword + "=" + value for each entry of the section, in file order.
void AddSectionLines(TScriptLines& lines, const TQuotedINI& ini, const std::string& section,
                     const std::string& keyword);

// An option script: keyword + value for each entry of the section.
TScriptLines OptionScriptLines(const TQuotedINI& base, const std::string& section,
                               const std::string& keyword);

// NAME.PRJ: assembles and compiles the sources, links both images, converts
// the icons and binds the add-in. `bindOptions` are the rows as shown.
TScriptLines ProjectScriptLines(const TQuotedINI& base, const TQuotedINI& project,
                                const TEditorRows& bindOptions, const std::string& projectName);

}  // namespace tessel

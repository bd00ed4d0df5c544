#pragma once
// The checks that run before every build: the project and base settings
// files, the required directories and files, and the calculator library
// fxCG_library.lib, copied from fx9860G_library.lib and groomed with the
// linker when it is missing or "Make all" is checked.

#include <string>

#include "settings/uParamlist.h"
#include "support/user_interface.h"

namespace tessel {

inline constexpr const char* kGroomingSection = "vlefx9860LibGrooming";

// Linker runs get their items in batches; a batch is handed over once its
// joined text is longer than this.
inline constexpr size_t kGroomingBatchLength = 100;

// True when the build may start. The first failure shows its warning and
// gives false; the library steps write their lines to the log.
bool RunPreBuildChecks(const std::string& projectFile, const std::string& baseIniFile, bool makeAll,
                       TUserInterface& ui);

// Copies the calculator maker's library over the add-in library. The copy
// replaces the target only when it is complete and keeps the source's date,
// so a copy that fails leaves the previous library as it was. Returns ""
// or the reason, naming the file.
std::string CopyLibrary(const std::string& source, const std::string& target);

// Runs the linker over the copied library: the first entry of `grooming` is
// the tail of the linker's command line, the further entries are items
// handed over in batches. `general` expands BINDIR and LIBDIR.
void GroomLibrary(const TParamlist& general, const TParamlist& grooming, TUserInterface& ui);

}  // namespace tessel

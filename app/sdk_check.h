#pragma once
// The SDK base directory check: finds the installation's base settings file
// below the SDK base directory and offers to correct a configured SDK
// directory that is missing or differs from the one the program started in.

#include <string>

#include "support/user_interface.h"

namespace tessel {

// The parent of the program directory: "C:\SDK\BIN" (with or without its
// trailing separator) gives "C:\SDK".
std::string StartDirectoryBase(const std::string& programDirectory);

// D + "\BaseOptions\BaseOptions.ini".
std::string BaseSettingsPathOf(const std::string& sdkDirectory);

// Runs the check for a program started in `programDirectory` and returns the
// base settings file to use (which need not exist). May ask its questions,
// write "SDKDIR" on Yes and warn when the directory stays invalid.
std::string CheckSdkBaseDirectory(const std::string& programDirectory, TUserInterface& ui);

}  // namespace tessel

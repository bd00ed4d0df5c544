#pragma once
// Small pieces the commands share.

#include <string>

#include "cli/console_ui.h"

namespace tessel {

// Exit statuses of the build commands: a cancelled run ends like a program
// stopped by Ctrl-C.
inline constexpr int kExitReady = 0;
inline constexpr int kExitErrors = 1;
inline constexpr int kExitCancelled = 130;

// A relative path made absolute against the current directory: the engine
// derives the project and SDK directories from the path, and the program
// settings remember it.
std::string AbsolutePath(const std::string& path);

// Takes --yes or --no into the interface's answer; false for other words.
bool TakeAnswerOption(const std::string& arg, TConsoleUserInterface& ui);

}  // namespace tessel

#pragma once
// Which log lines the main window marks: tool messages of the form
// FILE(LINE): error: / FILE(LINE): warning: (also FILE:LINE: error: as the
// GNU tools write them) and the closing line of a failed build.

#include <string>

namespace tessel {

enum class TLogMark { None, Warning, Error };

TLogMark LogMarkOf(const std::string& line);

}  // namespace tessel

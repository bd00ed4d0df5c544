#pragma once
// File chooser filters in the system's form ("EXE|*.EXE",
// "SDK-source|*.CPP;*.ASM;*.SRC", "*.*") as Qt's file dialogs take them.

#include <QString>
#include <string>

namespace tessel {

// Each description|patterns pair becomes "description (patterns)" with the
// patterns separated by blanks, each also in lower and in upper case (file
// names on Linux may be either). "*.*" means every file, also one without a
// dot, and becomes "*". A filter that is not every file is followed by
// "All files (*)", since tools on Linux carry no extension. The pairs are
// joined by ";;".
QString QtFileFilter(const std::string& filter);

}  // namespace tessel

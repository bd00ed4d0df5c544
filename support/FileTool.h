#pragma once
// File tools shared by the engine, the setup and the main window.

#include <string>

#include "platform/datetime.h"
#include "support/user_interface.h"

namespace tessel {

// Copies one file (overwriting), or every file matching a source whose file
// name holds "*" into the target's directory. True when every copy succeeded;
// a wildcard without any match gives false.
bool CopyFiles(const std::string& source, const std::string& target);

// Numbered ".BAK" rotation (B_1.BAK newest ... B_count.BAK oldest), at most
// one backup per `format` period. Returns 0 after a backup or for a missing
// file, otherwise the file's date-time. A due backup that could not be made
// (a step of the rotation or the copy failed) is described in `failure`,
// naming the file and the reason; the rotation stops at the failing step,
// so no backup is deleted without the newer ones moving up.
TDateTime Backup(const std::string& path, int count, const std::string& format,
                 std::string* failure = nullptr);

// Empty when the files are equal; otherwise the findings joined by "; ".
std::string CompareFiles(const std::string& a, const std::string& b);

// Creates every missing level; true when the whole path exists afterwards.
bool ForceDirectoryPath(const std::string& path);

// Last-write date-time in local time rounded down to 2 seconds; 0 when the
// file does not exist.
TDateTime FileDateTime(const std::string& path);

// Cursor stack for long operations, shown through the main window.
void PushCursor(TCursor cursor);
void PopCursor();

}  // namespace tessel

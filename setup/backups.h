#pragma once
// Backups of both settings files before a Save stores changes.

#include <string>

namespace tessel {

// The backup count as the "MAXBACKUP" row shows it: a decimal number, 7
// when it is none.
int BackupCount(const std::string& maxBackup);

// With a count above 0, backs up the base and then the project settings
// file (numbered ".BAK" files, at most one per minute of change); with 0 or
// less nothing is made or touched. Returns the failures of due backups, one
// line each (CR LF between), empty when there were none; a failed backup
// does not keep the other file from its own.
std::string BackupSettings(const std::string& maxBackup, const std::string& baseIni,
                           const std::string& projectIni);

}  // namespace tessel

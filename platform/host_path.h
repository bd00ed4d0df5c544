#pragma once
// Mapping of the system's Windows-style path texts onto host paths. Paths are
// kept exactly as the system computes them and mapped only when the file
// system is touched, here and nowhere else.
//
// On POSIX:
//  1. every '\' becomes '/'; repeated separators collapse;
//  2. a leading drive "X:" maps to the drive root (default "/", see
//     SetDriveRoot and the environment variable TESSEL_DRIVE_ROOT);
//  3. each component resolves against the directory above it: the exact name
//     when it exists, otherwise the entry matching without regard to ASCII
//     case (the byte-wise smallest when several do); from the first component
//     that does not exist on, the rest is used as written;
//  4. a path ending in ".EXE" (any case) that does not exist falls back to
//     the same path without that extension when that exists.
// On Windows the mapping is the identity.

#include <string>

namespace tessel {

std::string HostPath(const std::string& systemPath);

// Directory listings that the mapping reads to find a name in another letter
// case are kept while a TDirectoryListingScope lives (the engine keeps one
// for a build), so a directory is read once however often names in it are
// missed. Whatever changes entries through this layer (creating, renaming or
// deleting files and directories, running a tool) refreshes the kept
// listings: where the system reports the names added and removed, a listing
// follows the reports (and is read again when its path leads to another
// directory by then); else it is dropped. DropDirectoryListings drops them
// all. Scopes nest; the listings go with the last one.
class TDirectoryListingScope {
 public:
  TDirectoryListingScope();
  ~TDirectoryListingScope();
  TDirectoryListingScope(const TDirectoryListingScope&) = delete;
  TDirectoryListingScope& operator=(const TDirectoryListingScope&) = delete;
};
void DropDirectoryListings();
void RefreshDirectoryListings();

// Confines the mapping to one host directory: a path that would lead outside
// it maps to "" (which every file operation treats as missing), so harnesses
// that feed arbitrary script texts (the fuzz targets) cannot reach the
// machine's other files. An empty directory lifts the confinement.
void SetConfinement(const std::string& hostDirectory);

// Host directory that stands for drive letters ("/" by default). The
// environment variable TESSEL_DRIVE_ROOT, read on first use, overrides the
// default; SetDriveRoot overrides both (tests use it).
void SetDriveRoot(const std::string& hostDirectory);
std::string DriveRoot();

// Case-insensitive wildcard match of a file name against a pattern with '*'
// and '?' (as directory listings use it).
bool MatchesWildcard(const std::string& name, const std::string& pattern);

}  // namespace tessel

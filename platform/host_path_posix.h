#pragma once
// The path mapping as the POSIX file system calls use it: the mapping of a
// path that exists as written is decided by one stat, which then answers the
// caller's question too.

#include <sys/stat.h>

#include <string>

namespace tessel {

enum class THostStat {
  Unknown,  // the caller must stat the host path itself
  Found,    // `st` holds the stat of the host path
  Missing,  // a stat of the host path fails
};

std::string HostPathStat(const std::string& systemPath, struct stat& st, THostStat& found);

}  // namespace tessel

#pragma once
// The path mapping as the file system functions use it: the mapping of a
// path that exists as written is decided by one look-up, which then answers
// the caller's question too.

#include <string>

#include "platform/host_file_system.h"

namespace tessel {

enum class THostStat {
  Unknown,  // the caller must look the host path up itself
  Found,    // `info` holds the look-up of the host path
  Missing,  // a look-up of the host path fails
};

std::string HostPathStat(const std::string& systemPath, TFileInfo& info, THostStat& found);
// The same into `host`, whose storage is used again.
void HostPathStat(const std::string& systemPath, TFileInfo& info, THostStat& found,
                  std::string& host);

}  // namespace tessel

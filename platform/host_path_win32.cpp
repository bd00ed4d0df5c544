// On Windows the system's paths are the host's paths.

#include "platform/host_path.h"

namespace tessel {

std::string HostPath(const std::string& systemPath) { return systemPath; }

TDirectoryListingScope::TDirectoryListingScope() = default;
TDirectoryListingScope::~TDirectoryListingScope() = default;
void DropDirectoryListings() {}
void RefreshDirectoryListings() {}

void SetDriveRoot(const std::string&) {}

std::string DriveRoot() { return std::string(); }

}  // namespace tessel

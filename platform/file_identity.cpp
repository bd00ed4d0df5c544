#include "platform/file_identity.h"

#include "platform/host_file_system.h"
#include "platform/host_path.h"

namespace tessel {

bool SameFile(const std::string& a, const std::string& b) {
  const std::string hostA = HostPath(a);
  const std::string hostB = HostPath(b);
  if (hostA.empty() || hostB.empty()) return false;
  TFileSystem& fs = CurrentFileSystem();
  TFileInfo infoA, infoB;
  if (!fs.Stat(hostA, infoA) || !fs.Stat(hostB, infoB)) return false;
  return infoA.device == infoB.device && infoA.inode == infoB.inode;
}

}  // namespace tessel

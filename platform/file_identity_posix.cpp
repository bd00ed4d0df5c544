#include <sys/stat.h>

#include "platform/file_identity.h"
#include "platform/host_path.h"

namespace tessel {

bool SameFile(const std::string& a, const std::string& b) {
  const std::string hostA = HostPath(a);
  const std::string hostB = HostPath(b);
  struct stat stA, stB;
  if (hostA.empty() || hostB.empty()) return false;
  if (::stat(hostA.c_str(), &stA) != 0 || ::stat(hostB.c_str(), &stB) != 0) return false;
  return stA.st_dev == stB.st_dev && stA.st_ino == stB.st_ino;
}

}  // namespace tessel

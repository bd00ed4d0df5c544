#include "bitmap/same_file.h"

#include <vector>

#include "platform/file_identity.h"
#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "support/text.h"

namespace tessel {

namespace {

bool IsAbsolute(const std::string& host) {
  return (!host.empty() && IsPathDelimiter(host[0])) || (host.size() > 1 && host[1] == ':');
}

// The host path with "." and ".." components resolved as text, for names
// that do not exist yet.
std::string Normalised(const std::string& systemPath) {
  std::string host = HostPath(systemPath);
  if (!IsAbsolute(host)) host = CurrentDirectory() + "/" + host;
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i <= host.size(); ++i) {
    if (i == host.size() || IsPathDelimiter(host[i])) {
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.push_back(part);
      }
      part.clear();
    } else {
      part += host[i];
    }
  }
  std::string result;
  for (const std::string& p : parts) result += "/" + p;
  return result;
}

}  // namespace

bool SameSystemFile(const std::string& a, const std::string& b) {
  return SameFile(a, b) || SameTextAscii(Normalised(a), Normalised(b));
}

}  // namespace tessel

#include "bitmap/same_file.h"

#include "platform/file_system.h"
#include "platform/host_path.h"
#include "platform/path_split.h"
#include "support/text.h"

namespace tessel {

namespace {

bool IsAbsolute(const std::string& host) {
  return (!host.empty() && IsPathDelimiter(host[0])) || (host.size() > 1 && host[1] == ':');
}

std::string Normalised(const std::string& systemPath) {
  std::string host = HostPath(systemPath);
  if (!IsAbsolute(host)) host = CurrentDirectory() + "/" + host;
  std::string result;
  std::string part;
  for (size_t i = 0; i <= host.size(); ++i) {
    if (i == host.size() || IsPathDelimiter(host[i])) {
      if (!part.empty() && part != ".") result += "/" + part;
      part.clear();
    } else {
      part += host[i];
    }
  }
  return result;
}

}  // namespace

bool SameSystemFile(const std::string& a, const std::string& b) {
  return SameTextAscii(Normalised(a), Normalised(b));
}

}  // namespace tessel

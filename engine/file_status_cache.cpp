#include "engine/file_status_cache.h"

namespace tessel {

TFileStatus TFileStatusCache::Get(const std::string& path) {
  // One look-up whether the path is new or known.
  auto [status, added] = entries_.TryEmplace(path);
  if (added) *status = GetFileStatus(path);
  return *status;
}

}  // namespace tessel

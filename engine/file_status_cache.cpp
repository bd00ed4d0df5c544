#include "engine/file_status_cache.h"

namespace tessel {

const TFileStatus& TFileStatusCache::Get(const std::string& path) {
  // One look-up whether the path is new or known.
  auto [it, added] = entries_.try_emplace(path);
  if (added) it->second = GetFileStatus(path);
  return it->second;
}

}  // namespace tessel

#include "engine/file_status_cache.h"

namespace tessel {

const TFileStatus& TFileStatusCache::Get(const std::string& path) {
  auto it = entries_.find(path);
  if (it == entries_.end()) it = entries_.emplace(path, GetFileStatus(path)).first;
  return it->second;
}

}  // namespace tessel

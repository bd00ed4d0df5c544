#pragma once
// Within one build each file's status is read once: the make rule asks about
// the same files again and again (a generated compile block names every
// source for every compile step), and each answer after the first is a
// memory look-up. The engine drops the answers whenever files may have
// changed: after every tool run, and whenever it writes, copies, deletes or
// renames a file itself. Path texts are the keys, exactly as written.

#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "support/string_hash_map.h"

namespace tessel {

class TFileStatusCache {
 public:
  // The status of the file, read when this text was not asked since the
  // last Drop.
  TFileStatus Get(const std::string& path);
  void Drop() {
    entries_.Clear();
    ++epoch_;
  }
  // Changes with every Drop: an answer kept elsewhere since the same epoch
  // is still one the cache would give.
  uint64_t Epoch() const { return epoch_; }

 private:
  uint64_t epoch_ = 1;
  TStringHashMap<TFileStatus> entries_;
};

}  // namespace tessel

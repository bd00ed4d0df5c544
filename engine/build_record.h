#pragma once
// The build record: for each step, a hash of what it ran at its last
// success, kept in a small file beside the top script ("NAME.PRJ.STATE"). A
// step whose command line, options or bind script changed runs again even
// when its target is newer than its sources; a step that failed runs again
// in the next build. The record is a hint: a missing, unreadable or foreign
// file knows nothing, and the dates alone decide.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/string_hash_map.h"

namespace tessel {

// A 64-bit hash over parts, eight bytes at a time (a step hashes its whole
// command line and options, on every step of every build). Each part starts
// with its length so that ("ab", "c") and ("a", "bc") differ; each mixing
// step is one-to-one, so a change within one word of the text (an option
// edited in place) always changes the value. Words are read little-endian
// on every machine: the values are kept in files.
class TStepHash {
 public:
  TStepHash& Add(const std::string& part);
  TStepHash& Add(const std::vector<std::string>& parts);
  uint64_t Value() const { return value_; }

 private:
  void Mix(uint64_t word) {
    value_ = (value_ ^ word) * 0x9E3779B97F4A7C15ull;
    value_ ^= value_ >> 32;
  }
  uint64_t value_ = 0x2545F4914F6CDD1Dull;
};

class TBuildRecord {
 public:
  enum class TVerdict { Unknown, Same, Changed, Failed };

  // The record of a top script.
  static std::string PathFor(const std::string& topScript) { return topScript + ".STATE"; }

  // Reads the record at `path`; never throws.
  explicit TBuildRecord(std::string path);

  TVerdict Check(const std::string& key, uint64_t hash) const;
  void Succeeded(const std::string& key, uint64_t hash);
  void Failed(const std::string& key);

  // Writes the record when it changed; false when it could not be written.
  bool Save();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  TStringHashMap<std::optional<uint64_t>> entries_;  // none: failed
  bool changed_ = false;
};

}  // namespace tessel

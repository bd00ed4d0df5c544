#pragma once
// Lines of a text with a quick answer to "does any line contain this text?".
// A collection file is asked that once per declaration of a build; scanning
// every line each time would make a growing file quadratic.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tessel {

class TLineIndex {
 public:
  void Add(std::string line);
  void Clear();
  size_t Count() const { return lines_.size(); }
  const std::string& Line(size_t index) const { return lines_[index]; }

  // True when some line contains `text` (case-sensitive), exactly as a scan
  // of every line would answer.
  bool AnyLineContains(std::string_view text) const;

 private:
  // A line that contains a text with a "(" also contains every tail of the
  // text's part up to its first "(". Each line is indexed by the hashes of
  // its tails of 2, 4, 8, 16 and 32 characters ending in a "(": a lookup
  // takes the longest such tail of the text and checks only the lines that
  // share it.
  static constexpr size_t kLongestTail = 32;

  std::vector<std::string> lines_;
  std::unordered_map<uint64_t, std::vector<uint32_t>> anchors_;
};

}  // namespace tessel

#include "engine/line_index.h"

namespace tessel {

namespace {

uint64_t Mix(uint64_t hash, unsigned char c) {
  hash ^= c;
  hash *= 0x100000001b3ULL;
  return hash ^ (hash >> 29);
}

constexpr uint64_t kSeed = 0xcbf29ce484222325ULL;

bool IsTailLength(size_t length) { return length >= 2 && (length & (length - 1)) == 0; }

}  // namespace

void TLineIndex::Add(std::string line) {
  const uint32_t number = static_cast<uint32_t>(lines_.size());
  for (size_t paren = line.find('('); paren != std::string::npos;
       paren = line.find('(', paren + 1)) {
    // Hashed from the "(" backwards, so every tail length extends the last.
    uint64_t hash = kSeed;
    for (size_t length = 1; length <= kLongestTail && length <= paren + 1; ++length) {
      hash = Mix(hash, static_cast<unsigned char>(line[paren + 1 - length]));
      if (!IsTailLength(length)) continue;
      std::vector<uint32_t>& holders = anchors_[hash];
      if (holders.empty() || holders.back() != number) holders.push_back(number);
    }
  }
  lines_.push_back(std::move(line));
}

void TLineIndex::Clear() {
  lines_.clear();
  anchors_.clear();
}

bool TLineIndex::AnyLineContains(std::string_view text) const {
  const size_t paren = text.find('(');
  if (paren == std::string_view::npos || paren == 0) {
    for (const std::string& line : lines_) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }
  uint64_t hash = kSeed;
  uint64_t longest = 0;
  for (size_t length = 1; length <= kLongestTail && length <= paren + 1; ++length) {
    hash = Mix(hash, static_cast<unsigned char>(text[paren + 1 - length]));
    if (IsTailLength(length)) longest = hash;
  }
  auto found = anchors_.find(longest);
  if (found == anchors_.end()) return false;
  // A hash shared by chance only adds lines to check.
  for (uint32_t number : found->second) {
    if (lines_[number].find(text) != std::string::npos) return true;
  }
  return false;
}

}  // namespace tessel

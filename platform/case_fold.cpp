#include "platform/case_fold.h"

#include <cstdint>
#include <cstring>

namespace tessel {

void FoldAsciiInto(std::string_view from, char* to) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  size_t at = 0;
  for (; at + 8 <= from.size(); at += 8) {
    uint64_t word;
    std::memcpy(&word, from.data() + at, 8);
    // Per byte, without carries between bytes: the low seven bits plus an
    // offset set the high bit from 'a' on, and again past 'z'; bytes with
    // the high bit set are no ASCII letters.
    const uint64_t low = word & ~kHigh;
    const uint64_t fromA = low + kOnes * (0x80 - 'a');
    const uint64_t pastZ = low + kOnes * (0x80 - 'z' - 1);
    const uint64_t letters = fromA & ~pastZ & ~word & kHigh;
    word -= letters >> 2;  // 0x20 in each letter
    std::memcpy(to + at, &word, 8);
  }
  for (; at < from.size(); ++at) to[at] = FoldAscii(from[at]);
}

namespace {

template <char (*Fold)(char)>
bool EqualFolded(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

}  // namespace

bool EqualFoldAscii(const std::string& a, const std::string& b) {
  return EqualFolded<FoldAscii>(a, b);
}

bool EqualFoldCodePage(const std::string& a, const std::string& b) {
  return EqualFolded<FoldCodePage>(a, b);
}

}  // namespace tessel

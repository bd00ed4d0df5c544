#pragma once
// Letter-case folding, defined once for every layer: ASCII for host file
// names and wildcards, the Windows-1252 code page for the system's own names
// (settings keys, variables, profile sections).

#include <array>
#include <string>
#include <string_view>

namespace tessel {

// a-z to A-Z; every other byte unchanged.
inline char FoldAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

namespace case_fold_detail {

constexpr unsigned char UpperOf(unsigned u) {
  if (u >= 'a' && u <= 'z') return static_cast<unsigned char>(u - 0x20);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<unsigned char>(u - 0x20);
  switch (u) {
    case 0x9A:  // s caron
    case 0x9C:  // oe
    case 0x9E:  // z caron
      return static_cast<unsigned char>(u - 0x10);
    case 0xFF:  // y diaeresis
      return 0x9F;
    default:
      return static_cast<unsigned char>(u);
  }
}

constexpr std::array<unsigned char, 256> UpperTable() {
  std::array<unsigned char, 256> table{};
  for (unsigned u = 0; u < 256; ++u) table[u] = UpperOf(u);
  return table;
}

}  // namespace case_fold_detail

// A table: names are folded for every variable lookup.
inline constexpr std::array<unsigned char, 256> kCodePageUpper = case_fold_detail::UpperTable();

// The upper-case letter of the code page, or the byte unchanged.
inline char FoldCodePage(char c) {
  return static_cast<char>(kCodePageUpper[static_cast<unsigned char>(c)]);
}

// FoldAscii of every byte of `from`, written to `to` (room for as many):
// eight bytes at a time, as build record keys fold whole paths per step.
void FoldAsciiInto(std::string_view from, char* to);

bool EqualFoldAscii(const std::string& a, const std::string& b);
bool EqualFoldCodePage(const std::string& a, const std::string& b);

}  // namespace tessel

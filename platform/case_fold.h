#pragma once
// Letter-case folding, defined once for every layer: ASCII for host file
// names and wildcards, the Windows-1252 code page for the system's own names
// (settings keys, variables, profile sections).

#include <string>

namespace tessel {

// a-z to A-Z; every other byte unchanged.
inline char FoldAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The upper-case letter of the code page, or the byte unchanged.
char FoldCodePage(char c);

bool EqualFoldAscii(const std::string& a, const std::string& b);
bool EqualFoldCodePage(const std::string& a, const std::string& b);

}  // namespace tessel

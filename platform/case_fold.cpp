#include "platform/case_fold.h"

namespace tessel {

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

char FoldCodePage(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return static_cast<char>(u - 0x20);
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 0x20);
  switch (u) {
    case 0x9A:  // s caron
    case 0x9C:  // oe
    case 0x9E:  // z caron
      return static_cast<char>(u - 0x10);
    case 0xFF:  // y diaeresis
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

bool EqualFoldAscii(const std::string& a, const std::string& b) {
  return EqualFolded<FoldAscii>(a, b);
}

bool EqualFoldCodePage(const std::string& a, const std::string& b) {
  return EqualFolded<FoldCodePage>(a, b);
}

}  // namespace tessel

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

bool EqualFoldAscii(const std::string& a, const std::string& b) {
  return EqualFolded<FoldAscii>(a, b);
}

bool EqualFoldCodePage(const std::string& a, const std::string& b) {
  return EqualFolded<FoldCodePage>(a, b);
}

}  // namespace tessel

// Wildcard matching shared by every host: directory listings use it.

#include <string>

#include "platform/case_fold.h"
#include "platform/host_path.h"

namespace tessel {

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
  // "*.*" matches names without a dot as well, as directory listings do.
  if (pattern == "*.*" || pattern == "*") return true;
  // Greedy matching with one back-track point: linear for the usual patterns.
  size_t n = 0, p = 0;
  size_t starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace tessel

#include "gui/log_marks.h"

#include <cctype>

namespace tessel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool WordAt(const std::string& line, size_t at, const char* word) {
  for (size_t i = 0; word[i] != '\0'; ++i) {
    if (at + i >= line.size() ||
        std::tolower(static_cast<unsigned char>(line[at + i])) != word[i]) {
      return false;
    }
  }
  return true;
}

// Whether a location ends just before `end` (exclusive): "(123)" or
// ":123" or ":12:34".
bool LocationEndsAt(const std::string& line, size_t end) {
  if (end == 0) return false;
  size_t i = end;
  if (line[i - 1] == ')') {
    --i;
    const size_t digitsEnd = i;
    while (i > 0 && IsDigit(line[i - 1])) --i;
    return i < digitsEnd && i > 0 && line[i - 1] == '(';
  }
  for (int part = 0; part < 2; ++part) {
    const size_t digitsEnd = i;
    while (i > 0 && IsDigit(line[i - 1])) --i;
    if (i == digitsEnd || i == 0 || line[i - 1] != ':') return part > 0;
    --i;
  }
  return true;
}

// "<location> : severity :" around the severity word at `at`.
bool ToolFormAt(const std::string& line, size_t at, size_t length) {
  size_t after = at + length;
  while (after < line.size() && line[after] == ' ') ++after;
  if (after >= line.size() || line[after] != ':') return false;
  size_t before = at;
  while (before > 0 && line[before - 1] == ' ') --before;
  if (before == 0 || line[before - 1] != ':') return false;
  --before;
  while (before > 0 && line[before - 1] == ' ') --before;
  return LocationEndsAt(line, before);
}

}  // namespace

TLogMark LogMarkOf(const std::string& line) {
  if (line == "Finished with errors.") return TLogMark::Error;
  for (size_t at = 0; at < line.size(); ++at) {
    if (WordAt(line, at, "error") && ToolFormAt(line, at, 5)) return TLogMark::Error;
    if (WordAt(line, at, "warning") && ToolFormAt(line, at, 7)) return TLogMark::Warning;
  }
  return TLogMark::None;
}

}  // namespace tessel

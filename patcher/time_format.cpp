#include "patcher/time_format.h"

#include <cstdio>

namespace tessel {

namespace {

const char* const kShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[12] = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};
const char* const kShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
const char kDateSeparator = '/';
const char kTimeSeparator = ':';
const char* const kShortDateFormat = "dd/mm/yyyy";
const char* const kLongDateFormat = "dddd, d mmmm yyyy";
const char* const kShortTimeFormat = "hh:nn";
const char* const kLongTimeFormat = "hh:nn:ss";
const char* const kTimeAM = "AM";
const char* const kTimePM = "PM";

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool StartsWithNoCase(const std::string& text, size_t at, const char* word) {
  for (size_t k = 0; word[k] != '\0'; ++k) {
    if (at + k >= text.size() || Upper(text[at + k]) != Upper(word[k])) return false;
  }
  return true;
}

std::string Number(int value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
  return buffer;
}

class TFormatter {
 public:
  explicit TFormatter(TDateTime value) : parts_(DecodeDateTime(value)) {}

  std::string Format(const std::string& pattern) {
    std::string out;
    Append(pattern, out);
    return out;
  }

 private:
  // Whether the pattern holds an am/pm element outside quoted text.
  static bool HasAmPm(const std::string& pattern) {
    for (size_t i = 0; i < pattern.size(); ++i) {
      const char c = pattern[i];
      if (c == '\'' || c == '"') {
        const size_t close = pattern.find(c, i + 1);
        if (close == std::string::npos) return false;
        i = close;
      } else if (StartsWithNoCase(pattern, i, "am/pm") || StartsWithNoCase(pattern, i, "a/p") ||
                 StartsWithNoCase(pattern, i, "ampm")) {
        return true;
      }
    }
    return false;
  }

  bool Afternoon() const { return parts_.hour >= 12; }

  int Hour(bool twelveHour) const {
    if (!twelveHour) return parts_.hour;
    const int hour = parts_.hour % 12;
    return hour == 0 ? 12 : hour;
  }

  void Append(const std::string& pattern, std::string& out) {
    const bool twelveHour = HasAmPm(pattern);
    char lastLetter = 0;
    size_t i = 0;
    while (i < pattern.size()) {
      const char c = pattern[i];
      if (c == '\'' || c == '"') {
        const size_t close = pattern.find(c, i + 1);
        const size_t end = close == std::string::npos ? pattern.size() : close;
        out.append(pattern, i + 1, end - i - 1);
        i = end + 1;
        continue;
      }
      if (c == '/') {
        out += kDateSeparator;
        ++i;
        continue;
      }
      if (c == ':') {
        out += kTimeSeparator;
        ++i;
        continue;
      }
      if (!IsLetter(c)) {
        out += c;
        ++i;
        continue;
      }
      const char letter = Upper(c);
      size_t count = 1;
      while (i + count < pattern.size() && Upper(pattern[i + count]) == letter) ++count;
      i += AppendElement(pattern, i, letter, count, lastLetter, twelveHour, out);
      lastLetter = letter;
    }
  }

  // Appends the element at `at` and returns how many characters it used.
  size_t AppendElement(const std::string& pattern, size_t at, char letter, size_t count,
                       char lastLetter, bool twelveHour, std::string& out) {
    switch (letter) {
      case 'Y':
        out += count <= 2 ? Number(parts_.year % 100, 2) : Number(parts_.year, 4);
        return count;
      case 'M':
        if (lastLetter == 'H' && count <= 2) {
          out += Number(parts_.minute, static_cast<int>(count));
        } else if (count <= 2) {
          out += Number(parts_.month, static_cast<int>(count));
        } else {
          out += (count == 3 ? kShortMonths : kLongMonths)[parts_.month - 1];
        }
        return count;
      case 'D':
        switch (count) {
          case 1:
          case 2:
            out += Number(parts_.day, static_cast<int>(count));
            break;
          case 3:
            out += kShortDays[parts_.dayOfWeek - 1];
            break;
          case 4:
            out += kLongDays[parts_.dayOfWeek - 1];
            break;
          case 5:
            Append(kShortDateFormat, out);
            break;
          default:
            Append(kLongDateFormat, out);
            break;
        }
        return count;
      case 'E':
        out += Number(parts_.year, 1);
        return count;
      case 'G':
        return count;
      case 'H':
        out += Number(Hour(twelveHour), count >= 2 ? 2 : 1);
        return count;
      case 'N':
        out += Number(parts_.minute, count >= 2 ? 2 : 1);
        return count;
      case 'S':
        out += Number(parts_.second, count >= 2 ? 2 : 1);
        return count;
      case 'Z':
        out += Number(parts_.millisecond, count >= 3 ? 3 : 1);
        return count;
      case 'T':
        Append(count == 1 ? kShortTimeFormat : kLongTimeFormat, out);
        return count;
      case 'C':
        Append(kShortDateFormat, out);
        if (parts_.hour != 0 || parts_.minute != 0 || parts_.second != 0 ||
            parts_.millisecond != 0) {
          out += ' ';
          Append(kLongTimeFormat, out);
        }
        return 1;
      case 'A':
        return AppendA(pattern, at, out);
      default:
        out.append(pattern, at, count);
        return count;
    }
  }

  // The elements that begin with "a": am/pm, a/p, ampm and the day names.
  size_t AppendA(const std::string& pattern, size_t at, std::string& out) {
    if (StartsWithNoCase(pattern, at, "am/pm")) {
      out.append(pattern, Afternoon() ? at + 3 : at, 2);
      return 5;
    }
    if (StartsWithNoCase(pattern, at, "a/p")) {
      out += pattern[Afternoon() ? at + 2 : at];
      return 3;
    }
    if (StartsWithNoCase(pattern, at, "ampm")) {
      out += Afternoon() ? kTimePM : kTimeAM;
      return 4;
    }
    if (StartsWithNoCase(pattern, at, "aaaa")) {
      out += kLongDays[parts_.dayOfWeek - 1];
      return 4;
    }
    if (StartsWithNoCase(pattern, at, "aaa")) {
      out += kShortDays[parts_.dayOfWeek - 1];
      return 3;
    }
    out += pattern[at];
    return 1;
  }

  DateTimeParts parts_;
};

}  // namespace

std::string FormatPatchDateTime(const std::string& pattern, TDateTime value) {
  return TFormatter(value).Format(pattern);
}

}  // namespace tessel

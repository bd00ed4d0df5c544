#include "support/text.h"

#include <cstdio>
#include <limits>

#include "platform/case_fold.h"
#include "platform/environment.h"
#include "support/app_env.h"

namespace tessel {

namespace {

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

bool IsTrimChar(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Start of the n-th field (n >= 1) and its length; false when the text has
// fewer fields. `followed` tells whether a separator comes after the field.
bool LocateField(const std::string& text, int n, const std::string& separator, size_t& start,
                 size_t& length, bool& followed) {
  start = 0;
  for (int i = 1;; ++i) {
    size_t end = separator.empty() ? std::string::npos : text.find(separator, start);
    if (i == n) {
      followed = end != std::string::npos;
      length = (followed ? end : text.size()) - start;
      return true;
    }
    if (end == std::string::npos) return false;
    start = end + separator.size();
  }
}

}  // namespace

bool IsBlank(const std::string& text, const std::string& extra) {
  for (char c : text) {
    if (!IsBlankChar(c) && extra.find(c) == std::string::npos) return false;
  }
  return true;
}

bool Contains(const std::string& part, const std::string& text) {
  return !part.empty() && text.find(part) != std::string::npos;
}

std::string DeleteRange(const std::string& text, int index, int count) {
  if (count <= 0) return text;
  size_t from = index < 2 ? 0 : static_cast<size_t>(index - 1);
  if (from >= text.size()) return text;
  std::string result = text;
  result.erase(from, static_cast<size_t>(count));
  return result;
}

std::string NamePart(const std::string& line) {
  size_t eq = line.find('=');
  return eq == std::string::npos ? line : line.substr(0, eq);
}

std::string ValuePart(const std::string& line) {
  size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

std::string RepeatText(const std::string& text, int count) {
  std::string result;
  if (count <= 0) return result;
  result.reserve(text.size() * static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) result += text;
  return result;
}

std::string GetField(const std::string& text, int n, const std::string& separator, int* status) {
  if (status) *status = fsFollowed;
  if (n <= 0) return std::string();
  size_t start = 0, length = 0;
  bool followed = false;
  if (!LocateField(text, n, separator, start, length, followed)) {
    if (status) *status = fsMissing;
    return std::string();
  }
  if (status) *status = followed ? fsFollowed : fsLast;
  return text.substr(start, length);
}

std::string NextField(const std::string& text, int& counter, const std::string& separator,
                      int* status) {
  ++counter;
  return GetField(text, counter, separator, status);
}

int FieldCount(const std::string& text, const std::string& separator) {
  if (IsBlank(text)) return 0;
  int count = 1;
  if (separator.empty()) return count;
  // Every position at which the separator starts counts, overlapping or not.
  for (size_t pos = text.find(separator); pos != std::string::npos;
       pos = text.find(separator, pos + 1)) {
    ++count;
  }
  return count;
}

std::string DeleteField(const std::string& text, int n, const std::string& separator, int* status) {
  if (status) *status = fsMissing;
  if (n <= 0) return text;
  size_t start = 0, length = 0;
  bool followed = false;
  if (!LocateField(text, n, separator, start, length, followed)) return text;
  if (status) *status = followed ? fsFollowed : fsLast;
  std::string result = text;
  if (n > 1) {
    // The field and the separator in front of it.
    size_t from = start - separator.size();
    result.erase(from, length + separator.size());
  } else if (followed) {
    result.erase(0, length + separator.size());
  } else {
    result.clear();
  }
  return result;
}

int ElementIndex(const std::string& list, const std::string& item, const std::string& separator) {
  if (IsBlank(item) || IsBlank(separator)) return 0;
  std::string wanted = Trim(item);
  size_t start = 0;
  for (int i = 1;; ++i) {
    size_t end = list.find(separator, start);
    std::string element =
        list.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (SameTextAscii(Trim(element), wanted)) return i;
    if (end == std::string::npos) return -1;
    start = end + separator.size();
  }
}

bool IsElement(const std::string& list, const std::string& item, const std::string& separator) {
  return ElementIndex(list, item, separator) > 0;
}

std::string AppendItem(const std::string& text, const std::string& item,
                       const std::string& separator) {
  return IsBlank(text) ? text + item : text + separator + item;
}

std::string AppendUnique(const std::string& text, const std::string& item,
                         const std::string& separator) {
  if (IsBlank(item) || ElementIndex(text, item, separator) > 0) return text;
  return AppendItem(text, item, separator);
}

std::string BoolText(bool value) { return value ? "TRUE" : "FALSE"; }

std::string ReplaceAll(const std::string& text, const std::string& pattern,
                       const std::string& replacement, bool ignoreCase) {
  if (pattern.empty()) return text;
  if (ignoreCase ? SameTextAnsi(pattern, replacement) : pattern == replacement) return text;
  // Upper-casing keeps every byte in place, so positions in the copy are
  // positions in the text.
  const std::string haystack = ignoreCase ? AnsiUpperCase(text) : std::string();
  const std::string needle = ignoreCase ? AnsiUpperCase(pattern) : std::string();
  const std::string& searchIn = ignoreCase ? haystack : text;
  const std::string& searchFor = ignoreCase ? needle : pattern;

  std::string result;
  size_t from = 0;
  size_t pos = searchIn.find(searchFor);
  if (pos == std::string::npos) return text;
  result.reserve(text.size());
  while (pos != std::string::npos) {
    result.append(text, from, pos - from);
    result += replacement;
    from = pos + pattern.size();
    pos = searchIn.find(searchFor, from);
  }
  result.append(text, from, std::string::npos);
  return result;
}

std::string GetSetting(const std::string& name) {
  std::string value = GetEnvironmentValue(name);
  if (!IsBlank(value)) return value;
  return RegistryValue("SoftWare\\" + AppEnv().Value("IN"), name);
}

uint32_t ByteSwap32(uint32_t value) {
  return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) |
         (value << 24);
}

std::string AsciiUpperCase(std::string text) {
  for (char& c : text) c = FoldAscii(c);
  return text;
}

std::string AsciiLowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

char AnsiUpperChar(char c) { return FoldCodePage(c); }

std::string AnsiUpperCase(std::string text) {
  for (char& c : text) c = FoldCodePage(c);
  return text;
}

bool SameTextAnsi(const std::string& a, const std::string& b) { return EqualFoldCodePage(a, b); }

bool SameTextAscii(const std::string& a, const std::string& b) { return EqualFoldAscii(a, b); }

std::string Trim(const std::string& text) { return TrimLeft(TrimRight(text)); }

std::string TrimLeft(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsTrimChar(text[i])) ++i;
  return text.substr(i);
}

std::string TrimRight(const std::string& text) {
  size_t n = text.size();
  while (n > 0 && IsTrimChar(text[n - 1])) --n;
  return text.substr(0, n);
}

bool TryStrToInt(const std::string& text, int32_t& out) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return false;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return false;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    return false;
  out = static_cast<int32_t>(value);
  return true;
}

int32_t StrToIntDef(const std::string& text, int32_t def) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return def;
  if (hex) {
    // Hexadecimal covers the whole 32-bit pattern: $FFFFFFFF is -1.
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
      int d = HexDigitValue(text[i]);
      if (d < 0) return def;
      value = value * 16 + static_cast<uint64_t>(d);
      if (value > 0xFFFFFFFFu) return def;
    }
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
  }
  int32_t value = 0;
  if (!TryStrToInt((negative ? "-" : "") + text.substr(i), value)) return def;
  return value;
}

std::string IntToHex(uint64_t value, int digits) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*llX", digits < 0 ? 0 : digits,
                static_cast<unsigned long long>(value));
  return buffer;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  ForEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

}  // namespace tessel

#include "support/date_time.h"

#include <cstdio>

#include "platform/case_fold.h"

namespace tessel {

namespace {

bool StartsWithToken(const std::string& pattern, size_t pos, const char* token) {
  for (size_t i = 0; token[i] != '\0'; ++i) {
    if (pos + i >= pattern.size()) return false;
    if (FoldAscii(pattern[pos + i]) != token[i]) return false;
  }
  return true;
}

void AppendNumber(std::string& out, int value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
  out += buffer;
}

}  // namespace

std::string FormatDateTime(const std::string& pattern, TDateTime value) {
  const DateTimeParts p = DecodeDateTime(value);
  struct Token {
    const char* text;
    int DateTimeParts::*field;
    int width;
    int modulo;  // 0 = the whole value
  };
  // Longer tokens first so that "YYYY" is not read as two "YY".
  static const Token kTokens[] = {
      {"YYYY", &DateTimeParts::year, 4, 0},       {"YY", &DateTimeParts::year, 2, 100},
      {"ZZZ", &DateTimeParts::millisecond, 3, 0}, {"MM", &DateTimeParts::month, 2, 0},
      {"DD", &DateTimeParts::day, 2, 0},          {"HH", &DateTimeParts::hour, 2, 0},
      {"NN", &DateTimeParts::minute, 2, 0},       {"SS", &DateTimeParts::second, 2, 0},
      {"M", &DateTimeParts::month, 1, 0},         {"D", &DateTimeParts::day, 1, 0},
      {"H", &DateTimeParts::hour, 1, 0},          {"N", &DateTimeParts::minute, 1, 0},
      {"S", &DateTimeParts::second, 1, 0},        {"Z", &DateTimeParts::millisecond, 1, 0},
  };
  std::string out;
  size_t pos = 0;
  while (pos < pattern.size()) {
    const Token* match = nullptr;
    for (const Token& token : kTokens) {
      if (StartsWithToken(pattern, pos, token.text)) {
        match = &token;
        break;
      }
    }
    if (match == nullptr) {
      out += pattern[pos++];
      continue;
    }
    int number = p.*(match->field);
    if (match->modulo) number %= match->modulo;
    AppendNumber(out, number, match->width);
    pos += std::char_traits<char>::length(match->text);
  }
  return out;
}

std::string DateToStamp(TDateTime value) { return FormatDateTime("YYYYMMDDHHNNSS", value); }

TDateTime StampToDate(const std::string& stamp) {
  if (stamp.size() < 14) return -1.0;
  for (size_t i = 0; i < 14; ++i) {
    if (stamp[i] < '0' || stamp[i] > '9') return -1.0;
  }
  auto number = [&stamp](size_t from, size_t length) {
    int value = 0;
    for (size_t i = from; i < from + length; ++i) value = value * 10 + (stamp[i] - '0');
    return value;
  };
  DateTimeParts parts;
  parts.year = number(0, 4);
  parts.month = number(4, 2);
  parts.day = number(6, 2);
  parts.hour = number(8, 2);
  parts.minute = number(10, 2);
  parts.second = number(12, 2);
  parts.millisecond = 0;
  TDateTime value = 0;
  if (!TryEncodeDateTime(parts, value)) return -1.0;
  return value;
}

TDateTime RoundDownToTwoSeconds(TDateTime value) {
  DateTimeParts parts = DecodeDateTime(value);
  parts.second &= ~1;
  parts.millisecond = 0;
  TDateTime rounded = value;
  if (!TryEncodeDateTime(parts, rounded)) return value;
  return rounded;
}

}  // namespace tessel

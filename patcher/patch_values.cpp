#include "patcher/patch_values.h"

#include <cstdio>

#include "support/Base_00.h"

namespace tessel {

namespace {

bool ParseHex(const std::string& text, size_t i, int32_t& value) {
  if (i >= text.size()) return false;
  uint32_t result = 0;
  int significant = 0;
  for (; i < text.size(); ++i) {
    int digit = HexDigitValue(text[i]);
    if (digit < 0) return false;
    if (significant > 0 || digit != 0) ++significant;
    if (significant > 8) return false;
    result = (result << 4) | static_cast<uint32_t>(digit);
  }
  value = static_cast<int32_t>(result);
  return true;
}

bool ParseDecimal(const std::string& text, size_t i, int32_t& value) {
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return false;
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  int64_t result = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    result = result * 10 + (text[i] - '0');
    if (result > limit) return false;
  }
  value = static_cast<int32_t>(negative ? -result : result);
  return true;
}

}  // namespace

bool TryParsePatchNumber(const std::string& text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i >= text.size()) return false;
  if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') return ParseHex(text, i + 1, value);
  if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    return ParseHex(text, i + 2, value);
  }
  return ParseDecimal(text, i, value);
}

int32_t StrictNumber(const std::string& text) {
  int32_t value;
  if (!TryParsePatchNumber(text, value)) {
    throw EConvertError("'" + text + "' is not a valid integer value");
  }
  return value;
}

int32_t LenientNumber(const std::string& text, int32_t defaultValue) {
  int32_t value;
  return TryParsePatchNumber(text, value) ? value : defaultValue;
}

std::string Hex8(uint32_t value) {
  char buffer[9];
  std::snprintf(buffer, sizeof buffer, "%08X", static_cast<unsigned>(value));
  return buffer;
}

std::string HexBytes(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string result;
  result.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    result += kDigits[b >> 4];
    result += kDigits[b & 15];
  }
  return result;
}

std::string ByteItems(const std::string& bytes, size_t from, size_t to, const std::string& prefix,
                      const std::string& separator) {
  std::string items;
  for (size_t i = from; i < to; ++i) {
    if (i > from) items += separator;
    items += prefix + HexBytes(bytes.substr(i, 1));
  }
  return items;
}

std::string Decimal(int64_t value) { return std::to_string(value); }

std::string Unquote(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c != '"') result += c;
  }
  return result;
}

bool IsTrueFlag(const std::string& value) { return AsciiUpperCase(value) == "TRUE"; }

std::string FlagResult(bool flag) { return flag ? " -> -1" : " -> 0"; }

}  // namespace tessel

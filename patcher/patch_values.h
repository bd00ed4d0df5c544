#pragma once
// Value conventions of patch scripts: numbers, flags, unquoting, and the
// number forms of the log.
//
// A number: optional leading spaces, then either an optional sign and decimal
// digits (inside the signed 32-bit range), or a hexadecimal number introduced
// by "$", "x", "X", "0x" or "0X" with at most 8 significant digits, which
// gives the full 32-bit pattern ($FFFFFFFF is -1). Nothing may follow.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tessel {

// Raised for a strict number that is not valid.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool TryParsePatchNumber(const std::string& text, int32_t& value);
// Throws EConvertError "'text' is not a valid integer value".
int32_t StrictNumber(const std::string& text);
int32_t LenientNumber(const std::string& text, int32_t defaultValue);

// Eight upper-case hexadecimal digits (two's complement for negatives).
std::string Hex8(uint32_t value);
// Each byte as two upper-case hexadecimal digits, without separators.
std::string HexBytes(const std::string& bytes);
// Bytes [from, to) as prefix + two upper-case hexadecimal digits each,
// joined by separator: one data line of a list file or an assembler block.
std::string ByteItems(const std::string& bytes, size_t from, size_t to, const std::string& prefix,
                      const std::string& separator);
std::string Decimal(int64_t value);

// Every double quote removed.
std::string Unquote(const std::string& text);

// A flag is true when its value in upper case is exactly "TRUE".
bool IsTrueFlag(const std::string& value);
// " -> -1" for true, " -> 0" for false.
std::string FlagResult(bool flag);

}  // namespace tessel

#pragma once
// Text helpers shared by every subsystem. Texts are byte strings in the
// system's code page; positions count from 1; "blank" means empty or made of
// blanks and tabs only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/path_split.h"

namespace tessel {

bool IsBlank(const std::string& text, const std::string& extra = "");
bool Contains(const std::string& part, const std::string& text);
std::string DeleteRange(const std::string& text, int index, int count);
std::string NamePart(const std::string& line);
std::string ValuePart(const std::string& line);
std::string RepeatText(const std::string& text, int count);

// Status of GetField / DeleteField.
enum FieldStatus : int {
  fsFollowed = 0,  // the field was followed by a separator (or n <= 0)
  fsLast = 1,      // it was the last field
  fsMissing = 2,   // the text has fewer than n fields
};

std::string GetField(const std::string& text, int n, const std::string& separator,
                     int* status = nullptr);
std::string NextField(const std::string& text, int& counter, const std::string& separator,
                      int* status = nullptr);
int FieldCount(const std::string& text, const std::string& separator);
std::string DeleteField(const std::string& text, int n, const std::string& separator,
                        int* status = nullptr);

int ElementIndex(const std::string& list, const std::string& item, const std::string& separator);
bool IsElement(const std::string& list, const std::string& item, const std::string& separator);
std::string AppendItem(const std::string& text, const std::string& item,
                       const std::string& separator);
std::string AppendUnique(const std::string& text, const std::string& item,
                         const std::string& separator);
std::string BoolText(bool value);

// Every occurrence replaced left to right; inserted text is never searched
// again. With ignoreCase, occurrences are found on upper-case copies.
std::string ReplaceAll(const std::string& text, const std::string& pattern,
                       const std::string& replacement, bool ignoreCase = false);

// Environment variable, else registry value under "SoftWare\" + IN.
std::string GetSetting(const std::string& name);

uint32_t ByteSwap32(uint32_t value);

// Case helpers. Ansi* fold the letters of the Windows-1252 code page (what the
// system's "locale-aware" comparisons mean); Ascii* fold a-z only.
std::string AsciiUpperCase(std::string text);
std::string AsciiLowerCase(std::string text);
std::string AnsiUpperCase(std::string text);
char AnsiUpperChar(char c);
bool SameTextAnsi(const std::string& a, const std::string& b);
bool SameTextAscii(const std::string& a, const std::string& b);

std::string Trim(const std::string& text);       // blanks and control characters
std::string TrimLeft(const std::string& text);
std::string TrimRight(const std::string& text);

// Strict decimal integer (optional sign, digits, nothing else); false when
// the text is no such number or out of the 32-bit range.
bool TryStrToInt(const std::string& text, int32_t& out);
// As the classic StrToIntDef: also accepts "$" / "0x" hexadecimal.
int32_t StrToIntDef(const std::string& text, int32_t def);

// Upper-case hexadecimal of at least `digits` digits.
std::string IntToHex(uint64_t value, int digits);
// Value of a hexadecimal digit of either case; -1 for any other character.
int HexDigitValue(char c);

// Calls `line(std::string_view)` for each line of `text` as the text reader
// reads them: LF or CR LF ends a line, a CR alone does not, and a last line
// without a line end counts.
template <typename Fn>
void ForEachLine(std::string_view text, Fn&& line) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      line(text.substr(start));
      return;
    }
    const size_t end = lf > start && text[lf - 1] == '\r' ? lf - 1 : lf;
    line(text.substr(start, end - start));
    start = lf + 1;
  }
}
std::vector<std::string> SplitLines(std::string_view text);

std::string IntToStr(int64_t value);

}  // namespace tessel

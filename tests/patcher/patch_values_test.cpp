#include "patcher/patch_values.h"

#include <gtest/gtest.h>

using namespace tessel;

namespace {

bool Parses(const std::string& text, int32_t expected) {
  int32_t value = 12345;
  return TryParsePatchNumber(text, value) && value == expected;
}

bool Rejects(const std::string& text) {
  int32_t value = 12345;
  return !TryParsePatchNumber(text, value) && value == 12345;
}

}  // namespace

TEST(PatchNumber, DecimalWithSignAndLeadingSpacesWithinTheSignedRange) {
  EXPECT_TRUE(Parses("0", 0));
  EXPECT_TRUE(Parses("+17", 17));
  EXPECT_TRUE(Parses("-17", -17));
  EXPECT_TRUE(Parses("   42", 42));
  EXPECT_TRUE(Parses("007", 7));
  EXPECT_TRUE(Parses("2147483647", 2147483647));
  EXPECT_TRUE(Parses("-2147483648", INT32_MIN));
  EXPECT_TRUE(Rejects("2147483648"));
  EXPECT_TRUE(Rejects("-2147483649"));
  EXPECT_TRUE(Rejects("99999999999999999999"));
  EXPECT_TRUE(Rejects(""));
  EXPECT_TRUE(Rejects("   "));
  EXPECT_TRUE(Rejects("-"));
  EXPECT_TRUE(Rejects("+ 1"));
  EXPECT_TRUE(Rejects("42 "));  // nothing may follow, not even a blank
  EXPECT_TRUE(Rejects("\t42"));
  EXPECT_TRUE(Rejects("4a"));
  EXPECT_TRUE(Rejects("1.5"));
}

TEST(PatchNumber, HexadecimalPrefixesGiveFullBitPatterns) {
  EXPECT_TRUE(Parses("$10", 16));
  EXPECT_TRUE(Parses("x1f", 31));
  EXPECT_TRUE(Parses("XaB", 0xAB));
  EXPECT_TRUE(Parses("0x100", 256));
  EXPECT_TRUE(Parses("0XFF", 255));
  EXPECT_TRUE(Parses("  $7FFFFFFF", 0x7FFFFFFF));
  EXPECT_TRUE(Parses("$FFFFFFFF", -1));
  EXPECT_TRUE(Parses("$80000000", INT32_MIN));
  EXPECT_TRUE(Parses("$000000001", 1));  // leading zeros are not significant
  EXPECT_TRUE(Rejects("$100000000"));    // nine significant digits
  EXPECT_TRUE(Rejects("$"));
  EXPECT_TRUE(Rejects("0x"));
  EXPECT_TRUE(Rejects("-$10"));  // no sign before a hexadecimal number
  EXPECT_TRUE(Rejects("+$10"));
  EXPECT_TRUE(Rejects("$-10"));
  EXPECT_TRUE(Rejects("$1G"));
  EXPECT_TRUE(Rejects("$10 "));
  EXPECT_TRUE(Rejects("h'10"));
}

TEST(PatchNumber, StrictRaisesAConversionErrorLenientFallsBack) {
  EXPECT_EQ(StrictNumber("$20"), 32);
  try {
    StrictNumber("xyz");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'xyz' is not a valid integer value");
  }
  EXPECT_THROW(StrictNumber(""), EConvertError);
  EXPECT_EQ(LenientNumber("abc", -1), -1);
  EXPECT_EQ(LenientNumber("", 7), 7);
  EXPECT_EQ(LenientNumber("-3", 7), -3);
}

TEST(PatchValues, NumberFormsFlagsAndUnquoting) {
  EXPECT_EQ(Hex8(0), "00000000");
  EXPECT_EQ(Hex8(0xABCDEF), "00ABCDEF");
  EXPECT_EQ(Hex8(static_cast<uint32_t>(-1)), "FFFFFFFF");
  EXPECT_EQ(HexBytes(std::string("\x00\x0A\xFF", 3)), "000AFF");
  EXPECT_EQ(Unquote("\"a\" \"b"), "a b");
  EXPECT_TRUE(IsTrueFlag("true"));
  EXPECT_TRUE(IsTrueFlag("TrUe"));
  EXPECT_FALSE(IsTrueFlag(" TRUE"));
  EXPECT_FALSE(IsTrueFlag("1"));
  EXPECT_EQ(FlagResult(true), " -> -1");
  EXPECT_EQ(FlagResult(false), " -> 0");
}

#include "support/text.h"

#include <gtest/gtest.h>

using namespace tessel;

TEST(TextTest, GetFieldReportsWhereTheFieldStood) {
  int status = -1;
  EXPECT_EQ(GetField("A;B", 3, ";", &status), "");
  EXPECT_EQ(status, fsMissing);
  EXPECT_EQ(GetField("A;B", 2, ";", &status), "B");
  EXPECT_EQ(status, fsLast);
  EXPECT_EQ(GetField("A;B", 1, ";", &status), "A");
  EXPECT_EQ(status, fsFollowed);
  EXPECT_EQ(GetField("A;B", 0, ";", &status), "");
  EXPECT_EQ(status, fsFollowed);
  EXPECT_EQ(GetField("A;B", -1, ";", &status), "");
  EXPECT_EQ(status, fsFollowed);

  // A trailing separator leaves an empty last field; separators may be longer.
  EXPECT_EQ(GetField("a::b::", 2, "::", &status), "b");
  EXPECT_EQ(status, fsFollowed);
  EXPECT_EQ(GetField("a::b::", 3, "::", &status), "");
  EXPECT_EQ(status, fsLast);
  EXPECT_EQ(GetField("a::b::", 4, "::", &status), "");
  EXPECT_EQ(status, fsMissing);
  EXPECT_EQ(GetField("", 1, ",", &status), "");
  EXPECT_EQ(status, fsLast);

  int counter = 0;
  EXPECT_EQ(NextField("x,y", counter, ","), "x");
  EXPECT_EQ(NextField("x,y", counter, ",", &status), "y");
  EXPECT_EQ(counter, 2);
  EXPECT_EQ(status, fsLast);
}

TEST(TextTest, FieldCountAndDeleteField) {
  EXPECT_EQ(FieldCount("  ", ","), 0);
  EXPECT_EQ(FieldCount("", ","), 0);
  EXPECT_EQ(FieldCount("a,,b", ","), 3);
  EXPECT_EQ(FieldCount("abc", ","), 1);
  EXPECT_EQ(FieldCount("a,", ","), 2);

  int status = -1;
  EXPECT_EQ(DeleteField("a,b,c", 2, ",", &status), "a,c");
  EXPECT_EQ(status, fsFollowed);
  EXPECT_EQ(DeleteField("a,b,c", 1, ","), "b,c");
  EXPECT_EQ(DeleteField("a,b,c", 3, ",", &status), "a,b");
  EXPECT_EQ(status, fsLast);
  EXPECT_EQ(DeleteField("C:\\SDK\\BIN\\", 4, "\\"), "C:\\SDK\\BIN");
  EXPECT_EQ(DeleteField("C:\\SDK\\BIN\\", 3, "\\"), "C:\\SDK\\");
  EXPECT_EQ(DeleteField("abc", 1, ",", &status), "");
  EXPECT_EQ(status, fsLast);
  EXPECT_EQ(DeleteField("a<>b<>c", 2, "<>"), "a<>c");
  EXPECT_EQ(DeleteField("a,b", 5, ",", &status), "a,b");
  EXPECT_EQ(status, fsMissing);
  EXPECT_EQ(DeleteField("a,b", 0, ",", &status), "a,b");
  EXPECT_EQ(status, fsMissing);
}

TEST(TextTest, ElementListsTrimAndIgnoreCase) {
  EXPECT_EQ(ElementIndex("a, B ,c", "b", ","), 2);
  EXPECT_EQ(ElementIndex("a,B", " b ", ","), 2);
  EXPECT_EQ(ElementIndex("a,B", "d", ","), -1);
  EXPECT_EQ(ElementIndex("", "d", ","), -1);
  EXPECT_EQ(ElementIndex("a,B", "  ", ","), 0);
  EXPECT_EQ(ElementIndex("a,B", "a", " "), 0);
  EXPECT_TRUE(IsElement("IF,CD", "cd", ","));
  EXPECT_FALSE(IsElement("IF,CD", "C", ","));

  EXPECT_EQ(AppendUnique("a,B", "b", ","), "a,B");
  EXPECT_EQ(AppendUnique("a,B", " b ", ","), "a,B");
  EXPECT_EQ(AppendUnique("a,B", "c", ","), "a,B,c");
  EXPECT_EQ(AppendUnique("", "c", ","), "c");
  EXPECT_EQ(AppendUnique("a", " ", ","), "a");
  EXPECT_EQ(AppendItem("a", "b", "; "), "a; b");
  EXPECT_EQ(AppendItem(" ", "b", ","), " b");
}

TEST(TextTest, ReplaceAllNeverRescansInsertedText) {
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(ReplaceAll("abab", "ab", "b"), "bb");
  EXPECT_EQ(ReplaceAll("xaay", "a", ""), "xy");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("abc", "b", "b"), "abc");
  EXPECT_EQ(ReplaceAll("abc", "z", "y"), "abc");

  EXPECT_EQ(ReplaceAll("Hello HELLO hello", "hello", "x", true), "x x x");
  EXPECT_EQ(ReplaceAll("Hello HELLO hello", "hello", "x"), "Hello HELLO x");
  // Equal without regard to case: unchanged, not rewritten in the new case.
  EXPECT_EQ(ReplaceAll("abc ABC", "abc", "ABC", true), "abc ABC");
  EXPECT_EQ(ReplaceAll("abc ABC", "abc", "ABC"), "ABC ABC");
  // Code-page letters fold too: e acute matches E acute.
  EXPECT_EQ(ReplaceAll("\xE9t\xC9", "\xE9", "e", true), "ete");
}

TEST(TextTest, AnsiFoldingCoversTheCodePageLetters) {
  EXPECT_EQ(AnsiUpperCase("az09_"), "AZ09_");
  EXPECT_EQ(AnsiUpperCase("\xE0\xFE\xF7\xDF\xB5"), "\xC0\xDE\xF7\xDF\xB5");
  EXPECT_EQ(AnsiUpperCase("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
  EXPECT_EQ(AsciiUpperCase("a\xE0"), "A\xE0");
  EXPECT_EQ(AsciiLowerCase("AbC\xC0"), "abc\xC0");
  EXPECT_TRUE(
      SameTextAnsi("stra\xDF"
                   "e\xE4",
                   "STRA\xDF"
                   "E\xC4"));
  EXPECT_FALSE(SameTextAscii("\xE4", "\xC4"));
  EXPECT_TRUE(SameTextAscii("Abc", "aBC"));
  EXPECT_FALSE(SameTextAnsi("abc", "abcd"));
}

TEST(TextTest, SmallHelpersAtTheirEdges) {
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank(" \t "));
  EXPECT_FALSE(IsBlank(" x "));
  EXPECT_TRUE(IsBlank(" ,; ", ",;"));
  EXPECT_FALSE(IsBlank("\r"));

  EXPECT_FALSE(Contains("", "abc"));
  EXPECT_TRUE(Contains("bc", "abc"));
  EXPECT_FALSE(Contains("BC", "abc"));

  EXPECT_EQ(DeleteRange("abcdef", 3, 2), "abef");
  EXPECT_EQ(DeleteRange("abcdef", 0, 2), "cdef");
  EXPECT_EQ(DeleteRange("abcdef", -5, 1), "bcdef");
  EXPECT_EQ(DeleteRange("abcdef", 2, 0), "abcdef");
  EXPECT_EQ(DeleteRange("abcdef", 5, 100), "abcd");
  EXPECT_EQ(DeleteRange("abc", 9, 1), "abc");

  EXPECT_EQ(NamePart("A=B=C"), "A");
  EXPECT_EQ(ValuePart("A=B=C"), "B=C");
  EXPECT_EQ(NamePart("ABC"), "ABC");
  EXPECT_EQ(ValuePart("ABC"), "");

  EXPECT_EQ(RepeatText("ab", 3), "ababab");
  EXPECT_EQ(RepeatText("ab", -1), "");
  EXPECT_EQ(BoolText(true), "TRUE");
  EXPECT_EQ(BoolText(false), "FALSE");
  EXPECT_EQ(ByteSwap32(0x12345678u), 0x78563412u);
  EXPECT_EQ(BaseName("C:\\X\\A.B.C"), "A");
  EXPECT_EQ(StripExt("C:\\X.D\\A.B.C"), "C:\\X.D\\A.B");

  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
}

TEST(TextTest, NumberConversions) {
  int32_t value = 7;
  EXPECT_TRUE(TryStrToInt("-2147483648", value));
  EXPECT_EQ(value, INT32_MIN);
  EXPECT_TRUE(TryStrToInt("+12", value));
  EXPECT_EQ(value, 12);
  value = 7;
  EXPECT_FALSE(TryStrToInt("2147483648", value));
  EXPECT_FALSE(TryStrToInt("12 ", value));
  EXPECT_FALSE(TryStrToInt("", value));
  EXPECT_FALSE(TryStrToInt("-", value));
  EXPECT_FALSE(TryStrToInt("0x10", value));
  EXPECT_EQ(value, 7);

  EXPECT_EQ(StrToIntDef("  42", -1), 42);
  EXPECT_EQ(StrToIntDef("$FF", -1), 255);
  EXPECT_EQ(StrToIntDef("0x1f", -1), 31);
  EXPECT_EQ(StrToIntDef("$FFFFFFFF", 0), -1);
  EXPECT_EQ(StrToIntDef("$100000000", 5), 5);
  EXPECT_EQ(StrToIntDef("-$10", 0), -16);
  EXPECT_EQ(StrToIntDef("0x", 9), 9);
  EXPECT_EQ(StrToIntDef("12a", 9), 9);
  EXPECT_EQ(StrToIntDef("", 9), 9);

  std::string digits;
  for (int c = 0; c < 256; ++c) {
    if (HexDigitValue(static_cast<char>(c)) >= 0) digits += static_cast<char>(c);
  }
  EXPECT_EQ(digits, "0123456789ABCDEFabcdef");
  EXPECT_EQ(HexDigitValue('f'), 15);
  EXPECT_EQ(HexDigitValue('A'), 10);
  EXPECT_EQ(HexDigitValue('9'), 9);

  EXPECT_EQ(IntToHex(0xAB, 4), "00AB");
  EXPECT_EQ(IntToHex(0x12345, 2), "12345");
  EXPECT_EQ(IntToStr(-17), "-17");
}

TEST(TextTest, LinesEndWithLfOrCrLfAndALastLineWithoutEndCounts) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("a"), Lines{"a"});
  EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"});
  EXPECT_EQ(SplitLines("a\r\nb\nc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(SplitLines("\n\r\n\n"), (Lines{"", "", ""}));
  EXPECT_EQ(SplitLines("a\rb\r"), Lines{"a\rb\r"}) << "a CR alone ends nothing";
  EXPECT_EQ(SplitLines("a\r\r\n"), Lines{"a\r"});
}

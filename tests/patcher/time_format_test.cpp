#include "patcher/time_format.h"

#include <gtest/gtest.h>

#include "tests/support/test_dates.h"
using namespace tessel;
using tessel::test::TestDate;

TEST(TimeFormat, NumericElementsWithAndWithoutLeadingZeros) {
  const TDateTime t = TestDate(2024, 3, 5, 14, 7, 9, 45);  // a Tuesday
  EXPECT_EQ(FormatPatchDateTime("yyyy-mm-dd hh:nn:ss.zzz", t), "2024-03-05 14:07:09.045");
  EXPECT_EQ(FormatPatchDateTime("YY M D H N S Z", t), "24 3 5 14 7 9 45");
  EXPECT_EQ(FormatPatchDateTime("yyy y", t), "2024 24");
  // m right after an hour element is the minute, also across a separator.
  EXPECT_EQ(FormatPatchDateTime("hh:mm", t), "14:07");
  EXPECT_EQ(FormatPatchDateTime("h m", t), "14 7");
  EXPECT_EQ(FormatPatchDateTime("mm hh mm", t), "03 14 07");
  EXPECT_EQ(FormatPatchDateTime("yyyymmddhhnnss", t), "20240305140709");
}

TEST(TimeFormat, NamesDatesTimesAndSeparatorsOfTheFixedEnglishLocale) {
  const TDateTime t = TestDate(2024, 3, 5, 14, 7, 9, 45);
  EXPECT_EQ(FormatPatchDateTime("mmm mmmm ddd dddd aaa aaaa", t),
            "Mar March Tue Tuesday Tue Tuesday");
  EXPECT_EQ(FormatPatchDateTime("ddddd", t), "05/03/2024");
  EXPECT_EQ(FormatPatchDateTime("dddddd", t), "Tuesday, 5 March 2024");
  EXPECT_EQ(FormatPatchDateTime("t|tt", t), "14:07|14:07:09");
  EXPECT_EQ(FormatPatchDateTime("c", t), "05/03/2024 14:07:09");
  EXPECT_EQ(FormatPatchDateTime("c", TestDate(2024, 3, 5, 0, 0, 0, 0)), "05/03/2024");
  // Any part of the time other than zero brings the time along.
  EXPECT_EQ(FormatPatchDateTime("c", TestDate(2024, 3, 5, 14, 0, 0, 0)), "05/03/2024 14:00:00");
  EXPECT_EQ(FormatPatchDateTime("c", TestDate(2024, 3, 5, 0, 7, 0, 0)), "05/03/2024 00:07:00");
  EXPECT_EQ(FormatPatchDateTime("c", TestDate(2024, 3, 5, 0, 0, 9, 0)), "05/03/2024 00:00:09");
  EXPECT_EQ(FormatPatchDateTime("c", TestDate(2024, 3, 5, 0, 0, 0, 1)), "05/03/2024 00:00:00");
  EXPECT_EQ(FormatPatchDateTime("d/m-y:n", t), "5/3-24:7");
  EXPECT_EQ(FormatPatchDateTime("e g|", t), "2024 |");
}

TEST(TimeFormat, TwelveHourElementsQuotedTextAndOtherCharacters) {
  const TDateTime afternoon = TestDate(2024, 12, 31, 14, 7, 9, 0);
  const TDateTime midnight = TestDate(2024, 12, 31, 0, 30, 0, 0);
  const TDateTime noon = TestDate(2024, 12, 31, 12, 0, 0, 0);
  EXPECT_EQ(FormatPatchDateTime("h:nn am/pm", afternoon), "2:07 pm");
  EXPECT_EQ(FormatPatchDateTime("hh:nn AM/PM", midnight), "12:30 AM");
  EXPECT_EQ(FormatPatchDateTime("h a/P", noon), "12 P");
  EXPECT_EQ(FormatPatchDateTime("hh ampm", midnight), "12 AM");
  EXPECT_EQ(FormatPatchDateTime("hh ampm", afternoon), "02 PM");
  EXPECT_EQ(FormatPatchDateTime("hh", afternoon), "14");
  // Quoted text is copied without its quotes; its letters are no elements.
  EXPECT_EQ(FormatPatchDateTime("'yyyy am/pm' \"dd\" hh", afternoon), "yyyy am/pm dd 14");
  EXPECT_EQ(FormatPatchDateTime("'open", afternoon), "open");
  // An am/pm inside quoted text that is never closed is text too.
  EXPECT_EQ(FormatPatchDateTime("hh 'am/pm", afternoon), "14 am/pm");
  EXPECT_EQ(FormatPatchDateTime("Qb-#a", afternoon), "Qb-#a");
  EXPECT_EQ(FormatPatchDateTime("", afternoon), "");
}

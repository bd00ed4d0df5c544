#include "support/date_time.h"

#include <gtest/gtest.h>

#include "tests/support/test_dates.h"
using namespace tessel;
using tessel::test::TestDate;

TEST(DateTimeTest, StampsRoundTripAndRejectImpossibleDates) {
  EXPECT_EQ(DateToStamp(0), "18991230000000");
  EXPECT_EQ(DateToStamp(TestDate(2024, 2, 29, 23, 59, 58)), "20240229235958");
  EXPECT_DOUBLE_EQ(StampToDate("20240229235958"), TestDate(2024, 2, 29, 23, 59, 58));
  EXPECT_EQ(DateToStamp(StampToDate("00010101000000")), "00010101000000");
  EXPECT_EQ(DateToStamp(StampToDate("99991231235959")), "99991231235959");
  // Characters after the fourteenth do not count.
  EXPECT_DOUBLE_EQ(StampToDate("20240101120000xyz"), TestDate(2024, 1, 1, 12));

  EXPECT_DOUBLE_EQ(StampToDate("20000229000000"), TestDate(2000, 2, 29));
  EXPECT_EQ(StampToDate("20230229000000"), -1.0);
  EXPECT_EQ(StampToDate("19000229000000"), -1.0);
  EXPECT_EQ(StampToDate("20230431000000"), -1.0);
  EXPECT_EQ(StampToDate("20231301000000"), -1.0);
  EXPECT_EQ(StampToDate("20230100000000"), -1.0);
  EXPECT_EQ(StampToDate("20230101240000"), -1.0);
  EXPECT_EQ(StampToDate("20230101006000"), -1.0);
  EXPECT_EQ(StampToDate("20230101000060"), -1.0);
  EXPECT_EQ(StampToDate("00000101000000"), -1.0);
  EXPECT_EQ(StampToDate("2023010100000"), -1.0);
  EXPECT_EQ(StampToDate("2023-1-1000000"), -1.0);
  EXPECT_EQ(StampToDate(""), -1.0);
}

TEST(DateTimeTest, FormatTokens) {
  const TDateTime t = TestDate(2007, 3, 4, 5, 6, 7, 89);
  EXPECT_EQ(FormatDateTime("YYYYMMDDHHNN", t), "200703040506");
  EXPECT_EQ(FormatDateTime("HH:NN:SS.ZZZ", t), "05:06:07.089");
  EXPECT_EQ(FormatDateTime("D.M.YY H-N-S", t), "4.3.07 5-6-7");
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd", t), "2007/03/04");
  EXPECT_EQ(FormatDateTime("[x]", t), "[x]");
  EXPECT_EQ(FormatDateTime("", t), "");
}

TEST(DateTimeTest, RoundDownToTwoSeconds) {
  EXPECT_DOUBLE_EQ(RoundDownToTwoSeconds(TestDate(2020, 5, 6, 12, 0, 3, 700)),
                   TestDate(2020, 5, 6, 12, 0, 2));
  EXPECT_DOUBLE_EQ(RoundDownToTwoSeconds(TestDate(2020, 5, 6, 12, 0, 4)),
                   TestDate(2020, 5, 6, 12, 0, 4));
  EXPECT_DOUBLE_EQ(RoundDownToTwoSeconds(TestDate(2020, 5, 6, 23, 59, 59, 999)),
                   TestDate(2020, 5, 6, 23, 59, 58));
}

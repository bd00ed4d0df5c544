#include "platform/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "tests/support/test_dates.h"

using namespace tessel;
using tessel::test::TestParts;

TEST(DateTime, EncodesDaysSinceTheClassicEpoch) {
  TDateTime v = -1;
  ASSERT_TRUE(TryEncodeDateTime(TestParts(1899, 12, 30), v));
  EXPECT_EQ(v, 0.0);
  ASSERT_TRUE(TryEncodeDateTime(TestParts(1970, 1, 1), v));
  EXPECT_EQ(v, 25569.0);
  ASSERT_TRUE(TryEncodeDateTime(TestParts(2000, 3, 1, 12), v));
  EXPECT_EQ(v, 36586.5);
  ASSERT_TRUE(TryEncodeDateTime(TestParts(1, 1, 1), v));
  EXPECT_EQ(v, -693593.0);
  ASSERT_TRUE(TryEncodeDateTime(TestParts(9999, 12, 31, 23, 59, 59, 999), v));
  EXPECT_EQ(DecodeDateTime(v).millisecond, 999);
}

TEST(DateTime, RejectsFieldsOutOfRangeAndLeavesOutputAlone) {
  TDateTime v = 42;
  EXPECT_FALSE(TryEncodeDateTime(TestParts(2023, 2, 29), v));
  EXPECT_FALSE(TryEncodeDateTime(TestParts(1900, 2, 29), v));  // century, not leap
  EXPECT_FALSE(TryEncodeDateTime(TestParts(0, 1, 1), v));
  EXPECT_FALSE(TryEncodeDateTime(TestParts(10000, 1, 1), v));
  EXPECT_FALSE(TryEncodeDateTime(TestParts(2024, 13, 1), v));
  EXPECT_FALSE(TryEncodeDateTime(TestParts(2024, 0, 1), v));
  EXPECT_FALSE(TryEncodeDateTime(TestParts(2024, 4, 31), v));
  EXPECT_FALSE(TryEncodeDateTime(TestParts(2024, 1, 1, 24), v));
  EXPECT_FALSE(TryEncodeDateTime(TestParts(2024, 1, 1, 0, 60), v));
  EXPECT_FALSE(TryEncodeDateTime(TestParts(2024, 1, 1, 0, 0, 60), v));
  EXPECT_FALSE(TryEncodeDateTime(TestParts(2024, 1, 1, 0, 0, 0, 1000), v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(TryEncodeDateTime(TestParts(2000, 2, 29), v));
  EXPECT_TRUE(TryEncodeDateTime(TestParts(2024, 2, 29), v));
  EXPECT_EQ(DaysInMonth(2100, 2), 28);
  EXPECT_EQ(DaysInMonth(2024, 0), 0);
  // Far outside the table: no read beyond it.
  EXPECT_EQ(DaysInMonth(2024, 1 << 30), 0);
  EXPECT_EQ(DaysInMonth(2024, -(1 << 30)), 0);
}

TEST(DateTime, RoundTripsEveryFieldAndDayOfWeek) {
  TDateTime v;
  ASSERT_TRUE(TryEncodeDateTime(TestParts(2024, 2, 29, 13, 45, 1, 0), v));
  DateTimeParts p = DecodeDateTime(v);
  EXPECT_EQ(p.year, 2024);
  EXPECT_EQ(p.month, 2);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 13);
  EXPECT_EQ(p.minute, 45);
  EXPECT_EQ(p.second, 1);  // not 0.999 of the second before
  EXPECT_EQ(p.millisecond, 0);
  EXPECT_EQ(p.dayOfWeek, 5);                  // a Thursday
  EXPECT_EQ(DecodeDateTime(0).dayOfWeek, 7);  // the epoch was a Saturday
  EXPECT_EQ(DecodeDateTime(1).dayOfWeek, 1);
  EXPECT_EQ(DecodeDateTime(-1).dayOfWeek, 6);

  // Walk a few centuries day by day at noon: encode and decode must agree.
  for (TDateTime day = -200000; day < 200000; day += 997) {
    DateTimeParts q = DecodeDateTime(day + 0.5);
    TDateTime back;
    ASSERT_TRUE(TryEncodeDateTime(q, back)) << day;
    EXPECT_EQ(back, day + 0.5);
  }
}

TEST(DateTime, NegativeValuesCountTheTimeForwards) {
  TDateTime v;
  ASSERT_TRUE(TryEncodeDateTime(TestParts(1899, 12, 29, 6), v));
  EXPECT_EQ(v, -1.25);
  DateTimeParts p = DecodeDateTime(-1.25);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 6);
  p = DecodeDateTime(-0.25);  // same day as 0.25
  EXPECT_EQ(p.day, 30);
  EXPECT_EQ(p.hour, 6);
}

TEST(DateTime, AbsurdValuesDecodeWithoutOverflow) {
  // Clamped to the first and the last millisecond of the calendar.
  const auto text = [](TDateTime v) {
    const DateTimeParts p = DecodeDateTime(v);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month,
                  p.day, p.hour, p.minute, p.second, p.millisecond);
    return std::string(buffer);
  };
  EXPECT_EQ(text(1e300), "9999-12-31 23:59:59.999");
  EXPECT_EQ(text(-1e300), "0001-01-01 00:00:00.000");
  // The last day itself is no clamp's business.
  EXPECT_EQ(text(2958465.5), "9999-12-31 12:00:00.000");
  EXPECT_EQ(text(2958465.75), "9999-12-31 18:00:00.000");
  EXPECT_EQ(DecodeDateTime(std::numeric_limits<double>::quiet_NaN()).year, 1899);
  EXPECT_EQ(DecodeDateTime(std::numeric_limits<double>::infinity()).year, 1899);
}

// The rounding the decoder uses must be llround's: halves away from zero,
// and no value just below a half pushed up by the addition of one.
TEST(DateTime, RoundingMatchesTheLibrarysOwn) {
  const double cases[] = {0.0,
                          0.5,
                          -0.5,
                          1.5,
                          -1.5,
                          2.5,
                          0.49999999999999994,
                          -0.49999999999999994,
                          4503599627370495.5,
                          -4503599627370495.5,
                          86399999.5,
                          1e15 + 0.5};
  for (const double x : cases) EXPECT_EQ(RoundHalfAway(x), std::llround(x)) << x;
  uint64_t state = 88172645463325252ull;
  for (int i = 0; i < 100000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    const double x = (static_cast<double>(state % 2000001) - 1000000.0) / 7.0 * 1e6;
    ASSERT_EQ(RoundHalfAway(x), std::llround(x)) << x;
  }
}

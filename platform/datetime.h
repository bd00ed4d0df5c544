#pragma once
// TDateTime: days since 1899-12-30 00:00, fraction = time of day. Pure calendar
// arithmetic lives here so the platform (file times, clock) and every layer
// above share one representation.

#include <cstdint>

namespace tessel {

using TDateTime = double;

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int dayOfWeek = 7;  // 1 = Sunday ... 7 = Saturday (filled by DecodeDateTime)
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// False (and `out` untouched) when a field is out of range: year 1..9999,
// month 1..12, a day that exists in that month, hour 0..23, minute and
// second 0..59, millisecond 0..999.
bool TryEncodeDateTime(const DateTimeParts& parts, TDateTime& out);

// The nearest whole number, halves away from zero (as llround), for values
// below 2^53 in size; done here so that the program needs no maths library.
int64_t RoundHalfAway(double x);

// Splits a date-time into its fields; negative values and fractions are
// handled the way the classic date-time type does (the time part is the
// absolute fraction).
DateTimeParts DecodeDateTime(TDateTime value);

}  // namespace tessel

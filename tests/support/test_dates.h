#pragma once
// Date-times for tests, from their fields.

#include <gtest/gtest.h>

#include "platform/datetime.h"

namespace tessel::test {

// The fields as given, valid or not.
inline DateTimeParts TestParts(int year, int month, int day, int hour = 0, int minute = 0,
                               int second = 0, int millisecond = 0) {
  DateTimeParts parts;
  parts.year = year;
  parts.month = month;
  parts.day = day;
  parts.hour = hour;
  parts.minute = minute;
  parts.second = second;
  parts.millisecond = millisecond;
  return parts;
}

inline TDateTime TestDate(int year, int month, int day, int hour = 0, int minute = 0,
                          int second = 0, int millisecond = 0) {
  TDateTime value = 0;
  EXPECT_TRUE(
      TryEncodeDateTime(TestParts(year, month, day, hour, minute, second, millisecond), value))
      << "no such date-time";
  return value;
}

}  // namespace tessel::test

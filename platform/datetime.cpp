#include "platform/datetime.h"

#include <cmath>
#include <cstdlib>

namespace tessel {

namespace {

constexpr int64_t kMsPerDay = 86400000;
// 1899-12-30 is day 0; 1970-01-01 is day 25569.
constexpr int64_t kEpochOffset = 25569;
// Days of 0001-01-01 and 9999-12-31 relative to 1899-12-30.
constexpr int64_t kMinDay = -693593;
constexpr int64_t kMaxDay = 2958465;

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDateTime(const DateTimeParts& parts, TDateTime& out) {
  if (parts.year < 1 || parts.year > 9999) return false;
  // A month out of range has no days, so it fails here.
  if (parts.day < 1 || parts.day > DaysInMonth(parts.year, parts.month)) return false;
  if (parts.hour < 0 || parts.hour > 23 || parts.minute < 0 || parts.minute > 59) return false;
  if (parts.second < 0 || parts.second > 59) return false;
  if (parts.millisecond < 0 || parts.millisecond > 999) return false;
  const int64_t days = DaysFromCivil(parts.year, static_cast<unsigned>(parts.month),
                                     static_cast<unsigned>(parts.day)) +
                       kEpochOffset;
  const int64_t ms =
      ((parts.hour * 60LL + parts.minute) * 60 + parts.second) * 1000 + parts.millisecond;
  const double time = static_cast<double>(ms) / kMsPerDay;
  // Before day 0 the time of day still counts forwards: its fraction is
  // subtracted, so that -1.25 is 06:00 on the day before.
  out = days < 0 ? static_cast<double>(days) - time : static_cast<double>(days) + time;
  return true;
}

int64_t RoundHalfAway(double x) {
  int64_t whole = static_cast<int64_t>(x);                 // towards zero
  const double fraction = x - static_cast<double>(whole);  // exact below 2^53
  if (fraction >= 0.5) ++whole;
  if (fraction <= -0.5) --whole;
  return whole;
}

DateTimeParts DecodeDateTime(TDateTime value) {
  DateTimeParts parts;
  if (!std::isfinite(value)) return parts;
  // Clamp to the representable calendar so that absurd values cannot overflow.
  if (value < static_cast<double>(kMinDay)) value = static_cast<double>(kMinDay);
  if (value > static_cast<double>(kMaxDay + 1)) value = static_cast<double>(kMaxDay + 1);
  // Rounding to the millisecond keeps 12:00:01 from decoding as 12:00:00.999.
  int64_t total = RoundHalfAway(value * static_cast<double>(kMsPerDay));
  if (total >= (kMaxDay + 1) * kMsPerDay) total = (kMaxDay + 1) * kMsPerDay - 1;
  const int64_t days = total / kMsPerDay;  // towards zero, as the classic type does
  int64_t ms = std::llabs(total % kMsPerDay);
  CivilFromDays(days - kEpochOffset, parts.year, parts.month, parts.day);
  parts.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  parts.second = static_cast<int>(ms % 60);
  ms /= 60;
  parts.minute = static_cast<int>(ms % 60);
  parts.hour = static_cast<int>(ms / 60);
  parts.dayOfWeek = static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
  return parts;
}

}  // namespace tessel

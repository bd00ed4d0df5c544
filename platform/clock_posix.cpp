#include <time.h>

#include "platform/clock.h"

namespace tessel {

namespace {

TDateTime FromLocalTm(const struct tm& t, int milliseconds) {
  DateTimeParts parts;
  parts.year = t.tm_year + 1900;
  parts.month = t.tm_mon + 1;
  parts.day = t.tm_mday;
  parts.hour = t.tm_hour;
  parts.minute = t.tm_min;
  // A leap second is shown as the last second of its minute.
  parts.second = t.tm_sec > 59 ? 59 : t.tm_sec;
  parts.millisecond = milliseconds;
  TDateTime value = 0;
  TryEncodeDateTime(parts, value);
  return value;
}

}  // namespace

TDateTime Now() {
  struct timespec ts;
  ::clock_gettime(CLOCK_REALTIME, &ts);
  return LocalDateTimeFromUnix(ts.tv_sec, static_cast<int>(ts.tv_nsec / 1000000));
}

uint32_t TickCount() {
  struct timespec ts;
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + ts.tv_nsec / 1000000;
  return static_cast<uint32_t>(ms);
}

TDateTime LocalDateTimeFromUnix(int64_t seconds, int milliseconds) {
  const time_t t = static_cast<time_t>(seconds);
  struct tm local;
  if (::localtime_r(&t, &local) == nullptr) return 0;
  if (milliseconds < 0) milliseconds = 0;
  if (milliseconds > 999) milliseconds = 999;
  return FromLocalTm(local, milliseconds);
}

int64_t UnixFromLocalDateTime(TDateTime value) {
  const DateTimeParts parts = DecodeDateTime(value);
  struct tm local = {};
  local.tm_year = parts.year - 1900;
  local.tm_mon = parts.month - 1;
  local.tm_mday = parts.day;
  local.tm_hour = parts.hour;
  local.tm_min = parts.minute;
  local.tm_sec = parts.second;
  local.tm_isdst = -1;  // let the time zone rules decide
  return static_cast<int64_t>(::mktime(&local));
}

}  // namespace tessel

#pragma once
// Wall clock and tick count.

#include <cstdint>
#include <ctime>

#include "platform/datetime.h"

namespace tessel {

// Current local date and time.
TDateTime Now();

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t TickCount();

// Conversions between seconds since the Unix epoch (UTC) and local TDateTime.
TDateTime LocalDateTimeFromUnix(int64_t seconds, int milliseconds = 0);
int64_t UnixFromLocalDateTime(TDateTime value);

}  // namespace tessel

#pragma once
// Date-time helpers on TDateTime: time stamps "YYYYMMDDHHNNSS" and a small
// formatter for the fixed patterns the system uses.

#include <string>

#include "platform/datetime.h"

namespace tessel {

// Formats with the tokens YYYY, YY, MM, DD, HH, NN, SS, ZZZ (and M, D, H, N,
// S without leading zero); every other character is copied. Enough for the
// system's fixed patterns ("YYYYMMDDHHNNSS", "YYYYMMDDHHNN", "HH:NN:SS.ZZZ").
std::string FormatDateTime(const std::string& pattern, TDateTime value);

// "YYYYMMDDHHNNSS"; date 0 gives "18991230000000".
std::string DateToStamp(TDateTime value);

// Characters 1-4 year, 5-6 month, 7-8 day, 9-10 hour, 11-12 minute, 13-14
// second; characters after the fourteenth are ignored. -1.0 when the text
// gives no valid date and time (29 February only in leap years).
TDateTime StampToDate(const std::string& stamp);

// Rounds down to the 2-second resolution of classic file dates.
TDateTime RoundDownToTwoSeconds(TDateTime value);

}  // namespace tessel

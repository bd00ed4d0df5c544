#pragma once
// The date-time pattern language of INSERTTIME.
//
// Elements (letters in any case): y/yy two-digit year, yyy/yyyy four-digit
// year; m/mm month (minutes right after an hour element), mmm/mmmm month
// name; d/dd day, ddd/dddd (also aaa/aaaa) day name, ddddd/dddddd short and
// long date; e era year, g era name; h/hh hour; n/nn minute; s/ss second;
// z/zzz millisecond; t/tt short and long time; c short date and long time
// (the time left out at midnight); am/pm and a/p the written letters, ampm
// the locale's text, each switching the hours to 1..12; / and : the date
// and time separators. Text in single or double quotes is copied without
// the quotes; any other character is copied.
//
// The locale-dependent elements follow one fixed English convention instead
// of the host's locale, so a script writes the same bytes on every machine:
// English month and day names ("Jan"/"January", "Mon"/"Monday"), date
// separator "/", time separator ":", short date "dd/mm/yyyy", long date
// "dddd, d mmmm yyyy", short time "hh:nn", long time "hh:nn:ss", morning and
// afternoon texts "AM" and "PM". The Gregorian calendar has one era: e is
// the plain year and g is empty.

#include <string>

#include "platform/datetime.h"

namespace tessel {

std::string FormatPatchDateTime(const std::string& pattern, TDateTime value);

}  // namespace tessel

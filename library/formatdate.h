// Dates as text: the picture language of FORMATDATETIME and DATETOSTR, and
// the splitting of a day count into its calendar parts that every date
// function shares.
#pragma once

#include <string>

#include "platform/platform.h"

namespace tam {

// The longest text the formatter produces, in bytes.
constexpr std::size_t kMaxDateText = 256;

// A day count taken apart. Days before 1 January of the year 1 have year,
// month and day 0; the time of day comes from the fraction's magnitude,
// rounded to the millisecond.
struct DateParts {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, msec = 0;
  int dayOfWeek = 1;  // 1 = Sunday ... 7 = Saturday
};

// The calendar of a day count is computed while its magnitude stays below
// this; farther out the date parts are 0 and the time is 0:00 (NaN and the
// infinities count as day 0).
constexpr double kMaxDayCount = 1e9;

DateParts SplitDate(double days);

// The date and time of `days` by the picture `format`, with the regional
// settings and era calendar of `from` (default: the platform in use). Named
// formats inside named formats produce nothing; the text is cut at
// kMaxDateText bytes, never inside a double-byte character.
std::string FormatDateTime(const std::string& format, double days, Platform& from);
std::string FormatDateTime(const std::string& format, double days);

}  // namespace tam

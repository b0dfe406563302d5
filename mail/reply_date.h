// The Date line of a reply: "Sun, 6 Dec 2026 09:05:03 +0900".
#pragma once

#include <string>

#include "platform/platform.h"

namespace tam {

// A local time and the time-zone bias B in minutes (UTC = local time + B):
// day name, day, month name, year, time and zone ("+" when B is negative).
std::string FormatReplyDate(const LocalTime& t, int bias);

// The platform's clock and standard time-zone bias, formatted.
std::string ReplyDateNow();

}  // namespace tam

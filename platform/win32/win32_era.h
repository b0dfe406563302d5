// The era of a date as the system's date formatting writes it in the user's
// alternative calendar, when that is the Japanese era calendar.
#pragma once

#include "platform/platform.h"

namespace tam {

// Whether the user's alternative calendar is the Japanese era calendar (it
// puts 1 May 2019 in the first year of an era).
bool Win32HasJapaneseCalendar();

// The system's era of the date when it has the Japanese era calendar, else the
// era computed from the era table (JapaneseEra). False when there is none.
bool Win32Era(int year, int month, int day, EraInfo& era);

// Whether the user's locale is Japanese.
bool Win32JapaneseLocale();

}  // namespace tam

// Dates as the conversions read and write them, by the regional settings.
#pragma once

#include <string>

namespace tam {

// The date by the short date picture and the time by the long time picture.
std::string FormatDate(double days);

// Reads "yyyy/mm/dd", "yyyy-mm-dd", "h:mm[:ss]" or both, separated by blanks.
// Returns false when the text is no date.
bool ParseDateText(const std::string& text, double& out);

}  // namespace tam

// The value texts of the settings file: escaping of "String" values so that
// each stays on one line, and the texts of "Float" and "Date" values.
#pragma once

#include <cstdint>
#include <string>

namespace tam {

// "%" becomes "%%", every byte below the blank "%" and two upper-case hex
// digits; double-byte characters pass whole, so their trail bytes are never
// taken for an escape.
std::string EscapeSettingText(const std::string& text);
// The reverse; a "%" that starts no escape is kept as it is.
std::string UnescapeSettingText(const std::string& text);

// The shortest decimal text that reads back to exactly d ("0.1", "1E+20").
std::string FormatSettingDouble(double d);
// The same for a single-precision number: the shortest text that reads back
// to the same single.
std::string FormatSettingSingle(float f);

// "yyyy/mm/dd hh:nn:ss" of a day count (the seconds truncated).
std::string FormatSettingDate(double days);
// Reads a date-time text: the pattern above exactly, or else whatever the
// value conversion accepts. False when neither reads it.
bool ParseSettingDate(const std::string& text, double& days);

// A decimal integer in the 32-bit range, blanks around allowed.
bool ParseSettingInteger(const std::string& text, std::int32_t& out);

}  // namespace tam

// Header lines by name: the comparison key, lookups of a value, counting,
// removal, and the measures of a line list that the mail functions share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "mail/mail_state.h"

namespace tam {

// The form in which a header name is compared: trimmed, upper case, ending
// in a colon ("subject", " Subject ", "SUBJECT:" all give "SUBJECT:").
std::string HeaderKey(const std::string& name);

// Whether line starts with key (an upper-case key ending in a colon),
// compared without regard to case.
bool HeaderMatches(const std::string& line, const std::string& key);

// The value of the first header named key among lines [begin, end): the rest
// of its line, trimmed, followed by its continuation lines without their
// first blank. Empty when no line matches.
std::string LookupHeaderValue(const LineList& lines, std::size_t begin, std::size_t end, const std::string& key);
inline std::string LookupHeaderValue(const LineList& lines, const std::string& key) {
  return LookupHeaderValue(lines, 0, lines.size(), key);
}

// The value of the n-th (from 0) header named key: leading spaces removed,
// continuation lines appended as above. Empty when there are fewer.
std::string HeaderValueOf(const LineList& lines, const std::string& key, std::int32_t n);

// Number of lines that start with key (continuation lines never do).
std::int32_t CountHeader(const LineList& lines, const std::string& key);

// Removes every header named key together with its continuation lines.
void RemoveHeader(LineList& lines, const std::string& key);

// All lines, each followed by CR LF.
std::string JoinLines(const LineList& lines);
std::string JoinLines(const LineStore& lines);

// The greatest line length (characters or bytes) and the number of the first
// line that has it; 0 and -1 when no line is longer than 0.
struct LongestLine {
  std::int32_t length = 0;
  std::int32_t line = -1;
};
LongestLine FindLongestLine(const LineList& lines, bool inBytes);
LongestLine FindLongestLine(const LineStore& lines, bool inBytes);

}  // namespace tam

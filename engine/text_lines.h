// Line lists as the plug-in reads and writes its own and the host's files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tam {

// Splits text into lines: CR LF, a lone CR and a lone LF each end a line; a
// final break adds no empty line. Every other byte, NUL included, stays in
// its line.
std::vector<std::string> SplitTextLines(const std::string& text);

// Every line followed by CR LF.
std::string JoinTextLines(const std::vector<std::string>& lines);

// Length in bytes of the Shift-JIS character at s[i]: two for a lead byte
// followed by a byte that can trail one (0x40 and above), else one. A lead
// byte before a control character or "%" therefore stands alone, so the
// character after it is never swallowed.
std::size_t SjisCharSize(const std::string& s, std::size_t i);

}  // namespace tam

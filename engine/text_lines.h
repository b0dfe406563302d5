// Line lists: programs, mails and the files of the plug-in and the host as
// lines without their breaks, and back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/sjis.h"  // the character sizes that line-wise readers use with these

namespace tam {

// Splits text into lines: CR LF, a lone CR and a lone LF each end a line; a
// final break adds no empty line. Every other byte, NUL included, stays in
// its line.
std::vector<std::string> SplitTextLines(const std::string& text);
// The same lines as views into text, which outlives them.
std::vector<std::string_view> SplitTextLineViews(std::string_view text);

// Every line followed by CR LF.
std::string JoinTextLines(const std::vector<std::string>& lines);

}  // namespace tam

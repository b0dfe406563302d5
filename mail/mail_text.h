// Mails as text: a stored mail cut into lines, and a reply put together as
// the plug-in stores it.
#pragma once

#include <string>

#include "mail/mail_state.h"

namespace tam {

// A line ends at CR LF, at a lone CR or at a lone LF; a break at the very end
// adds no empty line. Every other byte, NUL and TAB included, is kept.
LineList SplitMailText(const std::string& text);

// The reply as one list: the header lines, one empty line when the header is
// not empty and its last line is not empty, then the body lines.
LineList StoredReply(const LineList& header, const LineList& body);

}  // namespace tam

// A reply put together as the plug-in stores it. A stored mail is cut into
// lines by SplitTextLines (engine/text_lines.h).
#pragma once

#include <string>

#include "mail/mail_state.h"

namespace tam {

// The reply as one list: the header lines, one empty line when the header is
// not empty and its last line is not empty, then the body lines.
LineList StoredReply(const LineList& header, const LineList& body);
LineList StoredReply(const LineList& header, const LineStore& body);

}  // namespace tam

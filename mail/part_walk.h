// The walk of a referenced mail's MIME structure: fills RefHeader with the
// top-level header, RefBody with the bodies of all plain-text parts,
// AttachedFiles with the names of attached parts and HtmlPart.
#pragma once

#include <string_view>
#include <vector>

#include "mail/mail_state.h"

namespace tam {

// Appends to the four referenced-mail members of state (the caller empties
// them first). Runs without recursion in time linear in the size of the
// mail, whatever its nesting.
void WalkMail(const LineList& lines, TMailState& state);
// The same walk over lines the caller is done with.
void WalkMail(LineList&& lines, TMailState& state);
// The same walk over a stored mail (lines end in CR LF, CR or LF) read in
// place, without a text per line. With borrow, RefBody's lines stay in text
// (RefBody.Borrow), which the caller keeps unchanged while they are read.
void WalkMailText(std::string_view text, TMailState& state, bool borrow = false);

}  // namespace tam

// The walk of a referenced mail's MIME structure: fills RefHeader with the
// top-level header, RefBody with the bodies of all plain-text parts,
// AttachedFiles with the names of attached parts and HtmlPart.
#pragma once

#include "mail/mail_state.h"

namespace tam {

// Appends to the four referenced-mail members of state (the caller empties
// them first). Runs without recursion in time linear in the size of the
// mail, whatever its nesting.
void WalkMail(const LineList& lines, TMailState& state);
// The same walk over lines the caller is done with: the lines of plain-text
// bodies are moved into RefBody instead of copied, and what is left of lines
// afterwards is unspecified.
void WalkMail(LineList&& lines, TMailState& state);

}  // namespace tam

// The mail function handler: the 32 functions through which a reply program
// reads the referenced mail and builds the reply.
#pragma once

#include <string>
#include <vector>

#include "engine/calc.h"
#include "engine/value.h"
#include "mail/mail_state.h"

namespace tam {

// The library calling convention over one mail state: name as written (any
// case, blanks around), arguments, result, found; returns success.
bool MailFunction(TMailState& mail, const std::string& name, const Value& args, Value& result, bool& found);

// Every name of the handler, upper-case (for the reference's completeness).
std::vector<std::string> MailFunctionNames();

// The handler to install into an engine, and its resolver; mail must
// outlive them.
FunctionLibrary MailFunctionHandler(TMailState& mail);
FunctionResolver MailFunctionResolver(TMailState& mail);

}  // namespace tam

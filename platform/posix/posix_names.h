// Names on a posix system are bytes, usually UTF-8; scripts hold Shift-JIS.
// A name converts only when the conversion is exact both ways, so that every
// name read from the system can be handed back to it unchanged.
#pragma once

#include <string>

namespace tam::posix {

// A script's Shift-JIS text as a native name.
std::string NativeName(const std::string& sjis);
// A native name as a script's Shift-JIS text.
std::string ScriptName(const std::string& native);

// Whether the terminal (judged by the locale variables) expects UTF-8.
bool TerminalIsUtf8();

}  // namespace tam::posix

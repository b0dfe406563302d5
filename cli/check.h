// Checking reply programs before they reach the mail client: the structure
// errors the plug-in would stop at.
#pragma once

#include <string>
#include <vector>

namespace tam::cli {

// The parse errors of a program (Shift-JIS text), each as " message".
std::vector<std::string> CheckProgramText(const std::string& program);

// "tamberlo check [--utf8] PROGRAM...": exit 0 when every program parses, 1
// when one does not or cannot be read, 2 on bad usage.
int CheckCommand(const std::vector<std::string>& args);

}  // namespace tam::cli

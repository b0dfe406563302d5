// Checking reply programs before they reach the mail client: the structure
// errors the plug-in would stop at, and warnings about what parses but is
// almost certainly a mistake.
#pragma once

#include <string>
#include <vector>

namespace tam::cli {

struct CheckNote {
  int line = 0;  // a warning's line, counted from 1; 0 for the parse error, whose text names its line
  bool warning = false;
  std::string text;  // Shift-JIS
};

// The parse error of a program (Shift-JIS text), or else its warnings.
std::vector<CheckNote> CheckProgram(const std::string& program);

// A note as the tool shows it: "FILE: message" for the parse error,
// "FILE:LINE: warning: message" for a warning.
std::string NoteText(const std::string& file, const CheckNote& note);

// "tamberlo check [--utf8] [--strict] PROGRAM...": exit 0 when every
// program parses (with --strict: and has no warning), 1 when one does not or
// cannot be read, 2 on bad usage.
int CheckCommand(const std::vector<std::string>& args);

}  // namespace tam::cli

// The debug bundle: one mail, one reply program, the option line and the
// current account's four values, passed from the plug-in to the debugger in
// one text file of sections, each opened by a marker line ("[Mail]", ...).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/file_access.h"

namespace tam {

struct DebugBundle {
  std::vector<std::string> mail;     // lines of the stored mail
  std::vector<std::string> program;  // lines of the reply program
  std::string option;
  std::string accountTitle;
  std::string accountUser;
  std::string accountAddress;
  std::string accountName;
};

// The file's lines: "[Mail]" and the mail, "[Program]" and the program, then
// "[Option]" and the option line only when withOption, then the four
// account sections with one line each (empty values give empty lines).
std::vector<std::string> BundleLines(const DebugBundle& b, bool withOption);

// Writes the bundle into a new temporary file "TMP....TMP" in folder;
// returns the file's name, or empty when it could not be written.
std::string WriteBundleFile(FileAccess& files, const std::string& folder, const DebugBundle& b, bool withOption);

// Reads a bundle's text into target. Markers count only as whole lines; a
// marker empties its section, and the sections that do not occur keep what
// target held before. Mail and program lines are appended; of several lines
// under a one-value section the last wins; lines before the first marker
// are ignored.
void ReadBundleText(const std::string& text, DebugBundle& target);

// Reads the bundle file into target; false (target untouched) when the file
// does not exist, cannot be read or is too large to hold.
bool ReadBundleFile(FileAccess& files, const std::string& fileName, DebugBundle& target);

}  // namespace tam

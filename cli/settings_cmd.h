// "tamberlo settings ...": reading and writing the plug-in's settings file,
// and its reply programs as plain files.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tam::cli {

// args are the words after "settings". Returns the exit code: 0 done, 1 the
// entry is missing or a file could not be read or written, 2 a usage error.
int SettingsCommand(const std::vector<std::string>& args);
int SettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tam::cli

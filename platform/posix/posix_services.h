// The services behind the posix backend's dialogs, shell and colours.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace tam::posix {

// Dialogs ask on the terminal when standard input is one (the question goes
// to standard error); otherwise they take the default answer: the default
// button, the preset text as if OK, and cancel for the folder chooser.
int MessageBoxDialog(const std::string& text, const std::string& caption, unsigned flags);
std::optional<std::string> InputBoxDialog(const std::string& caption, const std::string& prompt,
                                          const std::string& preset);
std::optional<std::string> SelectDirectoryDialog(const std::string& start, bool allowCreate);

// The button a message box of these flags gives when Enter is pressed.
int DefaultButton(unsigned flags);

// Starts a program, or opens a document with the desktop's opener, without
// waiting; above 32 on success, else a shell error code.
int ShellStart(const std::string& file, const std::string& params, const std::string& folder);

// A broken-down time as the platform's local time (a leap second reads as 59).
LocalTime FromTm(const std::tm& t, int msec);

// The Windows standard colour scheme, for system colour indices 0 to 30.
std::uint32_t DefaultSystemColor(int index);

}  // namespace tam::posix

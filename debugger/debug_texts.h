// What the debugger's editing windows hold: the mail, the program, the
// option line and the account's four values. They are remembered in the
// debugger's settings file between runs and overwritten by a debug bundle.
#pragma once

#include <string>

#include "settings/file_access.h"
#include "settings/settings_store.h"

namespace tam {

struct DebugTexts {
  std::string mail;     // the mail window: lines, each ending in CR LF
  std::string program;  // the program window
  std::string option;
  std::string accountTitle, accountUser, accountAddress, accountName;
};

// The texts of the previous run (Last\Mail, Last\Program, ...); missing keys
// give empty texts. A program whose last line is not empty gets one empty
// line after it.
DebugTexts LoadRememberedTexts(const SettingsStore& store);

// Writes the texts under Last\...; the caller saves the file.
void RememberTexts(SettingsStore& store, const DebugTexts& texts);

// Reads the bundle file over texts: each section found replaces its text,
// the others keep theirs. False (texts untouched) when there is no such
// file or it cannot be read.
bool ReadBundleInto(FileAccess& files, const std::string& fileName, DebugTexts& texts);

}  // namespace tam

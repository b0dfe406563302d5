// TSetupForm: the setup dialog, in which the user writes, orders and names
// the reply programs, chooses the menus and the output, shown modally.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "settings/file_access.h"
#include "settings/settings_store.h"

namespace tam::win {

struct SetupContext {
  SettingsStore* store = nullptr;
  FileAccess* files = nullptr;
  bool debuggerExists = false;  // Vodrin.exe in the plug-in folder
  // The mail client's install folder, ending in a backslash; empty (after
  // telling the user) when it is unknown.
  std::function<std::string()> installFolder;
};

// Shows the setup dialog modally over owner (may be null) and destroys it
// when it closes.
void ShowSetupForm(HWND owner, const SetupContext& context);
// Before the library is unloaded.
void UnregisterSetupForm();

}  // namespace tam::win

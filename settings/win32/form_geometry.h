// Saving and restoring the geometry of a real window in the settings store.
#pragma once

#include <windows.h>

#include <string>

#include "settings/settings_store.h"

namespace tam {

// Stores the window's normal position (and size, when it has a sizing
// border) and its state under section, then saves the settings file. Does
// nothing when the window's placement cannot be read.
bool SaveFormGeometry(HWND window, SettingsStore& store, const std::string& section);

// Moves the window to its stored place, kept on the screen, and gives it its
// stored state.
void LoadFormGeometry(HWND window, const SettingsStore& store, const std::string& section);

}  // namespace tam

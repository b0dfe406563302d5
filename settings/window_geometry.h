// Remembering a window's position, size and state in the settings store
// under the window's own section ("SetupForm\Left", ...). The logic works on
// rectangles; the win32 part reads and applies them for a real window.
#pragma once

#include <string>

#include "settings/settings_store.h"

namespace tam {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

enum class WindowState { kNormal, kMinimized, kMaximized };

// What the window reports when its geometry is saved.
struct SavedPlacement {
  Rect normal;  // the placement's normal rectangle (work-area coordinates)
  bool sizeable = false;
  WindowState state = WindowState::kNormal;
};

// Writes Left, Top (and Width, Height for a sizeable window) and State of
// the placement into section, then saves the settings file.
bool SaveWindowGeometry(SettingsStore& store, const std::string& section, const SavedPlacement& p);

// The window as it is before its geometry is loaded.
struct CurrentBounds {
  int left = 0, top = 0, width = 0, height = 0;  // screen coordinates
  bool havePlacement = false;                    // the placement could be read
  Rect normal;                                   // its normal rectangle
  bool sizeable = false;
  int screenWidth = 0, screenHeight = 0;
};

struct LoadedBounds {
  int left = 0, top = 0, width = 0, height = 0;
  WindowState state = WindowState::kNormal;
};

// The stored geometry turned into screen coordinates and kept on the screen.
LoadedBounds LoadWindowGeometry(const SettingsStore& store, const std::string& section, const CurrentBounds& now);

}  // namespace tam

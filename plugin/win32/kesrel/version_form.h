// TVersionForm: the about box, with the plug-in's icon taken from a
// TCommonForm, and a hidden picture behind the icon.
#pragma once

#include <windows.h>

namespace tam::win {

// Shows the about box modally over owner (may be null).
void ShowVersionForm(HWND owner);
// Before the library is unloaded.
void UnregisterVersionForm();

// Clicks on the icon that bring up the hidden picture.
constexpr int kPictureClicks = 38;

}  // namespace tam::win

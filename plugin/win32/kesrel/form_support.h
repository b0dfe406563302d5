// What the plug-in's forms share: their window classes, child controls made
// in code, and the modal loop that keeps the owner disabled while a form is
// open.
#pragma once

#include <windows.h>

namespace tam::win {

// Registers a form class of the plug-in once (button-face background, arrow
// cursor); true when it is registered.
bool RegisterFormClass(const char* name, WNDPROC proc, HICON icon);

// A child control with the given font (null: the form's default GUI font).
HWND CreateChild(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
                 HFONT font = nullptr, DWORD exStyle = 0);

// Shows the form and runs its messages until closed becomes true or the
// form is gone; the owner (may be null) is disabled meanwhile and activated
// afterwards. A quit message is passed on to the host's loop.
void RunModal(HWND form, const bool& closed, HWND owner);

}  // namespace tam::win

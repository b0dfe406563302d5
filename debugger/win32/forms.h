// What Vodrin's windows have in common: their classes, child controls, fonts
// and texts.
#pragma once

#include <windows.h>

#include <string>

namespace tam::vodrin {

// Window procedures and callbacks may be called on a stack aligned to 4
// bytes only.
#define VODRIN_CALLBACK __attribute__((force_align_arg_pointer)) LRESULT CALLBACK

HINSTANCE Instance();
// Registers a window class of this program once; false when that failed.
bool RegisterForm(const char* name, WNDPROC proc, int background = COLOR_BTNFACE + 1);
// A child control in the dialog font.
HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
           DWORD exStyle = 0);
// The font of the text windows: a Japanese fixed-pitch font.
HFONT MemoFont();
// The text of an edit control or any window, Shift-JIS, whole.
std::string WindowText(HWND window);
// A window's state struct behind GWLP_USERDATA.
template <class T>
T* StateOf(HWND window) {
  return reinterpret_cast<T*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
// Shows a hidden or minimised window and brings it forward.
void ShowForm(HWND form);

}  // namespace tam::vodrin

// The program editor until the editor control arrives: a plain RichEdit 1.0
// window with the same three functions.
#pragma once

#include <windows.h>

#include <string>

namespace tam::win {

HWND CreateExtMemo(HWND parent, int id, DWORD style, int x, int y, int width, int height);
std::string ExtMemoText(HWND memo);
void SetExtMemoText(HWND memo, const std::string& text);

}  // namespace tam::win

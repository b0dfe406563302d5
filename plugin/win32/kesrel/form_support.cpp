#include "plugin/win32/kesrel/form_support.h"

#include "plugin/win32/kesrel/services.h"

namespace tam::win {

bool RegisterFormClass(const char* name, WNDPROC proc, HICON icon) {
  WNDCLASSA existing;
  if (GetClassInfoA(PluginInstance(), name, &existing)) return true;
  WNDCLASSA c = {};
  c.lpfnWndProc = proc;
  c.hInstance = PluginInstance();
  c.hIcon = icon;
  c.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  c.lpszClassName = name;
  return RegisterClassA(&c) != 0;
}

HWND CreateChild(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
                 HFONT font, DWORD exStyle) {
  HWND c = CreateWindowExA(exStyle, cls, text, WS_CHILD | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), PluginInstance(), nullptr);
  if (c) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return c;
}

void RunModal(HWND form, const bool& closed, HWND owner) {
  bool ownerEnabled = owner && IsWindowEnabled(owner);
  if (ownerEnabled) EnableWindow(owner, FALSE);
  ShowWindow(form, SW_SHOW);
  MSG msg;
  while (!closed && IsWindow(form)) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the host's loop
      break;
    }
    if (got < 0) break;
    if (IsDialogMessageA(form, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (ownerEnabled) EnableWindow(owner, TRUE);
  if (owner) SetActiveWindow(owner);
}

}  // namespace tam::win

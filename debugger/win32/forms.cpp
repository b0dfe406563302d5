#include "debugger/win32/forms.h"

namespace tam::vodrin {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

bool RegisterForm(const char* name, WNDPROC proc, int background) {
  WNDCLASSA existing;
  if (GetClassInfoA(Instance(), name, &existing)) return true;
  WNDCLASSA c = {};
  c.lpfnWndProc = proc;
  c.hInstance = Instance();
  c.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  c.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  c.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background));
  c.lpszClassName = name;
  return RegisterClassA(&c) != 0;
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
           DWORD exStyle) {
  HWND c = CreateWindowExA(exStyle, cls, text, WS_CHILD | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
  if (c) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return c;
}

HFONT MemoFont() {
  static HFONT font = [] {
    LOGFONTA f = {};
    f.lfHeight = -12;
    f.lfCharSet = SHIFTJIS_CHARSET;
    f.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpyA(f.lfFaceName, "ＭＳ ゴシック");
    HFONT made = CreateFontIndirectA(&f);
    return made ? made : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

std::string WindowText(HWND window) {
  // Grown until the text fits: a length in characters may be too short for
  // Shift-JIS bytes.
  LRESULT n = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(n < 0 ? 0 : n) * 2 + 2, '\0');
  for (;;) {
    LRESULT got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    if (got < 0) got = 0;
    if (static_cast<std::size_t>(got) + 1 < text.size()) {
      text.resize(static_cast<std::size_t>(got));
      return text;
    }
    text.resize(text.size() * 2);
  }
}

void ShowForm(HWND form) {
  if (!form) return;
  ShowWindow(form, IsIconic(form) ? SW_RESTORE : SW_SHOW);
  SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

}  // namespace tam::vodrin

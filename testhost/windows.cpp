// The host's windows: the main window with its menu bar, view windows that
// show one stored mail, and send windows laid out so that the address field
// is the fourth window of the walk topmost child, its next sibling, that
// one's topmost child, its next sibling.
#include <string>

#include "testhost/host.h"
#include "testhost/menus.h"
#include "testhost/plugin.h"

namespace almail {

namespace {

const char kMainClass[] = "TAlMailMain";
const char kViewClass[] = "TAlMailView";
const char kSendClass[] = "TAlMailSend";

HINSTANCE g_instance = nullptr;

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == 0 && RunMenuCommand(window, LOWORD(wParam))) return 0;
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h) {
  HWND c =
      CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr, g_instance, nullptr);
  // Each new child goes below the ones made before it, so the walk meets them
  // in the order of creation.
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return c;
}

HMENU Popup(HMENU bar, const char* caption, std::initializer_list<const char*> items, UINT& id) {
  HMENU p = CreatePopupMenu();
  for (const char* item : items) AppendMenuA(p, MF_STRING, id++, item);
  AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(p), caption);
  return p;
}

}  // namespace

bool RegisterClasses(HINSTANCE instance) {
  g_instance = instance;
  for (const char* name : {kMainClass, kViewClass, kSendClass}) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    if (!RegisterClassA(&wc)) return false;
  }
  return true;
}

HWND CreateMainWindow() {
  Host& h = host();
  HMENU bar = CreateMenu();
  UINT id = 100;  // the host's own commands stay below the plug-ins' identifiers
  Popup(bar, "ファイル(&F)", {"受信(&R)", "終了(&X)"}, id);
  Popup(bar, "編集(&E)", {"コピー(&C)"}, id);
  Popup(bar, "表示(&V)", {"更新(&R)"}, id);
  for (const std::string& caption : h.config.extraMenus) Popup(bar, caption.c_str(), {"他のプラグイン"}, id);
  if (h.config.helpMenu) Popup(bar, "ヘルプ(&H)", {"バージョン情報(&A)"}, id);
  h.main = CreateWindowExA(0, kMainClass, h.config.title.c_str(), WS_OVERLAPPEDWINDOW, 40, 40, 640, 400, nullptr, bar,
                           g_instance, nullptr);
  if (!h.main) return nullptr;
  Child(h.main, "LISTBOX", "", WS_BORDER, 0, 0, 620, 340);
  ShowWindow(h.main, SW_SHOWNORMAL);
  plugin().FolderInitMenu(h.main, bar, 101);
  DrawMenuBar(h.main);
  return h.main;
}

HWND OpenViewWindow(const std::string& path) {
  Host& h = host();
  HMENU bar = CreateMenu();
  UINT id = 200;
  Popup(bar, "ファイル(&F)", {"閉じる(&C)"}, id);
  Popup(bar, "ヘルプ(&H)", {"バージョン情報(&A)"}, id);
  const std::string title = "表示 " + path;
  HWND w = CreateWindowExA(0, kViewClass, title.c_str(), WS_OVERLAPPEDWINDOW, 80, 80, 560, 360, h.main, bar, g_instance,
                           nullptr);
  if (!w) return nullptr;
  std::string text;
  ReadFileBytes(h.config.mailbox + path + ".ALM", text);
  Child(w, "EDIT", text.c_str(), WS_BORDER | ES_MULTILINE | ES_READONLY | WS_VSCROLL, 0, 0, 540, 300);
  h.views.push_back({w, path});
  ShowWindow(w, SW_SHOWNORMAL);
  plugin().ViewInitMenu(w, bar, 201);
  DrawMenuBar(w);
  return w;
}

SendWindow* OpenSendWindow(const std::string& address, bool fromMailTo) {
  Host& h = host();
  HMENU bar = CreateMenu();
  UINT id = 300;
  Popup(bar, "ファイル(&F)", {"送信(&S)", "閉じる(&C)"}, id);
  Popup(bar, "ヘルプ(&H)", {"バージョン情報(&A)"}, id);
  const std::string title = "送信 " + std::to_string(h.sends.size() + 1);
  SendWindow s;
  s.fromMailTo = fromMailTo;
  s.window = CreateWindowExA(0, kSendClass, title.c_str(), WS_OVERLAPPEDWINDOW, 120, 120, 560, 420, h.main, bar,
                             g_instance, nullptr);
  if (!s.window) return nullptr;
  Child(s.window, "STATIC", "ツールバー", 0, 0, 0, 540, 24);
  HWND fields = Child(s.window, "STATIC", "", 0, 0, 24, 540, 26);
  Child(fields, "STATIC", "宛先:", 0, 0, 2, 60, 22);
  s.address = Child(fields, "EDIT", address.c_str(), WS_BORDER | ES_AUTOHSCROLL, 60, 2, 470, 22);
  s.header = Child(s.window, "EDIT", "", WS_BORDER | ES_MULTILINE | WS_VSCROLL, 0, 52, 540, 100);
  s.body = Child(s.window, "EDIT", "", WS_BORDER | ES_MULTILINE | WS_VSCROLL, 0, 154, 540, 220);
  HWND walked = GetWindow(GetTopWindow(GetWindow(GetTopWindow(s.window), GW_HWNDNEXT)), GW_HWNDNEXT);
  if (walked != s.address) Out("! the send window's address field is not where the walk leads");
  h.sends.push_back(s);
  ShowWindow(s.window, SW_SHOWNORMAL);
  plugin().SendInitMenu(s.window, bar);
  return &h.sends.back();
}

SendWindow* FindSend(HWND window) {
  for (SendWindow& s : host().sends)
    if (s.window == window) return &s;
  return nullptr;
}

ViewWindow* FindView(HWND window) {
  for (ViewWindow& v : host().views)
    if (v.window == window) return &v;
  return nullptr;
}

std::string WindowText(HWND window) {
  const int n = GetWindowTextLengthA(window);
  if (n <= 0) return std::string();
  std::string s(n + 1, '\0');
  const int got = GetWindowTextA(window, &s[0], n + 1);
  s.resize(got > 0 ? got : 0);
  return s;
}

namespace {

// Pumps messages until `until` (a tick count) or until done() holds.
template <class Done>
void Pump(DWORD until, Done done) {
  while (!done() && static_cast<LONG>(until - GetTickCount()) > 0) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

}  // namespace

void PumpFor(double seconds) {
  Pump(GetTickCount() + static_cast<DWORD>(seconds * 1000), [] { return false; });
}

bool PumpUntilSendsFilled(double seconds) {
  auto filled = [] {
    for (const SendWindow& s : host().sends)
      if (s.fromMailTo && IsWindow(s.window) && !(s.headerSet && s.textSet)) return false;
    return true;
  };
  Pump(GetTickCount() + static_cast<DWORD>(seconds * 1000), filled);
  return filled();
}

}  // namespace almail

#include "testhost/setup_driver.h"

#include <commctrl.h>
#include <richedit.h>

#include <deque>
#include <vector>

#include "plugin/win32/kesrel/setup_ids.h"
#include "testhost/host.h"

namespace almail {

namespace {

using namespace tam::win::setup_ids;

struct Driver {
  std::deque<std::string> actions;
  DWORD waitUntil = 0;
  bool restoreKeys = false;
  BYTE keys[256] = {};
  HANDLE lock = INVALID_HANDLE_VALUE;
};

Driver& driver() {
  static Driver d;
  return d;
}

BOOL CALLBACK FindForm(HWND window, LPARAM param) {
  char cls[64] = {0};
  GetClassNameA(window, cls, sizeof cls);
  if (lstrcmpA(cls, kSetupFormClass) == 0 && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

HWND SetupForm() {
  HWND form = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindForm, reinterpret_cast<LPARAM>(&form));
  return form;
}

struct Search {
  int id;
  const std::string* caption;
  HWND found;
};

BOOL CALLBACK Match(HWND child, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  if (s->caption) {
    char cls[32] = {0};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") != 0 || !IsWindowVisible(child) || WindowText(child) != *s->caption) return TRUE;
  } else if (GetDlgCtrlID(child) != s->id) {
    return TRUE;
  }
  s->found = child;
  return FALSE;
}

HWND Control(HWND form, int id) {
  Search s = {id, nullptr, nullptr};
  EnumChildWindows(form, Match, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND ButtonCaptioned(HWND form, const std::string& caption) {
  Search s = {0, &caption, nullptr};
  EnumChildWindows(form, Match, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// The whole text of a control; a rich edit may give its length in
// characters, so the buffer grows until the text fits.
std::string FullText(HWND control) {
  std::size_t size = static_cast<std::size_t>(GetWindowTextLengthA(control)) + 64;
  for (;;) {
    std::vector<char> buffer(size, '\0');
    const LRESULT got = SendMessageA(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    if (got >= 0 && static_cast<std::size_t>(got) + 1 < size) return std::string(buffer.data(), got);
    size *= 2;
  }
}

// Tabs shown as \t, line ends as \n.
std::string Shown(const std::string& text) {
  std::string r;
  for (char c : OneLine(text)) r += c == '\t' ? std::string("\\t") : std::string(1, c);
  return r;
}

// "\n" and "\t" in an action's text stand for a line end and a tab.
std::string Unescape(const std::string& text) {
  std::string r;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == 't')) {
      r += text[i + 1] == 'n' ? "\r\n" : "\t";
      ++i;
    } else {
      r += text[i];
    }
  }
  return r;
}

std::string State(HWND c) {
  if (!IsWindowVisible(c)) return "hidden";
  return IsWindowEnabled(c) ? "on" : "off";
}

void Click(HWND window, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(window, WM_LBUTTONUP, 0, at);
}

void ClickTab(HWND tabs, int index) {
  RECT r;
  if (!SendMessageA(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) {
    Out("! no page " + std::to_string(index));
    return;
  }
  Click(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

std::string TabCaption(HWND tabs, int index) {
  char text[128] = {0};
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
  return text;
}

void Dump(HWND form) {
  Out("setup " + WindowText(form) + (IsWindowEnabled(host().main) ? " | main window enabled" : ""));
  HWND pages = Control(form, kPageControl1);
  const int page = static_cast<int>(SendMessageA(pages, TCM_GETCURSEL, 0, 0));
  Out("  page " + std::to_string(page) + " " + TabCaption(pages, page));
  for (int id : {kTriggerMainMainCheck, kTriggerMainContextCheck, kTriggerViewMainCheck, kTriggerViewContextCheck,
                 kDebuggerCheck, kOutputSendingRadio, kOutputDraftRadio, kOutputWindowRadio}) {
    HWND c = Control(form, id);
    const bool shown = (GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool on = SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
    Out("  " + WindowText(c) + ": " + (!shown ? "hidden" : on ? "checked" : "unchecked"));
  }
  HWND list = Control(form, kProgramList);
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  const int selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  std::string items;
  for (int i = 0; i < count; ++i) {
    std::vector<char> text(SendMessageA(list, LB_GETTEXTLEN, i, 0) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    items += (i ? " | " : "") + std::string(text.data()) + (i == selected ? "*" : "");
  }
  Out("  list: " + items);
  const struct {
    const char* name;
    int id;
  } editors[] = {{"name", kProgramNameEdit}, {"program", kProgramMemo}, {"options", kOptionMemo}};
  for (const auto& e : editors) {
    HWND c = Control(form, e.id);
    Out(std::string("  ") + e.name + " " + (IsWindowEnabled(c) ? "on" : "off") + ": " + Shown(FullText(c)));
  }
  std::string buttons;
  for (int id : {kProgramUpButton, kProgramDownButton, kProgramAddButton, kProgramDeleteButton}) {
    HWND c = Control(form, id);
    buttons += (buttons.empty() ? "" : ", ") + WindowText(c) + " " + State(c);
  }
  Out("  buttons: " + buttons);
}

void Status(HWND form) {
  HWND status = Control(form, kStatusBar1);
  std::string panels;
  for (int i = 0; i < 2; ++i) {
    char text[64] = {0};
    SendMessageA(status, SB_GETTEXTA, i, reinterpret_cast<LPARAM>(text));
    panels += (i ? " " : "") + std::string(text);
  }
  Out("  status: " + panels);
}

LONG Position(HWND memo, const std::string& line, const std::string& column) {
  return static_cast<LONG>(SendMessageA(memo, EM_LINEINDEX, std::atoi(line.c_str()), 0)) + std::atoi(column.c_str());
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

void Type(HWND control, const std::string& text) {
  SetFocus(control);
  SendMessageA(control, EM_SETSEL, 0, -1);
  SendMessageA(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void Act(HWND form, const std::string& action) {
  const std::size_t blank = action.find(' ');
  const std::string verb = action.substr(0, blank), rest = blank == std::string::npos ? "" : action.substr(blank + 1);
  const std::vector<std::string> args = Words(rest);
  Out("do " + action);
  if (verb == "dump") {
    Dump(form);
  } else if (verb == "status") {
    Status(form);
  } else if (verb == "page" || verb == "inner") {
    ClickTab(Control(form, verb == "page" ? kPageControl1 : kPageControl2), std::atoi(rest.c_str()));
  } else if (verb == "click") {
    HWND b = ButtonCaptioned(form, rest);
    if (!b)
      Out("! no button " + rest);
    else if (!IsWindowEnabled(b))
      Out("! disabled: " + rest);
    else
      SendMessageA(b, BM_CLICK, 0, 0);
  } else if (verb == "select") {
    HWND list = Control(form, kProgramList);
    RECT r;
    if (rest == "none") {
      GetClientRect(list, &r);
      Click(list, 4, r.bottom - 3);
    } else if (SendMessageA(list, LB_GETITEMRECT, std::atoi(rest.c_str()), reinterpret_cast<LPARAM>(&r)) != LB_ERR) {
      Click(list, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    } else {
      Out("! no item " + rest);
    }
  } else if (verb == "name" || verb == "program" || verb == "options") {
    const int id = verb == "name" ? kProgramNameEdit : verb == "program" ? kProgramMemo : kOptionMemo;
    Type(Control(form, id), Unescape(rest));
  } else if (verb == "select-text" && (args.size() == 2 || args.size() == 4)) {
    HWND memo = Control(form, kProgramMemo);
    SetFocus(memo);
    CHARRANGE r;
    r.cpMin = Position(memo, args[0], args[1]);
    r.cpMax = args.size() == 4 ? Position(memo, args[2], args[3]) : r.cpMin;
    SendMessageA(memo, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
  } else if (verb == "key" && (rest == "tab" || rest == "shift-tab")) {
    // The key as the keyboard would send it, with shift held for shift-tab.
    HWND memo = Control(form, kProgramMemo);
    SetFocus(memo);
    GetKeyboardState(driver().keys);
    BYTE keys[256];
    CopyMemory(keys, driver().keys, sizeof keys);
    keys[VK_SHIFT] = rest == "shift-tab" ? 0x80 : 0;
    SetKeyboardState(keys);
    driver().restoreKeys = true;
    const UINT scan = MapVirtualKeyA(VK_TAB, 0);
    PostMessageA(memo, WM_KEYDOWN, VK_TAB, 1 | (scan << 16));
    PostMessageA(memo, WM_KEYUP, VK_TAB, 1 | (scan << 16) | 0xC0000000u);
  } else if (verb == "drag-splitter") {
    HWND splitter = Control(form, kProgramListSplitter);
    const int dx = std::atoi(rest.c_str());
    SendMessageA(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
    SendMessageA(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2 + dx, 10));
    SendMessageA(splitter, WM_LBUTTONUP, 0, MAKELPARAM(2 + dx, 10));
  } else if (verb == "wait") {
    driver().waitUntil = GetTickCount() + static_cast<DWORD>(std::atof(rest.c_str()) * 1000);
  } else if (verb == "lock") {
    driver().lock = CreateFileA(rest.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (driver().lock == INVALID_HANDLE_VALUE) Out("! cannot lock " + rest);
  } else if (verb == "unlock") {
    if (driver().lock != INVALID_HANDLE_VALUE) CloseHandle(driver().lock);
    driver().lock = INVALID_HANDLE_VALUE;
  } else {
    Out("! unknown setup action " + action);
  }
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  Driver& d = driver();
  if (d.restoreKeys) {
    SetKeyboardState(d.keys);
    d.restoreKeys = false;
  }
  if (d.actions.empty() || static_cast<LONG>(d.waitUntil - GetTickCount()) > 0) return;
  HWND form = SetupForm();
  if (!form) return;
  const std::string action = d.actions.front();
  d.actions.pop_front();
  Act(form, action);
}

}  // namespace

void DriveSetup(const std::string& action) {
  if (driver().actions.empty()) SetTimer(nullptr, 0, 100, Tick);
  driver().actions.push_back(action);
}

bool IsSetupForm(HWND window) {
  char cls[64] = {0};
  GetClassNameA(window, cls, sizeof cls);
  return lstrcmpA(cls, kSetupFormClass) == 0;
}

}  // namespace almail

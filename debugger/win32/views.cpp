#include "debugger/win32/views.h"

#include <commctrl.h>
#include <richedit.h>

#include <string>

#include "debugger/win32/forms.h"
#include "debugger/win32/vodrin_ids.h"
#include "editor/win32/ext_memo.h"
#include "editor/win32/program_editor.h"
#include "settings/win32/form_geometry.h"

namespace tam::vodrin {

namespace {

// The program editor's wrap width in half-width cells.
constexpr std::uint32_t kProgramLineLength = 80;

struct ViewState {
  HWND content = nullptr;
  HWND status = nullptr;      // program window only
  bool windowColour = false;  // a read-only content drawn in the window colour
};

void Layout(HWND view, ViewState& s) {
  RECT r;
  GetClientRect(view, &r);
  int bottom = r.bottom;
  if (s.status) {
    SendMessageA(s.status, WM_SIZE, 0, 0);
    RECT sr;
    GetWindowRect(s.status, &sr);
    bottom -= sr.bottom - sr.top;
    int parts[2] = {80, -1};
    SendMessageA(s.status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  }
  if (s.content) MoveWindow(s.content, 0, 0, r.right, bottom > 0 ? bottom : 0, TRUE);
}

// The status bar: line and column of the selection start, from 0.
void ShowCaretPlace(ViewState& s) {
  if (!s.status || !s.content) return;
  editor::TextPlace p = win::CaretPlace(s.content);
  std::string l = std::to_string(p.line), c = std::to_string(p.column);
  SendMessageA(s.status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(l.c_str()));
  SendMessageA(s.status, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(c.c_str()));
}

VODRIN_CALLBACK ViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
  ViewState* s = StateOf<ViewState>(view);
  switch (message) {
    case WM_SIZE:
      if (s) Layout(view, *s);
      return 0;
    case WM_CLOSE:
      ShowWindow(view, SW_HIDE);
      return 0;
    case WM_SETFOCUS:
      if (s && s->content) SetFocus(s->content);
      return 0;
    case WM_NOTIFY: {
      const NMHDR* h = reinterpret_cast<const NMHDR*>(lParam);
      if (s && h->hwndFrom == s->content && h->code == EN_SELCHANGE) ShowCaretPlace(*s);
      break;
    }
    case WM_CTLCOLORSTATIC:
      if (s && s->windowColour && reinterpret_cast<HWND>(lParam) == s->content) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_NCDESTROY:
      delete s;
      SetWindowLongPtrA(view, GWLP_USERDATA, 0);
      break;
  }
  return DefWindowProcA(view, message, wParam, lParam);
}

// A sizeable view at its default place, then at its remembered one.
HWND MakeView(HWND owner, const char* cls, const char* caption, int top, const SettingsStore* store,
              const char* section) {
  if (!RegisterForm(cls, ViewProc)) return nullptr;
  HWND view = CreateWindowExA(WS_EX_TOOLWINDOW, cls, caption, WS_OVERLAPPEDWINDOW, 0, top, 300, 150, owner, nullptr,
                              Instance(), nullptr);
  if (!view) return nullptr;
  SetWindowLongPtrA(view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ViewState));
  if (store) LoadFormGeometry(view, *store, section);
  return view;
}

HWND MakeMemo(HWND view, DWORD style, bool windowColour) {
  ViewState* s = StateOf<ViewState>(view);
  HWND memo = Child(
      view, "EDIT", "",
      WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | style, 0,
      0, 10, 10, kContentMemo, WS_EX_CLIENTEDGE);
  SendMessageA(memo, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  SendMessageA(memo, WM_SETFONT, reinterpret_cast<WPARAM>(MemoFont()), FALSE);
  s->content = memo;
  s->windowColour = windowColour;
  Layout(view, *s);
  return memo;
}

// TEditWithHeader: a borderless panel with a header label at its left and a
// one-line edit filling the rest. Its text is the edit's.
constexpr int kHeaderWidth = 96, kFieldHeight = 22, kEditId = 1, kHeaderId = 2;

VODRIN_CALLBACK EditWithHeaderProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND edit = GetDlgItem(panel, kEditId);
  switch (message) {
    case WM_CREATE: {
      const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      Child(panel, "STATIC", cs->lpszName, WS_VISIBLE | SS_CENTERIMAGE, 0, 0, kHeaderWidth, cs->cy, kHeaderId);
      HWND e = Child(panel, "EDIT", "", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kHeaderWidth, 0,
                     cs->cx - kHeaderWidth, cs->cy, kEditId);
      SendMessageA(e, WM_SETFONT, reinterpret_cast<WPARAM>(MemoFont()), FALSE);
      return 0;
    }
    case WM_SIZE:
      if (edit) MoveWindow(edit, kHeaderWidth, 0, LOWORD(lParam) - kHeaderWidth, HIWORD(lParam), TRUE);
      return 0;
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      if (edit) return SendMessageA(edit, message, wParam, lParam);
      break;
    case WM_SETFOCUS:
      if (edit) SetFocus(edit);
      return 0;
  }
  return DefWindowProcA(panel, message, wParam, lParam);
}

VODRIN_CALLBACK OptionFormProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    ShowWindow(form, SW_HIDE);
    return 0;
  }
  return DefWindowProcA(form, message, wParam, lParam);
}

HWND MakeOptionForm(HWND owner) {
  if (!RegisterForm(kOptionFormClass, OptionFormProc) || !RegisterForm(kEditWithHeaderClass, EditWithHeaderProc))
    return nullptr;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  RECT frame = {0, 0, 340, 176};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOOLWINDOW);
  HWND form = CreateWindowExA(WS_EX_TOOLWINDOW, kOptionFormClass, "Option", style, 320, 270, frame.right - frame.left,
                              frame.bottom - frame.top, owner, nullptr, Instance(), nullptr);
  if (!form) return nullptr;
  static const char* const kHeaders[] = {"オプション", "タイトル", "ユーザ名", "メールアドレス", "フルネーム"};
  Child(form, kEditWithHeaderClass, kHeaders[0], WS_VISIBLE | WS_TABSTOP, 8, 8, 324, kFieldHeight, kOptionField1);
  Child(form, "BUTTON", "アカウント", WS_VISIBLE | BS_GROUPBOX, 8, 38, 324, 130, kAccountGroup);
  for (int k = 1; k < 5; ++k)
    Child(form, kEditWithHeaderClass, kHeaders[k], WS_VISIBLE | WS_TABSTOP, 16, 30 + k * 27, 308, kFieldHeight,
          kOptionField1 + k);
  return form;
}

std::string Field(HWND option, int k) { return WindowText(GetDlgItem(option, kOptionField1 + k)); }
void SetField(HWND option, int k, const std::string& text) {
  SetWindowTextA(GetDlgItem(option, kOptionField1 + k), text.c_str());
}

}  // namespace

void CreateEditingViews(HWND owner, const SettingsStore& store, Views& views) {
  views.program = MakeView(owner, kProgramFormClass, "Program", 200, &store, "ProgramForm");
  if (views.program) {
    ViewState* s = StateOf<ViewState>(views.program);
    s->status =
        CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, views.program,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBar)), Instance(), nullptr);
    s->content = win::CreateExtMemo(views.program, kContentMemo,
                                    WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                        ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
                                    0, 0, 10, 10);
    if (win::TExtMemo* editor = win::ExtMemoOf(s->content)) {
      // Tab indents whole lines here as in the setup dialog's editor.
      win::SetUpProgramEditor(*editor, kProgramLineLength);
      SendMessageA(s->content, WM_SETFONT, reinterpret_cast<WPARAM>(MemoFont()), FALSE);
      SendMessageA(s->content, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
      SendMessageA(s->content, EM_SETMARGINS, EC_LEFTMARGIN, 10);
      SendMessageA(s->content, EM_SETEVENTMASK, 0, ENM_SELCHANGE);
    }
    Layout(views.program, *s);
  }
  views.mail = MakeView(owner, kMailFormClass, "Mail", 100, &store, "MailForm");
  if (views.mail) MakeMemo(views.mail, 0, false);
  views.option = MakeOptionForm(owner);
}

void CreateOutputViews(HWND owner, const SettingsStore& store, Views& views) {
  views.variable = MakeView(owner, kVariableFormClass, "Variable", 300, &store, "VariableForm");
  if (views.variable) MakeMemo(views.variable, ES_READONLY, false);
  views.result = MakeView(owner, kResultFormClass, "Result", 400, &store, "ResultForm");
  if (views.result) MakeMemo(views.result, ES_READONLY, true);
}

HWND ContentOf(HWND view) {
  ViewState* s = view ? StateOf<ViewState>(view) : nullptr;
  return s ? s->content : nullptr;
}

DebugTexts ReadTexts(const Views& views) {
  DebugTexts t;
  if (HWND memo = ContentOf(views.mail)) t.mail = WindowText(memo);
  if (HWND memo = ContentOf(views.program)) t.program = win::ExtMemoText(memo);
  if (views.option) {
    t.option = Field(views.option, 0);
    t.accountTitle = Field(views.option, 1);
    t.accountUser = Field(views.option, 2);
    t.accountAddress = Field(views.option, 3);
    t.accountName = Field(views.option, 4);
  }
  return t;
}

void WriteTexts(const Views& views, const DebugTexts& t) {
  if (HWND memo = ContentOf(views.mail)) SetWindowTextA(memo, t.mail.c_str());
  if (HWND memo = ContentOf(views.program)) win::SetExtMemoText(memo, t.program);
  if (views.option) {
    SetField(views.option, 0, t.option);
    SetField(views.option, 1, t.accountTitle);
    SetField(views.option, 2, t.accountUser);
    SetField(views.option, 3, t.accountAddress);
    SetField(views.option, 4, t.accountName);
  }
}

void ResetProgramCaret(HWND programView) {
  HWND memo = ContentOf(programView);
  if (!memo) return;
  // A tab is as wide as three blanks: a quarter of twelve.
  HDC dc = GetDC(memo);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(memo, WM_GETFONT, 0, 0)));
  SIZE twelve = {0, 0};
  GetTextExtentPoint32A(dc, "            ", 12, &twelve);
  SelectObject(dc, old);
  ReleaseDC(memo, dc);
  if (win::TExtMemo* editor = win::ExtMemoOf(memo)) editor->SetTabStops((twelve.cx + 3) / 4);
  CHARRANGE start = {0, 0};
  SendMessageA(memo, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  SendMessageA(memo, EM_SCROLLCARET, 0, 0);
}

void SelectProgramLine(HWND programView, int line) {
  HWND memo = ContentOf(programView);
  if (!memo) return;
  CHARRANGE r;
  LRESULT start = line >= 0 ? SendMessageA(memo, EM_LINEINDEX, line, 0) : -1;
  if (start < 0) {
    GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
    LRESULT end = SendMessageA(memo, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
    r = {static_cast<LONG>(end), static_cast<LONG>(end)};
  } else {
    r = {static_cast<LONG>(start), static_cast<LONG>(start + SendMessageA(memo, EM_LINELENGTH, start, 0))};
  }
  SendMessageA(memo, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
  SendMessageA(memo, EM_SCROLLCARET, 0, 0);
}

void SetEditorsReadOnly(const Views& views, bool readOnly) {
  if (HWND memo = ContentOf(views.mail)) {
    SendMessageA(memo, EM_SETREADONLY, readOnly, 0);
    InvalidateRect(memo, nullptr, TRUE);
  }
  if (HWND memo = ContentOf(views.program)) {
    SendMessageA(memo, EM_SETREADONLY, readOnly, 0);
    // Read-only in the form's colour; the system's window colour otherwise.
    SendMessageA(memo, EM_SETBKGNDCOLOR, !readOnly, readOnly ? GetSysColor(COLOR_BTNFACE) : 0);
  }
}

void SetViewText(HWND view, const std::string& text) {
  if (HWND memo = ContentOf(view)) SetWindowTextA(memo, text.c_str());
}

void SaveViewGeometry(const Views& views, SettingsStore& store) {
  if (views.mail) SaveFormGeometry(views.mail, store, "MailForm");
  if (views.program) SaveFormGeometry(views.program, store, "ProgramForm");
  if (views.variable) SaveFormGeometry(views.variable, store, "VariableForm");
  if (views.result) SaveFormGeometry(views.result, store, "ResultForm");
}

}  // namespace tam::vodrin

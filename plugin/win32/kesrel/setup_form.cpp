#include "plugin/win32/kesrel/setup_form.h"

#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "editor/win32/ext_memo.h"
#include "editor/win32/program_editor.h"
#include "engine/text_lines.h"
#include "plugin/setup_model.h"
#include "plugin/win32/kesrel/form_support.h"
#include "plugin/win32/kesrel/pictures.h"
#include "plugin/win32/kesrel/services.h"
#include "plugin/win32/kesrel/setup_ids.h"
#include "settings/form_place.h"
#include "settings/win32/form_geometry.h"

namespace tam::win {

using namespace setup_ids;

namespace {

const char kSheetClass[] = "TTabSheet";
const char kSplitterClass[] = "TSplitter";
const char kCaption[] = "Tamberlo for AL-Mail のセットアップ";
constexpr int kDesignWidth = 519, kDesignHeight = 408;
constexpr int kButtonPanelHeight = 41, kButtonWidth = 75, kButtonHeight = 25;
constexpr int kDesignPanelWidth = 121, kMinPanelWidth = 60, kMinDetailWidth = 120;
constexpr int kSplitterWidth = 4, kStackHeight = 20, kStatusPanelWidth = 50, kTabStops = 31, kLineLength = 255;

// The whole text of the name edit or the option memo.
std::string ControlText(HWND control) {
  std::size_t size = static_cast<std::size_t>(GetWindowTextLengthA(control)) + 64;
  for (;;) {
    std::vector<char> buffer(size, '\0');
    LRESULT got = SendMessageA(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    if (got >= 0 && static_cast<std::size_t>(got) + 1 < size)
      return std::string(buffer.data(), static_cast<std::size_t>(got));
    size *= 2;
  }
}

struct FormState {
  SetupContext context;
  TSetupModel model;
  bool closed = false;
  bool filling = false;  // the editors are being filled: their changes are not edits
  // The program editor holds an edit the model has not taken yet: a long
  // program is read out once when it is needed, not at every keystroke.
  bool programEdited = false;
  int tabStep = 0;
  int fontPoints = 9;
  int panelWidth = kDesignPanelWidth;
  bool dragging = false;
  HFONT font = nullptr;
  HFONT editorFont = nullptr;
  HICON icon = nullptr;
  WNDPROC memoProc = nullptr, listProc = nullptr;
  HWND form = nullptr;
};

FormState* State(HWND form) { return reinterpret_cast<FormState*>(GetWindowLongPtrA(form, GWLP_USERDATA)); }

struct ItemSearch {
  int id;
  HWND found;
};

TAM_REALIGN BOOL CALLBACK MatchItem(HWND child, LPARAM p) {
  auto* s = reinterpret_cast<ItemSearch*>(p);
  if (GetDlgCtrlID(child) != s->id) return TRUE;
  s->found = child;
  return FALSE;
}

// A control of the form; controls sit on pages and panels below it.
HWND Item(HWND form, int id) {
  ItemSearch search{id, nullptr};
  EnumChildWindows(form, MatchItem, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Place(HWND form, int id, int x, int y, int w, int h) {
  if (HWND c = Item(form, id)) MoveWindow(c, x, y, std::max(w, 0), std::max(h, 0), TRUE);
}

bool Checked(HWND form, int id) { return SendMessageA(Item(form, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Check(HWND form, int id, bool on) {
  SendMessageA(Item(form, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The display area of a tab control, in its own coordinates.
RECT PageArea(HWND tabs) {
  RECT r;
  GetClientRect(tabs, &r);
  TabCtrl_AdjustRect(tabs, FALSE, &r);
  return r;
}

int ShownPage(HWND form) { return TabCtrl_GetCurSel(Item(form, kPageControl1)); }

void ShowPage(HWND form, int tabsId, const std::vector<int>& pages, int index) {
  TabCtrl_SetCurSel(Item(form, tabsId), index);
  for (int i = 0; i < static_cast<int>(pages.size()); ++i)
    ShowWindow(Item(form, pages[i]), i == index ? SW_SHOW : SW_HIDE);
}

const std::vector<int>& OuterPages() {
  static const std::vector<int> pages = {kTriggerPage, kProgramPage, kOutputPage};
  return pages;
}
const std::vector<int>& InnerPages() {
  static const std::vector<int> pages = {kTabSheet1, kTabSheet2};
  return pages;
}

// Controls of the alignable kinds stack at the top of their page, full
// width, in their order.
void Stack(HWND form, const std::vector<int>& ids, int width) {
  int y = 8;
  for (int id : ids) {
    HWND c = Item(form, id);
    if (!c || !(GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE)) continue;  // hidden: takes no room
    if (id == kDebuggerBevel) {
      MoveWindow(c, 8, y + 5, width - 16, 2, TRUE);
      y += 12;
      continue;
    }
    MoveWindow(c, 8, y, width - 16, kStackHeight, TRUE);
    y += kStackHeight;
  }
}

void LayoutProgramPage(HWND form, FormState& state, int width, int height) {
  state.panelWidth = std::max(kMinPanelWidth, std::min(state.panelWidth, width - kMinDetailWidth - kSplitterWidth - 8));
  const int panelH = height - 8, panelW = state.panelWidth;
  Place(form, kProgramListPanel, 4, 4, panelW, panelH);
  Place(form, kProgramList, 0, 0, panelW, panelH - kButtonHeight - 4);
  const int arrow = 24, rowY = panelH - kButtonHeight, rest = (panelW - 2 * arrow - 6) / 2;
  Place(form, kProgramUpButton, 0, rowY, arrow, kButtonHeight);
  Place(form, kProgramDownButton, arrow + 2, rowY, arrow, kButtonHeight);
  Place(form, kProgramAddButton, 2 * arrow + 4, rowY, rest, kButtonHeight);
  Place(form, kProgramDeleteButton, 2 * arrow + 6 + rest, rowY, panelW - (2 * arrow + 6 + rest), kButtonHeight);
  const int splitX = 4 + panelW;
  Place(form, kProgramListSplitter, splitX, 4, kSplitterWidth, panelH);
  const int detailX = splitX + kSplitterWidth, detailW = width - detailX - 4;
  Place(form, kProgramDetailPanel, detailX, 4, detailW, panelH);
  Place(form, kProgramNameLabel, 0, 2, detailW, 14);
  Place(form, kProgramNameEdit, 0, 18, detailW, 21);
  Place(form, kPageControl2, 0, 44, detailW, panelH - 44);
  HWND tabs = Item(form, kPageControl2);
  RECT area = PageArea(tabs);
  const int sheetW = area.right - area.left, sheetH = area.bottom - area.top;
  for (int id : InnerPages()) Place(form, id, area.left, area.top, sheetW, sheetH);
  HWND status = Item(form, kStatusBar1);
  SendMessageA(status, WM_SIZE, 0, 0);
  RECT sr;
  GetWindowRect(status, &sr);
  Place(form, kProgramMemo, 0, 0, sheetW, sheetH - (sr.bottom - sr.top));
  Place(form, kOptionMemo, 0, 0, sheetW, sheetH);
}

void Layout(HWND form, FormState& state) {
  RECT client;
  GetClientRect(form, &client);
  const int w = client.right, h = client.bottom;
  const int buttonY = h - kButtonPanelHeight + 8;
  const int helpX = w - 8 - kButtonWidth, cancelX = helpX - 16 - kButtonWidth, okX = cancelX - 6 - kButtonWidth;
  Place(form, kOKButton, okX, buttonY, kButtonWidth, kButtonHeight);
  Place(form, kCancelButton, cancelX, buttonY, kButtonWidth, kButtonHeight);
  Place(form, kHelpButton, helpX, buttonY, kButtonWidth, kButtonHeight);
  Place(form, kPageControl1, 4, 4, w - 8, h - kButtonPanelHeight - 4);
  RECT area = PageArea(Item(form, kPageControl1));
  const int pw = area.right - area.left, ph = area.bottom - area.top;
  for (int id : OuterPages()) Place(form, id, area.left, area.top, pw, ph);
  Stack(form,
        {kTriggerMainMainCheck, kTriggerMainContextCheck, kTriggerViewMainCheck, kTriggerViewContextCheck,
         kDebuggerBevel, kDebuggerCheck},
        pw);
  Stack(form, {kOutputSendingRadio, kOutputDraftRadio, kOutputWindowRadio}, pw);
  LayoutProgramPage(form, state, pw, ph);
}

// The editor's font size and its 31 tab stops at the tab step, over the
// whole text.
void ApplyEditorFormat(HWND memo, const FormState& state) {
  SendMessageA(memo, WM_SETFONT, reinterpret_cast<WPARAM>(state.editorFont), TRUE);
  if (TExtMemo* editor = ExtMemoOf(memo)) editor->SetTabStops(state.tabStep, kTabStops);
}

void SetEditorColour(HWND memo, bool editable) {
  if (editable)
    SendMessageA(memo, EM_SETBKGNDCOLOR, 1, 0);
  else
    SendMessageA(memo, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_BTNFACE));
}

void ShowCaretPlace(HWND form);

// The model takes the program editor's text, if it changed.
void TakeProgramText(HWND form, FormState& state) {
  if (!state.programEdited) return;
  state.programEdited = false;
  state.model.programs.SetText(ExtMemoText(Item(form, kProgramMemo)));
}

// The controls beside the list follow the selected program.
void Refresh(HWND form, FormState& state) {
  ProgramDetail d = DetailOf(state.model.programs);
  HWND list = Item(form, kProgramList);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(state.model.programs.Selected()), 0);
  state.filling = true;
  HWND name = Item(form, kProgramNameEdit), memo = Item(form, kProgramMemo), options = Item(form, kOptionMemo);
  SetWindowTextA(name, d.caption.c_str());
  SetExtMemoText(memo, d.text);
  SetWindowTextA(options, d.options.c_str());
  for (HWND c : {name, memo, options}) EnableWindow(c, d.editable);
  SetEditorColour(memo, d.editable);
  if (d.editable) ApplyEditorFormat(memo, state);
  SendMessageA(memo, EM_SETSEL, 0, 0);
  SendMessageA(memo, EM_SCROLLCARET, 0, 0);
  state.filling = false;
  EnableWindow(Item(form, kProgramUpButton), d.upEnabled);
  EnableWindow(Item(form, kProgramDownButton), d.downEnabled);
  EnableWindow(Item(form, kProgramDeleteButton), d.deleteEnabled);
  SetWindowTextA(Item(form, kProgramAddButton), d.addCaption.c_str());
  ShowCaretPlace(form);
}

// The list box's items are the captions.
void FillList(HWND form, const FormState& state) {
  HWND list = Item(form, kProgramList);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& c : state.model.programs.Captions())
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.c_str()));
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

// The status bar: line and column of the selection start, from 0.
void ShowCaretPlace(HWND form) {
  HWND status = Item(form, kStatusBar1);
  editor::TextPlace p = CaretPlace(Item(form, kProgramMemo));
  std::string line = std::to_string(p.line), column = std::to_string(p.column);
  SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageA(status, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(column.c_str()));
}

TAM_REALIGN LRESULT CALLBACK MemoProc(HWND memo, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND form = GetAncestor(memo, GA_ROOT);
  FormState* state = State(form);
  WNDPROC base = state ? state->memoProc : nullptr;
  if (!base) return DefWindowProcA(memo, message, wParam, lParam);
  if (message == WM_GETDLGCODE) {
    // The editor keeps Enter and Tab (the editor asks for Tab itself);
    // Escape still cancels the dialog.
    auto* msg = reinterpret_cast<MSG*>(lParam);
    LRESULT code = CallWindowProcA(base, memo, message, wParam, lParam);
    if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return code & ~DLGC_WANTALLKEYS;
    return code | DLGC_WANTALLKEYS;
  }
  return CallWindowProcA(base, memo, message, wParam, lParam);
}

TAM_REALIGN LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND form = GetAncestor(list, GA_ROOT);
  FormState* state = State(form);
  WNDPROC base = state ? state->listProc : nullptr;
  if (!base) return DefWindowProcA(list, message, wParam, lParam);
  if (message == WM_LBUTTONDOWN) {
    LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, lParam);
    if (HIWORD(hit) != 0 || static_cast<int>(LOWORD(hit)) >= state->model.programs.Count()) {
      // A press on no item: nothing is selected any more.
      SetFocus(list);
      Guarded([&] { TakeProgramText(form, *state); });
      state->model.programs.Select(-1);
      Guarded([&] { Refresh(form, *state); });
      return 0;
    }
  }
  return CallWindowProcA(base, list, message, wParam, lParam);
}

// Pages and panels pass their controls' messages on to the form.
TAM_REALIGN LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageA(GetAncestor(sheet, GA_ROOT), message, wParam, lParam);
  }
  return DefWindowProcA(sheet, message, wParam, lParam);
}

TAM_REALIGN LRESULT CALLBACK SplitterProc(HWND splitter, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND form = GetAncestor(splitter, GA_ROOT);
  FormState* state = State(form);
  if (state) {
    switch (message) {
      case WM_LBUTTONDOWN:
        SetCapture(splitter);
        state->dragging = true;
        return 0;
      case WM_MOUSEMOVE:
        if (state->dragging) {
          // Where the mouse is, in the page's coordinates (the splitter
          // holds the capture, so the point may lie outside it).
          POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
          HWND page = Item(form, kProgramPage);
          MapWindowPoints(splitter, page, &p, 1);
          RECT r;
          GetClientRect(page, &r);
          state->panelWidth = p.x - 4 - kSplitterWidth / 2;
          LayoutProgramPage(form, *state, r.right, r.bottom);
        }
        return 0;
      case WM_LBUTTONUP:
      case WM_CAPTURECHANGED:
        if (state->dragging) {
          state->dragging = false;
          if (message == WM_LBUTTONUP) ReleaseCapture();
        }
        return 0;
    }
  }
  return DefWindowProcA(splitter, message, wParam, lParam);
}

void ReadChoices(HWND form, FormState& state) {
  MenuSwitches& s = state.model.switches;
  s.mainMenu = Checked(form, kTriggerMainMainCheck);
  s.mainContext = Checked(form, kTriggerMainContextCheck);
  s.viewMenu = Checked(form, kTriggerViewMainCheck);
  s.viewContext = Checked(form, kTriggerViewContextCheck);
  s.debugger = Checked(form, kDebuggerCheck);
  state.model.output = Checked(form, kOutputSendingRadio)  ? OutputChoice::kSending
                       : Checked(form, kOutputDraftRadio)  ? OutputChoice::kDraft
                       : Checked(form, kOutputWindowRadio) ? OutputChoice::kWindow
                                                           : OutputChoice::kNone;
}

void Warn(HWND form, const std::string& text) { MessageBoxA(form, text.c_str(), "エラー", MB_OK | MB_ICONWARNING); }

void PressOK(HWND form, FormState& state) {
  ReadChoices(form, state);
  if (!state.model.Accept(*state.context.store)) {
    Warn(form, SaveFailureMessage(state.context.store->FileName(), true));
    return;
  }
  if (state.model.RestartAdvised()) MessageBoxA(form, kRestartAdvice, kRestartAdviceTitle, MB_OK | MB_ICONINFORMATION);
  state.closed = true;
}

void PressHelp(HWND form, FormState& state) {
  std::string install = state.context.installFolder ? state.context.installFolder() : std::string();
  if (install.empty()) return;  // the user has been told
  HelpChoice help = ChooseHelp(*state.context.files, install);
  if (!help.file.empty())
    ShellExecuteA(form, "OPEN", help.file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  else
    Warn(form, help.missing);
}

void ListOperation(HWND form, FormState& state, int id) {
  TProgramList& p = state.model.programs;
  if (id == kProgramUpButton) p.MoveUp();
  if (id == kProgramDownButton) p.MoveDown();
  if (id == kProgramAddButton) p.Add();
  if (id == kProgramDeleteButton) p.Delete();
  FillList(form, state);
  Refresh(form, state);
}

void Command(HWND form, FormState& state, int id, int code) {
  if (id == kProgramMemo && code == EN_CHANGE) {
    if (!state.filling) state.programEdited = true;
    return;
  }
  // Whatever else the user does may read the program or select another.
  TakeProgramText(form, state);
  switch (id) {
    case kOKButton:
      if (code == BN_CLICKED) PressOK(form, state);
      return;
    case kCancelButton:
      if (code == BN_CLICKED) state.closed = true;
      return;
    case kHelpButton:
      if (code == BN_CLICKED) PressHelp(form, state);
      return;
    case kProgramUpButton:
    case kProgramDownButton:
    case kProgramAddButton:
    case kProgramDeleteButton:
      if (code == BN_CLICKED) ListOperation(form, state, id);
      return;
    case kProgramList:
      if (code == LBN_SELCHANGE) {
        state.model.programs.Select(static_cast<int>(SendMessageA(Item(form, kProgramList), LB_GETCURSEL, 0, 0)));
        Refresh(form, state);
      }
      return;
    case kProgramNameEdit:
      if (code == EN_CHANGE && !state.filling) {
        int i = state.model.programs.Selected();
        state.model.programs.SetCaption(ControlText(Item(form, kProgramNameEdit)));
        if (i >= 0) {
          // The list shows the new caption in place.
          HWND list = Item(form, kProgramList);
          SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
          SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(state.model.programs.Caption(i).c_str()));
          SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        }
      }
      return;
    case kOptionMemo:
      if (code == EN_CHANGE && !state.filling) state.model.programs.SetOptions(ControlText(Item(form, kOptionMemo)));
      return;
  }
}

void Notify(HWND form, const NMHDR& n) {
  if (n.idFrom == static_cast<UINT_PTR>(kPageControl1) && n.code == TCN_SELCHANGE)
    ShowPage(form, kPageControl1, OuterPages(), ShownPage(form));
  else if (n.idFrom == static_cast<UINT_PTR>(kPageControl2) && n.code == TCN_SELCHANGE)
    ShowPage(form, kPageControl2, InnerPages(), TabCtrl_GetCurSel(Item(form, kPageControl2)));
  else if (n.idFrom == static_cast<UINT_PTR>(kProgramMemo) && n.code == EN_SELCHANGE)
    ShowCaretPlace(form);
}

// Closing, whichever way: the page, the panel's width and the window's
// geometry go into the settings file.
void SaveClosingState(HWND form, FormState& state) {
  SettingsStore& store = *state.context.store;
  WriteClosingState(store, ShownPage(form), state.panelWidth);
  SaveFormGeometry(form, store, "SetupForm");
  if (!store.Save()) Warn(form, SaveFailureMessage(store.FileName(), false));
}

TAM_REALIGN LRESULT CALLBACK SetupFormProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  FormState* state = State(form);
  if (state) {
    switch (message) {
      case WM_COMMAND:
        Guarded([&] { Command(form, *state, LOWORD(wParam), HIWORD(wParam)); });
        return 0;
      case WM_NOTIFY:
        Guarded([&] { Notify(form, *reinterpret_cast<NMHDR*>(lParam)); });
        return 0;
      case WM_SIZE:
        Layout(form, *state);
        return 0;
      case WM_GETMINMAXINFO: {
        auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
        mm->ptMinTrackSize = {360, 300};
        return 0;
      }
      case WM_CLOSE:
        state->closed = true;
        return 0;
      case DM_GETDEFID:
        return MAKELRESULT(kOKButton, DC_HASDEFID);
    }
  }
  return DefWindowProcA(form, message, wParam, lParam);
}

HWND Sheet(HWND parent, int id, bool visible) {
  HWND s = CreateChild(parent, kSheetClass, nullptr, WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0), 0,
                       0, 10, 10, id, nullptr, WS_EX_CONTROLPARENT);
  return s;
}

HWND Tabs(HWND parent, int id, std::initializer_list<const char*> captions, HFONT font) {
  HWND tabs = CreateChild(parent, WC_TABCONTROLA, nullptr, WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                          0, 0, 10, 10, id, font, WS_EX_CONTROLPARENT);
  int i = 0;
  for (const char* c : captions) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(c);
    SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i++), reinterpret_cast<LPARAM>(&item));
  }
  return tabs;
}

void Populate(HWND form, FormState& state) {
  HFONT f = state.font;
  const DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  CreateChild(form, "BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 10, 10, kOKButton, f);
  CreateChild(form, "BUTTON", "キャンセル", button, 0, 0, 10, 10, kCancelButton, f);
  CreateChild(form, "BUTTON", "ヘルプ", button, 0, 0, 10, 10, kHelpButton, f);
  HWND pages = Tabs(form, kPageControl1, {"メニュー表示", "返信プログラム", "メール出力"}, f);

  HWND trigger = Sheet(pages, kTriggerPage, true);
  const DWORD check = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
  CreateChild(trigger, "BUTTON", "メイン画面のメインメニュー", check | WS_GROUP, 0, 0, 10, 10, kTriggerMainMainCheck,
              f);
  CreateChild(trigger, "BUTTON", "メイン画面のコンテキストメニュー", check, 0, 0, 10, 10, kTriggerMainContextCheck, f);
  CreateChild(trigger, "BUTTON", "VIEW画面のメインメニュー", check, 0, 0, 10, 10, kTriggerViewMainCheck, f);
  CreateChild(trigger, "BUTTON", "VIEW画面のコンテキストメニュー", check, 0, 0, 10, 10, kTriggerViewContextCheck, f);
  CreateChild(trigger, "STATIC", nullptr, WS_VISIBLE | SS_ETCHEDHORZ, 0, 0, 10, 2, kDebuggerBevel, f);
  CreateChild(trigger, "BUTTON", "デバッガ起動メニューも表示する", check, 0, 0, 10, 10, kDebuggerCheck, f);

  HWND program = Sheet(pages, kProgramPage, false);
  HWND panel = Sheet(program, kProgramListPanel, true);
  HWND list =
      CreateChild(panel, "LISTBOX", nullptr, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                  0, 0, 10, 10, kProgramList, f, WS_EX_CLIENTEDGE);
  state.listProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
  CreateChild(panel, "BUTTON", "↑", button, 0, 0, 10, 10, kProgramUpButton, f);
  CreateChild(panel, "BUTTON", "↓", button, 0, 0, 10, 10, kProgramDownButton, f);
  CreateChild(panel, "BUTTON", "追加", button, 0, 0, 10, 10, kProgramAddButton, f);
  CreateChild(panel, "BUTTON", "削除", button, 0, 0, 10, 10, kProgramDeleteButton, f);
  CreateChild(program, kSplitterClass, nullptr, WS_VISIBLE, 0, 0, 10, 10, kProgramListSplitter, f);
  HWND detail = Sheet(program, kProgramDetailPanel, true);
  CreateChild(detail, "STATIC", "プログラム名", WS_VISIBLE, 0, 0, 10, 10, kProgramNameLabel, f);
  CreateChild(detail, "EDIT", nullptr, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 10, 10, kProgramNameEdit, f,
              WS_EX_CLIENTEDGE);
  HWND inner = Tabs(detail, kPageControl2, {"プログラム", "起動オプション"}, f);
  HWND sheet1 = Sheet(inner, kTabSheet1, true);
  HWND memo = CreateExtMemo(sheet1, kProgramMemo,
                            WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL | ES_DISABLENOSCROLL,
                            0, 0, 10, 10);
  if (TExtMemo* editor = ExtMemoOf(memo)) {
    SetUpProgramEditor(*editor, kLineLength);
    SendMessageA(memo, WM_SETFONT, reinterpret_cast<WPARAM>(state.editorFont), FALSE);
    SendMessageA(memo, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    LRESULT mask = SendMessageA(memo, EM_GETEVENTMASK, 0, 0);
    SendMessageA(memo, EM_SETEVENTMASK, 0, mask | ENM_CHANGE | ENM_SELCHANGE);
    state.memoProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(memo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MemoProc)));
  }
  HWND status = CreateChild(sheet1, STATUSCLASSNAMEA, nullptr, WS_VISIBLE, 0, 0, 10, 10, kStatusBar1, f);
  int parts[3] = {kStatusPanelWidth, 2 * kStatusPanelWidth, 3 * kStatusPanelWidth};
  SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  HWND sheet2 = Sheet(inner, kTabSheet2, false);
  HWND options = CreateChild(sheet2, "EDIT", nullptr,
                             WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                 ES_AUTOHSCROLL | ES_WANTRETURN,
                             0, 0, 10, 10, kOptionMemo, state.editorFont, WS_EX_CLIENTEDGE);
  SendMessageA(options, EM_SETLIMITTEXT, 0, 0);

  HWND output = Sheet(pages, kOutputPage, false);
  const DWORD radio = WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON;
  CreateChild(output, "BUTTON", "送信箱で送信予約状態　（次の送受信の時に送信されます）", radio | WS_GROUP, 0, 0, 10,
              10, kOutputSendingRadio, f);
  CreateChild(output, "BUTTON", "送信箱で送信前状態　（送信保留の状態です）", radio, 0, 0, 10, 10, kOutputDraftRadio,
              f);
  CreateChild(output, "BUTTON", "送信画面で開く", radio, 0, 0, 10, 10, kOutputWindowRadio, f);
}

// The form's font, its size in points and the tab step: a quarter of the
// width of twelve blanks, plus 3.
void MeasureFont(FormState& state) {
  state.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTA lf = {};
  GetObjectA(state.font, sizeof lf, &lf);
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  HGDIOBJ old = SelectObject(dc, state.font);
  SIZE blanks = {0, 0};
  GetTextExtentPoint32A(dc, "            ", 12, &blanks);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  state.tabStep = (blanks.cx + 3) / 4;
  int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  if (height > 0 && dpi > 0) state.fontPoints = (height * 72 + dpi / 2) / dpi;
  LOGFONTA ef = {};
  ef.lfHeight = -((state.fontPoints * dpi + 36) / 72);
  ef.lfCharSet = SHIFTJIS_CHARSET;
  ef.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpynA(ef.lfFaceName, "ＭＳ ゴシック", LF_FACESIZE);
  state.editorFont = CreateFontIndirectA(&ef);
}

void Open(HWND form, FormState& state) {
  TSetupModel& m = state.model;
  ShowPage(form, kPageControl2, InnerPages(), 0);
  LoadFormGeometry(form, *state.context.store, "SetupForm");
  m.Open(*state.context.store, state.context.debuggerExists);
  ShowPage(form, kPageControl1, OuterPages(), m.StartPage() >= 0 ? m.StartPage() : 0);
  state.panelWidth = m.PanelWidth(kDesignPanelWidth);
  Check(form, kTriggerMainMainCheck, m.switches.mainMenu);
  Check(form, kTriggerMainContextCheck, m.switches.mainContext);
  Check(form, kTriggerViewMainCheck, m.switches.viewMenu);
  Check(form, kTriggerViewContextCheck, m.switches.viewContext);
  Check(form, kDebuggerCheck, m.switches.debugger);
  if (!m.DebuggerShown()) {
    ShowWindow(Item(form, kDebuggerCheck), SW_HIDE);
    ShowWindow(Item(form, kDebuggerBevel), SW_HIDE);
  }
  Check(form, kOutputSendingRadio, m.output == OutputChoice::kSending);
  Check(form, kOutputDraftRadio, m.output == OutputChoice::kDraft);
  Check(form, kOutputWindowRadio, m.output == OutputChoice::kWindow);
  FillList(form, state);
  Layout(form, state);
  Refresh(form, state);
}

bool RegisterClasses() {
  static bool common = [] {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)common;
  if (!RegisterFormClass(kSetupFormClass, SetupFormProc, nullptr)) return false;
  if (!RegisterFormClass(kSheetClass, SheetProc, nullptr)) return false;
  WNDCLASSA existing;
  if (GetClassInfoA(PluginInstance(), kSplitterClass, &existing)) return true;
  WNDCLASSA c = {};
  c.lpfnWndProc = SplitterProc;
  c.hInstance = PluginInstance();
  c.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE));
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  c.lpszClassName = kSplitterClass;
  return RegisterClassA(&c) != 0;
}

}  // namespace

void ShowSetupForm(HWND owner, const SetupContext& context) {
  if (!context.store || !context.files || !RegisterClasses()) return;
  FormState state;
  state.context = context;
  MeasureFont(state);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
              exStyle = WS_EX_CONTROLPARENT;
  int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  // Over the mail client until a place of its own is stored.
  RECT r;
  if (!owner || !GetWindowRect(owner, &r)) r = {0, 0, screenWidth, screenHeight};
  Point at = CentreOver({r.left, r.top, r.right, r.bottom}, kDesignWidth, kDesignHeight, screenWidth, screenHeight);
  const int x = at.x, y = at.y;
  HWND form = CreateWindowExA(exStyle, kSetupFormClass, kCaption, style, x, y, kDesignWidth, kDesignHeight, owner,
                              nullptr, PluginInstance(), nullptr);
  if (form) {
    state.form = form;
    state.icon = MakePluginIcon();
    SendMessageA(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(state.icon));
    SendMessageA(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(state.icon));
    SetWindowLongPtrA(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    bool opened = Guarded([&] {
      Populate(form, state);
      Open(form, state);
    });
    if (opened) {
      SetFocus(Item(form, kOKButton));
      RunModal(form, state.closed, owner);
      Guarded([&] { SaveClosingState(form, state); });
    }
    HWND memo = Item(form, kProgramMemo), list = Item(form, kProgramList);
    if (memo && state.memoProc) SetWindowLongPtrA(memo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state.memoProc));
    if (list && state.listProc) SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state.listProc));
    SetWindowLongPtrA(form, GWLP_USERDATA, 0);
    DestroyWindow(form);
  }
  if (state.editorFont) DeleteObject(state.editorFont);
  if (state.icon) DestroyIcon(state.icon);
}

void UnregisterSetupForm() {
  UnregisterClassA(kSetupFormClass, PluginInstance());
  UnregisterClassA(kSheetClass, PluginInstance());
  UnregisterClassA(kSplitterClass, PluginInstance());
}

}  // namespace tam::win

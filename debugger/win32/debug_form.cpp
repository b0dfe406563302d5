#include "debugger/win32/debug_form.h"

#include <commdlg.h>

#include <exception>
#include <new>
#include <optional>

#include "debugger/debug_session.h"
#include "debugger/win32/forms.h"
#include "debugger/win32/views.h"
#include "debugger/win32/vodrin_ids.h"
#include "editor/win32/ext_memo.h"
#include "engine/text_lines.h"
#include "settings/win32/form_geometry.h"

namespace tam::vodrin {

namespace {

// The most a run goes without looking at its windows' messages, in ms.
constexpr DWORD kPumpInterval = 50;

struct FormState {
  explicit FormState(const TAppli& a) : appli(a), log(NativeFiles(), a.folder + a.baseName + ".log"), session(log) {}
  TAppli appli;
  SettingsStore store;
  TChangeLog log;
  TDebugSession session;
  Views views;
  HWND form = nullptr;
  bool closePending = false;
  DWORD lastPump = 0;
  std::string openFolder, saveFolder;  // of the file dialogs
};

// The split of a full file name after its last backslash (not the trail
// byte of a double-byte character).
std::size_t AfterFolder(const std::string& path) {
  std::size_t after = 0;
  for (std::size_t i = 0; i < path.size(); i += SjisCharSize(path, i))
    if (path[i] == '\\' || path[i] == ':') after = i + 1;
  return after;
}

void Report(const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), "エラー", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

// The buttons from left to right, each with the switch of the session that
// enables it.
struct ButtonSpec {
  int id;
  const char* caption;
  bool DebugButtons::*enabled;
};
constexpr ButtonSpec kButtons[] = {{kStartButton, "Debug", &DebugButtons::start},
                                   {kResetButton, "Reset", &DebugButtons::reset},
                                   {kRunButton, "Run", &DebugButtons::run},
                                   {kStepButton, "Step", &DebugButtons::step},
                                   {kStopButton, "Stop", &DebugButtons::stop}};

// The windows that the window menu's items show, in the items' order from
// kMailWindow.
constexpr HWND Views::*kWindowItems[] = {&Views::mail, &Views::program, &Views::variable, &Views::result,
                                         &Views::option};
static_assert(sizeof kWindowItems / sizeof kWindowItems[0] == kOptionWindow - kMailWindow + 1);

// Buttons, editors and labels as the session's state says.
void ShowState(FormState& s) {
  const DebugButtons b = s.session.Buttons();
  for (const ButtonSpec& button : kButtons) EnableWindow(GetDlgItem(s.form, button.id), b.*button.enabled);
  SetDlgItemTextA(s.form, kCurrentLineLabel, s.session.CurrentLineLabel().c_str());
  SetDlgItemTextA(s.form, kNextLineLabel, s.session.NextLineLabel().c_str());
  SetEditorsReadOnly(s.views, s.session.EditorsReadOnly());
}

void ShowWithoutFocus(HWND view) {
  if (view && !IsWindowVisible(view)) ShowWindow(view, SW_SHOWNA);
  if (view && IsIconic(view)) ShowWindow(view, SW_SHOWNOACTIVATE);
}

// What a debug start, Run or Step leaves on the screen.
void ShowOutcome(FormState& s, bool step) {
  SetDlgItemTextA(s.form, kMessageMemo, s.session.Message().c_str());
  if (s.session.ShowProgram()) ShowForm(s.views.program);
  if (step) SelectProgramLine(s.views.program, s.session.SelectedLine());
  if (s.session.ViewsFilled()) {
    SetViewText(s.views.variable, s.session.VariableText(s.session.LastForm()));
    ShowWithoutFocus(s.views.variable);
    SetViewText(s.views.result, s.session.ResultText());
    ShowWithoutFocus(s.views.result);
  }
  ShowState(s);
  if (s.closePending) PostMessageA(s.form, WM_CLOSE, 0, 0);
}

// Between statements of a long run: the windows answer, and Escape, the
// Stop button or the close box stop the run.
void Pump(FormState& s) {
  const DWORD now = GetTickCount();
  if (now - s.lastPump < kPumpInterval) return;
  s.lastPump = now;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      s.session.RequestStop();
      break;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      s.session.RequestStop();
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void RunAction(FormState& s, bool step) {
  SetViewText(s.views.result, "");
  s.lastPump = GetTickCount();
  if (step)
    s.session.Step();
  else
    s.session.Run();
  ShowOutcome(s, step);
}

void StartDebugging(FormState& s) {
  SetDlgItemTextA(s.form, kMessageMemo, "");
  s.session.Start(ReadTexts(s.views));
  ShowOutcome(s, false);
}

std::optional<std::string> AskFileName(HWND owner, bool save, std::string& folder) {
  if (folder.empty()) folder = StateOf<FormState>(owner)->appli.folder;
  char name[MAX_PATH * 2] = "";
  OPENFILENAMEA o = {};
  o.lStructSize = sizeof o;
  o.hwndOwner = owner;
  o.lpstrFile = name;
  o.nMaxFile = sizeof name;
  o.lpstrInitialDir = folder.c_str();
  o.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(save ? GetSaveFileNameA(&o) : GetOpenFileNameA(&o))) return std::nullopt;
  std::string chosen = name;
  folder = chosen.substr(0, AfterFolder(chosen));
  return chosen;
}

void OpenInto(FormState& s, bool program) {
  std::optional<std::string> name = AskFileName(s.form, false, s.openFolder);
  if (!name) return;
  std::optional<std::string> text = NativeFiles().ReadAll(*name);
  if (!text) {
    Report(*name + " を読めません");
    return;
  }
  const std::string lines = JoinTextLines(SplitTextLines(*text));
  if (program) {
    win::SetExtMemoText(ContentOf(s.views.program), lines);
    ResetProgramCaret(s.views.program);
    ShowForm(s.views.program);
  } else {
    SetWindowTextA(ContentOf(s.views.mail), lines.c_str());
    ShowForm(s.views.mail);
  }
}

void SaveFrom(FormState& s, bool program) {
  std::optional<std::string> name = AskFileName(s.form, true, s.saveFolder);
  if (!name) return;
  const std::string text = program ? win::ExtMemoText(ContentOf(s.views.program)) : WindowText(ContentOf(s.views.mail));
  if (!NativeFiles().ReplaceContents(*name, JoinTextLines(SplitTextLines(text)))) Report(*name + " に書き込めません");
}

void Command(FormState& s, int id) {
  // While the engine runs only Stop and the window menu answer.
  if (s.session.Running()) {
    if (id == kStopButton) s.session.RequestStop();
    if (id < kMailWindow || id > kOptionWindow) return;
  }
  const DebugButtons b = s.session.Buttons();
  switch (id) {
    case kStartButton:
      if (b.start) StartDebugging(s);
      break;
    case kRunButton:
      if (b.run) RunAction(s, false);
      break;
    case kStepButton:
      if (b.step) RunAction(s, true);
      break;
    case kResetButton:
      if (b.reset) s.session.Reset();
      ShowState(s);
      break;
    case kMailOpen:
    case kProgramOpen:
      OpenInto(s, id == kProgramOpen);
      break;
    case kMailSaveAs:
    case kProgramSaveAs:
      SaveFrom(s, id == kProgramSaveAs);
      break;
    case kExit:
      PostMessageA(s.form, WM_CLOSE, 0, 0);
      break;
    default:
      if (id >= kMailWindow && id <= kOptionWindow) ShowForm(s.views.*kWindowItems[id - kMailWindow]);
      break;
  }
}

// Closing: the texts and the geometry are remembered, the windows released.
void Close(FormState& s) {
  try {
    RememberTexts(s.store, ReadTexts(s.views));
  } catch (const std::bad_alloc&) {
    // The texts of the previous run stay remembered.
  }
  s.store.Save();
  SaveViewGeometry(s.views, s.store);
  SaveFormGeometry(s.form, s.store, "DebugForm");
  for (HWND* view : {&s.views.program, &s.views.mail, &s.views.option}) {
    if (*view) DestroyWindow(*view);
    *view = nullptr;
  }
  DestroyWindow(s.form);
}

void Layout(HWND form) {
  RECT r;
  GetClientRect(form, &r);
  const int labelHeight = 18, top = 34;
  int memoHeight = r.bottom - top - 2 * labelHeight - 4;
  MoveWindow(GetDlgItem(form, kMessageMemo), 0, top, r.right, memoHeight > 0 ? memoHeight : 0, TRUE);
  MoveWindow(GetDlgItem(form, kCurrentLineLabel), 4, r.bottom - 2 * labelHeight - 2, r.right - 8, labelHeight, TRUE);
  MoveWindow(GetDlgItem(form, kNextLineLabel), 4, r.bottom - labelHeight - 1, r.right - 8, labelHeight, TRUE);
}

VODRIN_CALLBACK DebugFormProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  FormState* s = StateOf<FormState>(form);
  if (s) {
    try {
      switch (message) {
        case WM_COMMAND:
          Command(*s, LOWORD(wParam));
          return 0;
        case WM_SIZE:
          Layout(form);
          return 0;
        case WM_SETCURSOR:
          if (s->session.Running()) {
            SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_APPSTARTING)));
            return TRUE;
          }
          break;
        case WM_CLOSE:
          if (s->session.Running()) {
            s->session.RequestStop();
            s->closePending = true;
          } else {
            Close(*s);
          }
          return 0;
        case WM_DESTROY:
          PostQuitMessage(0);
          return 0;
      }
    } catch (const std::bad_alloc&) {
      Report("メモリが足りません");
      return 0;
    } catch (const std::exception& e) {
      Report(e.what());
      return 0;
    }
  }
  return DefWindowProcA(form, message, wParam, lParam);
}

HMENU MakeMenu() {
  HMENU bar = CreateMenu(), file = CreatePopupMenu(), mail = CreatePopupMenu(), program = CreatePopupMenu(),
        window = CreatePopupMenu();
  AppendMenuA(mail, MF_STRING, kMailOpen, "開く (&Open)");
  AppendMenuA(mail, MF_STRING, kMailSaveAs, "名前を付けて保存 (Save &as) ...");
  AppendMenuA(program, MF_STRING, kProgramOpen, "開く (&Open)");
  AppendMenuA(program, MF_STRING, kProgramSaveAs, "名前を付けて保存 (Save &as) ...");
  AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(mail), "メール (&Mail)");
  AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(program), "プログラム (&Program)");
  AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(file, MF_STRING, kExit, "終了 (E&xit)");
  AppendMenuA(window, MF_STRING, kMailWindow, "メールウィンドウ (&Mail)");
  AppendMenuA(window, MF_STRING, kProgramWindow, "プログラムウィンドウ (&Program)");
  AppendMenuA(window, MF_STRING, kVariableWindow, "変数ウィンドウ (&Variable)");
  AppendMenuA(window, MF_STRING, kResultWindow, "結果ウィンドウ (&Result)");
  AppendMenuA(window, MF_STRING, kOptionWindow, "オプションウィンドウ (&Option)");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "ファイル(&F)");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "ウィンドウ (&W)");
  return bar;
}

void Populate(HWND form) {
  int x = 4;
  for (const auto& b : kButtons) {
    Child(form, "BUTTON", b.caption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, 4, 72, 25, b.id);
    x += 76;
  }
  Child(form, "EDIT", "", WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, 0, 34, 10, 10,
        kMessageMemo, WS_EX_CLIENTEDGE);
  Child(form, "STATIC", "Current Line", WS_VISIBLE | SS_LEFTNOWORDWRAP, 4, 0, 10, 18, kCurrentLineLabel);
  Child(form, "STATIC", "Next Line", WS_VISIBLE | SS_LEFTNOWORDWRAP, 4, 0, 10, 18, kNextLineLabel);
  Layout(form);
}

}  // namespace

TAppli TAppli::OfThisProgram() {
  char path[MAX_PATH * 2] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  char longPath[MAX_PATH * 2] = "";
  DWORD n = GetLongPathNameA(path, longPath, sizeof longPath);
  std::string full = n > 0 && n < sizeof longPath ? longPath : path;
  TAppli a;
  const std::size_t after = AfterFolder(full);
  a.folder = full.substr(0, after);
  a.baseName = full.substr(after);
  if (a.baseName.size() > 4) a.baseName.resize(a.baseName.size() - 4);
  return a;
}

bool CreateDebugForm(const TAppli& appli, const std::string& bundle) {
  if (!RegisterForm(kDebugFormClass, DebugFormProc)) return false;
  static FormState* state = nullptr;  // lives until the program ends
  state = new FormState(appli);
  FormState& s = *state;
  s.store.Load(appli.folder + appli.baseName + ".ini");
  s.log.Load();
  s.openFolder = appli.folder;
  s.form = CreateWindowExA(0, kDebugFormClass, "DebugForm", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 320, 0, 400, 260,
                           nullptr, MakeMenu(), Instance(), nullptr);
  if (!s.form) return false;
  Populate(s.form);
  SetWindowLongPtrA(s.form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&s));
  LoadFormGeometry(s.form, s.store, "DebugForm");
  CreateEditingViews(s.form, s.store, s.views);
  CreateOutputViews(s.form, s.store, s.views);

  DebugTexts texts = LoadRememberedTexts(s.store);
  if (!bundle.empty()) ReadBundleInto(NativeFiles(), bundle, texts);
  WriteTexts(s.views, texts);
  ResetProgramCaret(s.views.program);

  s.session.SetPump([&s] { Pump(s); });
  s.session.SetBusy([&s](bool busy) {
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(busy ? IDC_APPSTARTING : IDC_ARROW)));
    ShowState(s);  // Stop enabled while the engine runs
  });
  ShowState(s);
  if (!IsWindowVisible(s.form)) ShowWindow(s.form, SW_SHOW);
  ShowForm(s.views.program);
  SetForegroundWindow(s.form);
  return true;
}

}  // namespace tam::vodrin

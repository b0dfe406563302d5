// The input box: a prompt that may take several lines, one edit field and
// the buttons "OK" and "ｷｬﾝｾﾙ". It is modal to the thread's active window.
#include <windows.h>

#include "platform/win32/win32_dialog_template.h"
#include "platform/win32/win32_dialogs.h"

namespace tam::win32 {

namespace {

enum : WORD { kPrompt = 100, kEdit = 101 };

struct InputState {
  std::string prompt, preset, typed;
};

// Moves a control down by dy pixels.
void MoveDown(HWND dialog, int id, int dy) {
  HWND c = GetDlgItem(dialog, id);
  RECT r;
  GetWindowRect(c, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  SetWindowPos(c, nullptr, r.left, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// Gives the prompt the height its text needs and moves the rest below it.
void FitPrompt(HWND dialog, const std::wstring& text) {
  HWND prompt = GetDlgItem(dialog, kPrompt);
  RECT r;
  GetWindowRect(prompt, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  HDC dc = GetDC(prompt);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  RECT need = {0, 0, r.right - r.left, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
  SelectObject(dc, old);
  ReleaseDC(prompt, dc);
  const int dy = need.bottom - (r.bottom - r.top);
  if (dy <= 0) return;
  SetWindowPos(prompt, nullptr, 0, 0, r.right - r.left, need.bottom, SWP_NOMOVE | SWP_NOZORDER);
  for (int id : {static_cast<int>(kEdit), IDOK, IDCANCEL}) MoveDown(dialog, id, dy);
  RECT w;
  GetWindowRect(dialog, &w);
  SetWindowPos(dialog, nullptr, w.left, w.top - dy / 2, w.right - w.left, w.bottom - w.top + dy, SWP_NOZORDER);
}

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<InputState*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      const std::wstring prompt = Wide(state->prompt);
      SetDlgItemTextW(dialog, kPrompt, prompt.c_str());
      SetDlgItemTextW(dialog, kEdit, Wide(state->preset).c_str());
      FitPrompt(dialog, prompt);
      HWND edit = GetDlgItem(dialog, kEdit);
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        state->typed = ControlText(GetDlgItem(dialog, kEdit));
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<std::string> InputBoxDialog(const std::string& caption, const std::string& prompt,
                                          const std::string& preset) {
  InputState state{prompt, preset, std::string()};
  DialogTemplate t(caption, DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 180, 63);
  t.Add(kPrompt, 0x82, "", SS_LEFT | SS_NOPREFIX, 8, 8, 164, 9);
  t.Add(kEdit, 0x81, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 21, 164, 12);
  t.Add(IDOK, 0x80, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 38, 41, 50, 14);
  t.Add(IDCANCEL, 0x80, "ｷｬﾝｾﾙ", BS_PUSHBUTTON | WS_TABSTOP, 92, 41, 50, 14);
  const INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), GetActiveWindow(), InputProc,
                                            reinterpret_cast<LPARAM>(&state));
  if (r != IDOK) return std::nullopt;
  return state.typed;
}

}  // namespace tam::win32

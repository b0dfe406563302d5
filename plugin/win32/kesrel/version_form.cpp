#include "plugin/win32/kesrel/version_form.h"

#include <string>

#include "plugin/version.h"
#include "plugin/win32/kesrel/form_support.h"
#include "plugin/win32/kesrel/pictures.h"
#include "plugin/win32/kesrel/services.h"
#include "settings/form_place.h"

namespace tam::win {

namespace {

const char kVersionClass[] = "TVersionForm";
const char kCommonClass[] = "TCommonForm";
constexpr int kClientWidth = 330, kClientHeight = 140;
enum { kImage1 = 101, kImage2 = 102 };

struct FormState {
  bool closed = false;
  int clicks = 0;
  HICON icon = nullptr;
  HBITMAP picture = nullptr;
};

FormState* State(HWND form) { return reinterpret_cast<FormState*>(GetWindowLongPtrA(form, GWLP_USERDATA)); }

void ShowPicture(HWND form, bool picture) {
  ShowWindow(GetDlgItem(form, kImage1), picture ? SW_HIDE : SW_SHOW);
  ShowWindow(GetDlgItem(form, kImage2), picture ? SW_SHOW : SW_HIDE);
}

TAM_REALIGN LRESULT CALLBACK VersionFormProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  FormState* state = State(form);
  switch (message) {
    case WM_COMMAND: {
      int id = LOWORD(wParam), code = HIWORD(wParam);
      if ((id == IDOK || id == IDCANCEL) && state) {
        state->closed = true;
        return 0;
      }
      if (state && (code == STN_CLICKED || code == STN_DBLCLK)) {
        if (id == kImage1 && ++state->clicks >= kPictureClicks) {
          state->clicks = 0;
          ShowPicture(form, true);
        } else if (id == kImage2) {
          ShowPicture(form, false);
        }
        return 0;
      }
      break;
    }
    case WM_CLOSE:
      if (state) state->closed = true;
      return 0;
  }
  return DefWindowProcA(form, message, wParam, lParam);
}

TAM_REALIGN LRESULT CALLBACK CommonFormProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(form, message, wParam, lParam);
}

// The plug-in's icon as the common form carries it: the form is made, its
// icon copied and the form released.
HICON IconOfCommonForm() {
  static HICON classIcon = MakePluginIcon();
  if (!RegisterFormClass(kCommonClass, CommonFormProc, classIcon)) return CopyIcon(classIcon);
  HWND common = CreateWindowExA(0, kCommonClass, "CommonForm", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                PluginInstance(), nullptr);
  HICON icon = reinterpret_cast<HICON>(GetClassLongPtrA(common, GCLP_HICON));
  HICON copy = CopyIcon(icon ? icon : classIcon);
  if (common) DestroyWindow(common);
  return copy;
}

void Populate(HWND form, FormState& state) {
  HWND image1 = CreateChild(form, "STATIC", nullptr, WS_VISIBLE | SS_ICON | SS_NOTIFY, 16, 16, 32, 32, kImage1);
  SendMessageA(image1, STM_SETICON, reinterpret_cast<WPARAM>(state.icon), 0);
  HWND image2 = CreateChild(form, "STATIC", nullptr, SS_BITMAP | SS_NOTIFY, 16, 16, 32, 32, kImage2);
  SendMessageA(image2, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(state.picture));
  std::string version = std::string(kProductName) + " " + kVersionText;
  CreateChild(form, "STATIC", "返信作成プラグイン", WS_VISIBLE, 64, 14, 250, 18, 0);
  CreateChild(form, "STATIC", version.c_str(), WS_VISIBLE, 64, 38, 250, 18, 0);
  CreateChild(form, "STATIC", "(AL-Mail32専用  AL-Zembraシリーズ)", WS_VISIBLE, 64, 62, 250, 18, 0);
  HWND ok = CreateChild(form, "BUTTON", "ＯＫ", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, (kClientWidth - 80) / 2, 98,
                        80, 26, IDOK);
  SetFocus(ok);
}

}  // namespace

void ShowVersionForm(HWND owner) {
  if (!RegisterFormClass(kVersionClass, VersionFormProc, nullptr)) return;
  FormState state;
  state.icon = IconOfCommonForm();
  state.picture = MakeHiddenPicture();
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU, exStyle = WS_EX_DLGMODALFRAME;
  RECT frame = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  RECT r;
  if (!owner || !GetWindowRect(owner, &r)) r = {0, 0, screenWidth, screenHeight};
  Point at = CentreOver({r.left, r.top, r.right, r.bottom}, width, height, screenWidth, screenHeight);
  std::string caption = std::string(kProductName) + " のバージョン情報";
  HWND form = CreateWindowExA(exStyle, kVersionClass, caption.c_str(), style, at.x, at.y, width, height, owner, nullptr,
                              PluginInstance(), nullptr);
  if (form) {
    SetWindowLongPtrA(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    Populate(form, state);
    RunModal(form, state.closed, owner);
    SetWindowLongPtrA(form, GWLP_USERDATA, 0);
    DestroyWindow(form);
  }
  if (state.icon) DestroyIcon(state.icon);
  if (state.picture) DeleteObject(state.picture);
}

void UnregisterVersionForm() {
  UnregisterClassA(kVersionClass, PluginInstance());
  UnregisterClassA(kCommonClass, PluginInstance());
}

}  // namespace tam::win

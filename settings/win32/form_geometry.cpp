#include "settings/win32/form_geometry.h"

#include "settings/window_geometry.h"

namespace tam {

namespace {
bool Sizeable(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_THICKFRAME) != 0; }

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
}  // namespace

bool SaveFormGeometry(HWND window, SettingsStore& store, const std::string& section) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(window, &wp)) return false;
  SavedPlacement p;
  p.normal = ToRect(wp.rcNormalPosition);
  p.sizeable = Sizeable(window);
  p.state = IsIconic(window)   ? WindowState::kMinimized
            : IsZoomed(window) ? WindowState::kMaximized
                               : WindowState::kNormal;
  return SaveWindowGeometry(store, section, p);
}

void LoadFormGeometry(HWND window, const SettingsStore& store, const std::string& section) {
  RECT r{};
  GetWindowRect(window, &r);
  CurrentBounds now;
  now.left = r.left;
  now.top = r.top;
  now.width = r.right - r.left;
  now.height = r.bottom - r.top;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  now.havePlacement = GetWindowPlacement(window, &wp) != 0;
  now.normal = ToRect(wp.rcNormalPosition);
  now.sizeable = Sizeable(window);
  now.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  now.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  LoadedBounds b = LoadWindowGeometry(store, section, now);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (now.sizeable ? 0 : SWP_NOSIZE);
  SetWindowPos(window, nullptr, b.left, b.top, b.width, b.height, flags);
  if (b.state == WindowState::kMinimized) ShowWindow(window, SW_MINIMIZE);
  if (b.state == WindowState::kMaximized) ShowWindow(window, SW_MAXIMIZE);
}

}  // namespace tam

#include "plugin/win32/kesrel/timer_form.h"

#include <set>

#include "plugin/win32/kesrel/services.h"

namespace tam::win {

namespace {

const char kClass[] = "TTimerForm";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kInterval = 1000;

std::set<HWND> watchers;

HWND Watched(HWND form) { return reinterpret_cast<HWND>(GetWindowLongPtrA(form, GWLP_USERDATA)); }

TAM_REALIGN LRESULT CALLBACK TimerFormProc(HWND form, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: {
      if (wParam != kTimer1) break;
      bool done = true;
      Guarded([&] { done = Plugin().WatchTick(reinterpret_cast<HostWindow>(Watched(form))); });
      if (done) {
        KillTimer(form, kTimer1);
        DestroyWindow(form);
      }
      return 0;
    }
    case WM_DESTROY:
      KillTimer(form, kTimer1);
      watchers.erase(form);
      return 0;
  }
  return DefWindowProcA(form, message, wParam, lParam);
}

bool RegisterOnce() {
  WNDCLASSA existing;
  if (GetClassInfoA(PluginInstance(), kClass, &existing)) return true;
  WNDCLASSA c = {};
  c.lpfnWndProc = TimerFormProc;
  c.hInstance = PluginInstance();
  c.lpszClassName = kClass;
  return RegisterClassA(&c) != 0;
}

}  // namespace

void CreateSendWatcher(HWND sendWindow) {
  if (!RegisterOnce()) return;
  // Never shown; placed just outside the bottom-right corner of the screen.
  HWND form = CreateWindowExA(WS_EX_TOOLWINDOW, kClass, "TimerForm", WS_POPUP, GetSystemMetrics(SM_CXSCREEN),
                              GetSystemMetrics(SM_CYSCREEN), 100, 100, nullptr, nullptr, PluginInstance(), nullptr);
  if (!form) return;
  SetWindowLongPtrA(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(sendWindow));
  watchers.insert(form);
  if (!SetTimer(form, kTimer1, kInterval, nullptr)) DestroyWindow(form);
}

void DestroySendWatchers() {
  while (!watchers.empty()) {
    HWND form = *watchers.begin();
    watchers.erase(watchers.begin());
    DestroyWindow(form);
  }
}

int SendWatcherCount() { return static_cast<int>(watchers.size()); }

void UnregisterTimerForm() { UnregisterClassA(kClass, PluginInstance()); }

}  // namespace tam::win

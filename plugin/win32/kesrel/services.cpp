#include "plugin/win32/kesrel/services.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

namespace tam::win {

namespace {

HINSTANCE instance = nullptr;

HWND Window(HostWindow w) { return reinterpret_cast<HWND>(w); }

class Win32Ui : public PluginUi {
 public:
  int Message(HostWindow owner, const std::string& text, const std::string& caption, unsigned flags) override {
    return MessageBoxA(Window(owner), text.c_str(), caption.c_str(), flags);
  }
  int ShellStart(const std::string& verb, const std::string& file, const std::string& params, int show) override {
    HINSTANCE h =
        ShellExecuteA(nullptr, verb.c_str(), file.c_str(), params.empty() ? nullptr : params.c_str(), nullptr, show);
    return static_cast<int>(reinterpret_cast<INT_PTR>(h));
  }
};

class Win32Windows : public WindowSystem {
 public:
  bool IsWindow(HostWindow w) override { return w != 0 && ::IsWindow(Window(w)); }
  std::uint32_t ProcessOf(HostWindow w) override {
    DWORD process = 0;
    GetWindowThreadProcessId(Window(w), &process);
    return process;
  }
  HostWindow FirstTopLevel() override { return Handle(GetTopWindow(GetDesktopWindow())); }
  HostWindow TopChild(HostWindow w) override { return Handle(GetTopWindow(Window(w))); }
  HostWindow Next(HostWindow w) override { return Handle(GetWindow(Window(w), GW_HWNDNEXT)); }
  int TextLength(HostWindow w) override { return static_cast<int>(SendMessageA(Window(w), WM_GETTEXTLENGTH, 0, 0)); }
  std::string Text(HostWindow w, int size) override {
    if (size < 0) size = 0;
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    SendMessageA(Window(w), WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return std::string(buffer.data(), std::strlen(buffer.data()));
  }

 private:
  static HostWindow Handle(HWND h) { return reinterpret_cast<HostWindow>(h); }
};

// The hourglass while the engine runs; the normal cursor before a message
// box of the run and after it.
void ShowBusy(bool busy) { SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(busy ? IDC_WAIT : IDC_ARROW))); }

}  // namespace

WindowSystem& SystemWindows() {
  static Win32Windows windows;
  return windows;
}

TKesrel& Plugin() {
  static Win32Ui ui;
  static TKesrel plugin(
      PluginServices{&NativeFiles(), &NativeRegistry(), &ui, &SystemWindows(), AskByMessageBox, ShowBusy});
  return plugin;
}

HINSTANCE PluginInstance() { return instance ? instance : GetModuleHandleA(nullptr); }

void SetPluginInstance(HINSTANCE h) { instance = h; }

void ReportFault(const char* what) noexcept {
  try {
    std::string text = std::string("Tamberlo は処理を中止しました。\r\n") + what;
    MessageBoxA(nullptr, text.c_str(), "エラー", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
  } catch (...) {
    MessageBoxA(nullptr, "Tamberlo は処理を中止しました。", "エラー", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
  }
}

}  // namespace tam::win

// The eight entry points through which AL-Mail drives the plug-in, and the
// procedures it calls for the plug-in's menu items. Each runs on the host's
// thread and lets nothing pass out to the host.
#include <windows.h>
// (shellapi.h needs windows.h before it)
#include <shellapi.h>

#include "plugin/mailbox.h"
#include "plugin/version.h"
#include "plugin/win32/kesrel/host_binding.h"
#include "plugin/win32/kesrel/menus.h"
#include "plugin/win32/kesrel/services.h"
#include "plugin/win32/kesrel/setup_form.h"
#include "plugin/win32/kesrel/timer_form.h"
#include "plugin/win32/kesrel/version_form.h"

using namespace tam;
using namespace tam::win;

namespace {

const char kWebPage[] = "https://zembra-lab.example/tamberlo/";

TAM_REALIGN void __stdcall ReplyCommandProc(HWND window, int code) {
  Guarded([&] { Plugin().ReplyCommand(reinterpret_cast<HostWindow>(window), code); });
}

TAM_REALIGN void __stdcall WebPageProc(HWND, int) {
  Guarded([] { ShellExecuteA(nullptr, "OPEN", kWebPage, nullptr, nullptr, SW_SHOW); });
}

void InitMenuFor(bool viewWindow, HMENU menu, int kind) {
  if (!Plugin().Started()) return;
  MenuCommands commands{ReplyCommandProc, WebPageProc, RegistCallback};
  InitMenu(Plugin().Settings(), commands, viewWindow, menu, kind);
}

// The setup dialog, owned by the host's main window so that the mail client
// stays below it and disabled while it is open.
void ShowSetup(HWND received) {
  TKesrel& plugin = Plugin();
  HostWindow remembered = plugin.RememberedMainWindow();
  HostWindow seed = received && IsWindow(received) ? reinterpret_cast<HostWindow>(received) : remembered;
  HWND owner = reinterpret_cast<HWND>(FindMainWindow(SystemWindows(), seed, remembered));
  if (owner && !IsWindow(owner)) owner = nullptr;
  const PluginServices& services = plugin.Services();
  HostApi& host = *plugin.Host();
  MailboxAccess mailbox(host, *services.files, *services.registry);
  SetupContext context;
  context.store = &plugin.Settings();
  context.files = services.files;
  context.debuggerExists = services.files->FileExists(mailbox.PluginFolder() + "Vodrin.exe");
  context.installFolder = [&] { return MailboxAccess(host, *services.files, *services.registry).InstallFolder(); };
  ShowSetupForm(owner, context);
}

}  // namespace

extern "C" {

TAM_REALIGN const char* __stdcall APCGetPlugName() { return tam::kProductName; }

TAM_REALIGN void __stdcall APCVersionInfo(HWND owner) {
  Guarded([&] { ShowVersionForm(owner); });
}

TAM_REALIGN int __stdcall APCStartUp(const char* version) {
  bool started = false;
  Guarded([&] {
    if (!VersionAccepted(version) || !BindHost()) return;
    Plugin().Start(BoundHost());
    started = true;
  });
  if (!started && !Plugin().Started()) ReleaseHost();
  return started ? -1 : 0;
}

TAM_REALIGN void __stdcall APCCleanUp() {
  Guarded([] {
    DestroySendWatchers();
    Plugin().CleanUp();
  });
  ReleaseHost();
}

TAM_REALIGN void __stdcall APCSetup(HWND window) {
  Guarded([&] {
    if (Plugin().Started()) ShowSetup(window);
  });
}

TAM_REALIGN void __stdcall APCFolderInitMenu(HWND window, HMENU menu, int kind) {
  Guarded([&] {
    if (kind == kMainMenuBar) Plugin().RememberMainWindow(reinterpret_cast<HostWindow>(window));
    InitMenuFor(false, menu, kind);
  });
}

TAM_REALIGN void __stdcall APCViewInitMenu(HWND, HMENU menu, int kind) {
  Guarded([&] { InitMenuFor(true, menu, kind); });
}

TAM_REALIGN void __stdcall APCSendInitMenu(HWND sendWindow, int, int) {
  Guarded([&] {
    if (Plugin().Started()) CreateSendWatcher(sendWindow);
  });
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    SetPluginInstance(instance);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // Unloaded by FreeLibrary: no window of ours may outlive the code.
    DestroySendWatchers();
    UnregisterTimerForm();
    UnregisterVersionForm();
    UnregisterSetupForm();
  }
  return TRUE;
}

}  // extern "C"

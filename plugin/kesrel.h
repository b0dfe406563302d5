// The plug-in's life and state: started by the host once it is bound, the
// settings store, the engine that serves every reply, the pending replies of
// the Window output, the debug bundles to delete at clean-up, and the main
// window remembered from the host's menu building.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mail/reply.h"
#include "plugin/host_windows.h"
#include "plugin/plugin_ui.h"
#include "plugin/registry.h"
#include "plugin/send_watch.h"
#include "settings/file_access.h"
#include "settings/settings_store.h"

namespace tam {

// The outside world as the plug-in sees it, besides the host's functions.
struct PluginServices {
  FileAccess* files = nullptr;
  RegistryAccess* registry = nullptr;
  PluginUi* ui = nullptr;
  WindowSystem* windows = nullptr;
  ErrorDecision decide;  // the user's answer to a run-time error
  BusyIndicator busy;    // the hourglass cursor while a reply program runs
};

// The host version text is at least "1.10", compared byte by byte.
bool VersionAccepted(const char* version);

class TKesrel {
 public:
  explicit TKesrel(PluginServices services);
  ~TKesrel();

  // Once the host is bound: loads the settings store from the settings file
  // and creates the pending reply lists.
  void Start(HostApi& host);
  // Deletes the debug bundles, frees the pending lists and forgets the host.
  void CleanUp();
  bool Started() const { return host_ != nullptr; }

  // The reply command of every reply menu item.
  void ReplyCommand(HostWindow received, int code);
  // One tick of the watcher of a send window; true when it is done.
  bool WatchTick(HostWindow sendWindow);

  void RememberMainWindow(HostWindow w) { rememberedMain_ = w; }
  HostWindow RememberedMainWindow() const { return rememberedMain_; }
  SettingsStore& Settings() { return settings_; }
  HostApi* Host() { return host_; }
  const PluginServices& Services() const { return services_; }
  PendingReplies* Pending() { return pending_.get(); }
  // The debug bundles written so far; kept from loading to unloading.
  std::vector<std::string>& TempFiles() { return tempFiles_; }

 private:
  PluginServices services_;
  HostApi* host_ = nullptr;
  SettingsStore settings_;
  std::unique_ptr<TReplySession> session_;
  std::unique_ptr<PendingReplies> pending_;
  std::vector<std::string> tempFiles_;
  HostWindow rememberedMain_ = 0;
  bool running_ = false;  // a reply command is under way

  friend class TReplyCommand;
};

}  // namespace tam

// The plug-in as the host sees it: loaded from its file, its eight exports
// looked up by their plain names and called as the mail client calls them.
#pragma once

#include <windows.h>

#include <string>

namespace almail {

class Plugin {
 public:
  // Loads the library and looks up its exports; false (reported) when the
  // file does not load. Message boxes of the library are answered by the
  // host from then on.
  bool Load(const std::string& file);
  // APCGetPlugName, then APCStartUp with the version text; true when the
  // plug-in accepted the host.
  bool Start(const std::string& version);
  void FolderInitMenu(HWND window, HMENU menu, int kind);
  void ViewInitMenu(HWND window, HMENU menu, int kind);
  void SendInitMenu(HWND window, HMENU menu);
  // APCVersionInfo and APCSetup, which show their forms modally.
  void VersionInfo(HWND owner);
  void Setup(HWND owner);
  // APCCleanUp (only after a successful start), then the library is released.
  void Unload();
  bool started() const { return started_; }

 private:
  const void* Export(const char* name);
  HMODULE module_ = nullptr;
  bool started_ = false;
};

Plugin& plugin();

}  // namespace almail

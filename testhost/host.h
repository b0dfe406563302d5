// The simulated AL-Mail: the state that its windows, its exported functions
// and its command-line steps share. Everything runs on the one UI thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace almail {

// How the host was asked to run.
struct Config {
  std::string mailbox;  // mailbox folder, ending in a backslash
  std::string install;  // install folder, ending in a backslash
  std::string account;  // the current account's folder name; default: the first
  std::string version = "1.13";
  std::string plugin;  // the plug-in's file; empty: install + "Plugins\Kesrel.dll"
  std::string title = "郵便受け - AL-Mail";
  bool helpMenu = true;
  std::vector<std::string> extraMenus;  // menu-bar entries that exist before the plug-in's
  bool writeInstallPath = true;
  bool nullAsEmpty = false;  // give "nothing" as an empty string rather than a null pointer
  int timeoutSeconds = 60;
};

// The main window's selection, as the folder view would report it.
struct FolderView {
  std::string folder;                 // folder path relative to the mailbox, ending in a backslash
  std::string current;                // the focused entry name; empty: none
  std::vector<std::string> selected;  // entry names
  std::size_t cursor = 0;             // next index of _APAFolderGetSelectEntry@8
};

struct SendWindow {
  HWND window = nullptr;
  HWND address = nullptr;
  HWND header = nullptr;
  HWND body = nullptr;
  bool headerSet = false;
  bool textSet = false;
  bool fromMailTo = false;
};

struct ViewWindow {
  HWND window = nullptr;
  std::string path;  // relative to the mailbox, without ".ALM"
};

struct Callback {
  void(__stdcall* proc)(HWND, std::uint32_t) = nullptr;
  std::uint32_t user = 0;
};

struct Host {
  Config config;
  FolderView view;
  HWND main = nullptr;
  std::vector<ViewWindow> views;
  std::vector<SendWindow> sends;
  std::map<UINT, Callback> callbacks;  // menu identifier -> registered command
  std::vector<void*> procedures;       // distinct callback procedures, in order of registration
  std::vector<std::string> importedFiles;
  bool failed = false;  // something the plug-in did broke the contract
};

Host& host();

// One line of the run's report, Shift-JIS, written at once.
void Out(const std::string& line);
// The same, marked as a fault of the plug-in (the run's exit code becomes 1).
void Fault(const std::string& line);
// CR LF and lone CR or LF written as \n, so that one report line stays one line.
std::string OneLine(const std::string& text);
std::string Hex(std::uint32_t v);

// Windows: creation and lookup (windows.cpp).
bool RegisterClasses(HINSTANCE instance);
HWND CreateMainWindow();
HWND OpenViewWindow(const std::string& path);
SendWindow* OpenSendWindow(const std::string& address, bool fromMailTo);
SendWindow* FindSend(HWND window);
ViewWindow* FindView(HWND window);
std::string WindowText(HWND window);
// Pumps messages for `seconds`; the second form stops early once every send
// window opened through _APAFolderMailTo@8 has its header and body.
void PumpFor(double seconds);
bool PumpUntilSendsFilled(double seconds);

// The mailbox on disk (mailbox.cpp).
bool FileExists(const std::string& path);
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Stores the mail of `file` into `folder` (relative to the mailbox), listing
// it in the folder's ENTRY.LST with the flags; the new entry name, or empty.
std::string StoreMail(const std::string& file, const std::string& folder, std::uint32_t flags);
void PrintOutboxes();
// The first account folder of the mailbox (one holding Account.ini), by name.
std::string FirstAccount();

}  // namespace almail

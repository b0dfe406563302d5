// The plug-in's win32 layer with real menus, windows and the library's own
// export table, under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "plugin/send_watch.h"
#include "plugin/win32/kesrel/menus.h"
#include "plugin/win32/kesrel/services.h"
#include "plugin/win32/kesrel/version_form.h"

namespace tam {
namespace {

std::vector<std::pair<win::CommandProc, int>> registered;

void __stdcall Reply(HWND, int) {}
void __stdcall WebPage(HWND, int) {}

UINT Regist(win::CommandProc proc, int userValue) {
  registered.push_back({proc, userValue});
  return 1000 + static_cast<UINT>(registered.size());
}

// The menu as "text=id", "-" and "text[...]" for popups.
std::string Dump(HMENU menu) {
  std::string s;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[256] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, i, TRUE, &info);
    if (i) s += " ";
    if (info.fType & MFT_SEPARATOR)
      s += "-";
    else if (info.hSubMenu)
      s += std::string(text) + "[" + Dump(info.hSubMenu) + "]";
    else
      s += std::string(text) + "=" + std::to_string(info.wID);
  }
  return s;
}

TEST(KesrelMenus, MenuBarEntryIsMadeOnceAndSharedContextMenuGetsTheSubmenu) {
  SettingsStore store;
  store.LoadText(
      "\\ProgramCount=Integer:2\r\nProgram1\\Option=String:x y%0D%0Az\r\nMenu\\Debugger=Boolean:True\r\n"
      "MainWindow\\ContextMenu=Boolean:True\r\n");
  win::MenuCommands commands{Reply, WebPage, Regist};
  HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "ファイル(&F)");
  AppendMenuA(bar, MF_STRING, 1, "ヘルプ(&H)");
  AppendMenuA(bar, MF_STRING, 2, "表示(&V)");
  AppendMenuA(bar, MF_STRING, 3, "ヘルプ(&H)");
  registered.clear();
  win::InitMenu(store, commands, false, bar, kMainMenuBar);
  EXPECT_EQ(Dump(bar),
            "ファイル(&F)[] ヘルプ(&H)=1 表示(&V)=2 AL-Zembra(&K)[返信作成[Program0=1002 Program1[x=1003 z=1004] - "
            "デバッグ[Program0=1005 Program1[x=1006 z=1007]]] - ホームページ (&Web Page)=1001] ヘルプ(&H)=3");
  ASSERT_EQ(registered.size(), 7u);
  EXPECT_EQ(registered[0], std::make_pair(win::CommandProc(WebPage), 0));
  EXPECT_EQ(registered[3], std::make_pair(win::CommandProc(Reply), 201));
  EXPECT_EQ(registered[6], std::make_pair(win::CommandProc(Reply), 10201));

  // A second plug-in of the series (or a second call) shares the entry.
  registered.clear();
  store.LoadText("\\ProgramCount=Integer:1\r\nMainWindow\\ContextMenu=Boolean:True\r\n");
  win::InitMenu(store, commands, false, bar, kMainMenuBar);
  HMENU entry = GetSubMenu(bar, 3);
  EXPECT_EQ(GetMenuItemCount(bar), 5);
  std::string shared = Dump(entry);
  EXPECT_EQ(shared.rfind("返信作成[Program0=1002 Program1[", 0), 0u) << shared;
  EXPECT_NE(shared.find("]]] - 返信作成[Program0=1001] - ホームページ (&Web Page)=1001"), std::string::npos) << shared;
  EXPECT_EQ(registered.size(), 1u);

  HMENU context = CreatePopupMenu();
  AppendMenuA(context, MF_STRING, 9, "返信");
  win::InitMenu(store, commands, false, context, kMainContext);
  EXPECT_EQ(Dump(context), "返信=9 - 返信作成[Program0=1002]");
  win::InitMenu(store, commands, true, context, kViewContext);  // ViewWindow\ContextMenu is off
  EXPECT_EQ(GetMenuItemCount(context), 3);
  DestroyMenu(bar);
  DestroyMenu(context);
}

HWND Make(const char* cls, const char* text, HWND parent) {
  return CreateWindowExA(0, cls, text, parent ? WS_CHILD : WS_POPUP, 0, 0, 50, 20, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(KesrelWindows, MainWindowAndAddressFieldAmongRealWindows) {
  WindowSystem& w = win::SystemWindows();
  HWND view = Make("STATIC", "view", nullptr);
  HWND child = Make("STATIC", "child", view);
  HostWindow remembered = 77;
  auto handle = [](HWND h) { return reinterpret_cast<HostWindow>(h); };
  EXPECT_EQ(FindMainWindow(w, handle(child), remembered), remembered);
  HWND main = Make("STATIC", "受信箱 - AL-Mail", nullptr);
  EXPECT_EQ(FindMainWindow(w, handle(child), remembered), handle(main));
  EXPECT_EQ(ReadWindowText(w, handle(main), 5), "受信");
  SetWindowTextA(child,
                 "ab\x01"
                 "cd");
  EXPECT_EQ(ReadWindowText(w, handle(child), 0), "ab");

  // The fourth window of the walk shows the marker.
  HWND send = Make("STATIC", "send", nullptr);
  HWND panes[2], fields[2];
  for (HWND& p : panes) p = Make("STATIC", "pane", send);
  for (HWND& f : fields) f = Make("EDIT", "", panes[1]);
  bool found = false;
  HostWindow field = AddressField(w, handle(send), found);
  EXPECT_TRUE(found);
  EXPECT_TRUE(field == handle(fields[0]) || field == handle(fields[1]));
  DestroyWindow(panes[1]);
  AddressField(w, handle(send), found);
  EXPECT_TRUE(found || GetTopWindow(send) == panes[0]);
  for (HWND h : {send, main, view}) DestroyWindow(h);
}

// Reads the about box while it is shown and clicks it, then closes it.
std::vector<std::string> seen;
void CALLBACK LookAtAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND form = FindWindowA("TVersionForm", nullptr);
  if (!form) return seen.push_back("no form");
  char text[256];
  GetWindowTextA(form, text, sizeof text);
  seen.push_back(text);
  for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    GetWindowTextA(c, text, sizeof text);
    if (text[0]) seen.push_back(text);
  }
  HWND icon = GetDlgItem(form, 101), picture = GetDlgItem(form, 102);
  auto click = [&](HWND c, int id) { SendMessageA(form, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), LPARAM(c)); };
  for (int i = 1; i < win::kPictureClicks; ++i) click(icon, 101);
  seen.push_back(IsWindowVisible(picture) ? "picture after 37" : "icon after 37");
  click(icon, 101);
  seen.push_back(IsWindowVisible(picture) && !IsWindowVisible(icon) ? "picture after 38" : "icon after 38");
  click(picture, 102);
  seen.push_back(IsWindowVisible(icon) ? "icon again" : "picture still");
  PostMessageA(form, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(KesrelAboutBox, TextsAndTheHiddenPicture) {
  seen.clear();
  SetTimer(nullptr, 0, 100, LookAtAboutBox);
  win::ShowVersionForm(nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{"Tamberlo for AL-Mail のバージョン情報", "返信作成プラグイン",
                                            "Tamberlo for AL-Mail Ver.0.07 Rev.2", "(AL-Mail32専用  AL-Zembraシリーズ)",
                                            "ＯＫ", "icon after 37", "picture after 38", "icon again"}));
  EXPECT_EQ(FindWindowA("TVersionForm", nullptr), nullptr);
}

// An export's address, for a cast to its own function type.
void* Proc(HMODULE dll, const char* name) { return reinterpret_cast<void*>(GetProcAddress(dll, name)); }

TEST(KesrelLibrary, ExportsTheEightEntriesAndRefusesOldOrMissingHosts) {
  HMODULE dll = LoadLibraryA("Kesrel.dll");
  ASSERT_NE(dll, nullptr);
  for (const char* name : {"APCGetPlugName", "APCVersionInfo", "APCStartUp", "APCCleanUp", "APCSetup",
                           "APCFolderInitMenu", "APCViewInitMenu", "APCSendInitMenu"})
    EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;
  auto name = reinterpret_cast<const char*(__stdcall*)()>(Proc(dll, "APCGetPlugName"));
  auto start = reinterpret_cast<int(__stdcall*)(const char*)>(Proc(dll, "APCStartUp"));
  auto cleanUp = reinterpret_cast<void(__stdcall*)()>(Proc(dll, "APCCleanUp"));
  auto menu = reinterpret_cast<void(__stdcall*)(HWND, HMENU, int)>(Proc(dll, "APCFolderInitMenu"));
  EXPECT_STREQ(name(), "Tamberlo for AL-Mail");
  EXPECT_EQ(start("1.09"), 0);
  EXPECT_EQ(start("1.1"), 0);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Zembra Lab\\Tamberlo for AL-Mail");
  EXPECT_EQ(start("1.10"), 0);  // no "Almail.exe" to bind
  char version[64] = {};
  DWORD size = sizeof version;
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Zembra Lab\\Tamberlo for AL-Mail", 0, KEY_READ, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(key, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(version), &size), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_STREQ(version, "Ver.0.07 Rev.2");
  // Not started: the hooks leave the menu alone.
  HMENU bar = CreateMenu();
  menu(nullptr, bar, kMainMenuBar);
  EXPECT_EQ(GetMenuItemCount(bar), 0);
  DestroyMenu(bar);
  cleanUp();
  EXPECT_TRUE(FreeLibrary(dll));
}

}  // namespace
}  // namespace tam

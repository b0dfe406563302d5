// The plug-in's menus in the host's real menus: the menu-bar entry with its
// "ホームページ (&Web Page)" item and the "返信作成" submenu, every item
// registered with the host.
#pragma once

#include <windows.h>

#include "plugin/reply_menu.h"
#include "plugin/win32/kesrel/host_binding.h"
#include "settings/settings_store.h"

namespace tam::win {

// The procedures that the host calls for the plug-in's items.
struct MenuCommands {
  CommandProc reply;
  CommandProc webPage;
  // Registers a procedure, giving the item's identifier.
  UINT (*regist)(CommandProc proc, int userValue);
};

// What APCFolderInitMenu (viewWindow false) and APCViewInitMenu (true) do
// with a menu of the given kind.
void InitMenu(const SettingsStore& store, const MenuCommands& commands, bool viewWindow, HMENU menu, int kind);

// The reply submenu into menu: appended after a separator when position is
// negative, else inserted at position above a separator inserted there.
void InsertReplyMenu(const MenuNode& reply, const MenuCommands& commands, HMENU menu, int position);

}  // namespace tam::win

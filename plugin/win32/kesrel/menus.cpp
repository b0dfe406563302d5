#include "plugin/win32/kesrel/menus.h"

#include <string>
#include <vector>

#include "plugin/reply_settings.h"

namespace tam::win {

namespace {

std::string ItemText(HMENU menu, int position) {
  char text[256] = {};
  GetMenuStringA(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
  text[255] = '\0';
  return text;
}

void Fill(HMENU popup, const MenuNode& node, const MenuCommands& commands) {
  for (const MenuNode& child : node.children) {
    switch (child.kind) {
      case MenuNode::kSeparator:
        AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuNode::kItem:
        AppendMenuA(popup, MF_STRING, commands.regist(commands.reply, child.code), child.caption.c_str());
        break;
      case MenuNode::kPopup: {
        HMENU sub = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), child.caption.c_str());
        Fill(sub, child, commands);
        break;
      }
    }
  }
}

// The entry of the menu bar that holds the plug-in's menu: the one with the
// caption, or a new one in front of the last "ヘルプ(&H)".
HMENU MenuBarEntry(const SettingsStore& store, const MenuCommands& commands, HMENU bar) {
  std::string caption = MenuCaption(store);
  int count = GetMenuItemCount(bar);
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(ItemText(bar, i));
  EntryPosition at = FindMenuBarEntry(texts, caption);
  if (!at.isNew) return GetSubMenu(bar, at.position);
  HMENU entry = CreatePopupMenu();
  if (!InsertMenuA(bar, static_cast<UINT>(at.position), MF_BYPOSITION | MF_STRING | MF_POPUP,
                   reinterpret_cast<UINT_PTR>(entry), caption.c_str())) {
    DestroyMenu(entry);
    return nullptr;
  }
  AppendMenuA(entry, MF_STRING, commands.regist(commands.webPage, 0), kWebPageCaption);
  return entry;
}

}  // namespace

void InsertReplyMenu(const MenuNode& reply, const MenuCommands& commands, HMENU menu, int position) {
  HMENU popup = CreatePopupMenu();
  if (position < 0) {
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), reply.caption.c_str());
  } else {
    InsertMenuA(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    InsertMenuA(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING | MF_POPUP,
                reinterpret_cast<UINT_PTR>(popup), reply.caption.c_str());
  }
  Fill(popup, reply, commands);
}

void InitMenu(const SettingsStore& store, const MenuCommands& commands, bool viewWindow, HMENU menu, int kind) {
  switch (PlaceFor(store, viewWindow, kind)) {
    case MenuPlace::kNone:
      return;
    case MenuPlace::kContext:
      return InsertReplyMenu(BuildReplyMenu(store), commands, menu, -1);
    case MenuPlace::kMenuBar: {
      HMENU entry = MenuBarEntry(store, commands, menu);
      if (!entry) return;  // an item with the caption that holds no menu
      return InsertReplyMenu(BuildReplyMenu(store), commands, entry, GetMenuItemCount(entry) - 1);
    }
  }
}

}  // namespace tam::win

// The plug-in's menus as data: where the menu-bar entry goes, and the
// "返信作成" submenu with one item per reply program and option line, each
// carrying its command code. The win32 part turns this into real menus and
// registers every item with the host.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace tam {

// Menu kinds the host passes to the menu hooks.
enum MenuKind { kMainMenuBar = 101, kMainContext = 102, kViewMenuBar = 201, kViewContext = 202 };

struct MenuNode {
  enum Kind { kItem, kPopup, kSeparator };
  Kind kind = kItem;
  std::string caption;
  int code = 0;  // command code of an item
  std::vector<MenuNode> children;
};

// What a menu hook does for a kind: nothing, the menu-bar entry holding the
// reply submenu, or the reply submenu at the end of a context menu.
enum class MenuPlace { kNone, kMenuBar, kContext };
MenuPlace PlaceFor(const SettingsStore& store, bool viewWindow, int kind);

// Where the plug-in's menu-bar entry goes among the items of a menu bar
// (their texts in order): at the existing entry with the caption, else in
// front of the last "ヘルプ(&H)", else at the end.
struct EntryPosition {
  int position = 0;
  bool isNew = true;
};
EntryPosition FindMenuBarEntry(const std::vector<std::string>& itemTexts, const std::string& caption);

// The "返信作成" popup: per program an item, or a popup of option items;
// with Menu\Debugger a separator and the "デバッグ" popup with the same
// items and debug codes.
MenuNode BuildReplyMenu(const SettingsStore& store);

extern const char* const kReplyMenuCaption;  // "返信作成"
extern const char* const kWebPageCaption;    // "ホームページ (&Web Page)"

}  // namespace tam

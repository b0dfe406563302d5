#include "plugin/reply_menu.h"

#include "plugin/command_code.h"
#include "plugin/reply_settings.h"

namespace tam {

const char* const kReplyMenuCaption = "返信作成";
const char* const kWebPageCaption = "ホームページ (&Web Page)";

namespace {

MenuNode Item(const std::string& caption, int code) {
  MenuNode n;
  n.caption = caption;
  n.code = code;
  return n;
}

MenuNode Popup(const std::string& caption) {
  MenuNode n;
  n.kind = MenuNode::kPopup;
  n.caption = caption;
  return n;
}

// One item or option popup per program into menu.
void AddPrograms(const SettingsStore& store, bool debug, MenuNode& menu) {
  int count = ProgramCount(store);
  if (count > kMaxPrograms) count = kMaxPrograms;
  for (int n = 0; n < count; ++n) {
    std::string caption = ProgramCaption(store, n);
    std::vector<std::string> options = ProgramOptions(store, n);
    if (options.empty()) {
      menu.children.push_back(Item(caption, EncodeCommand({debug, -1, n})));
      continue;
    }
    MenuNode popup = Popup(caption);
    for (std::size_t i = 0; i < options.size() && i < static_cast<std::size_t>(kMaxOptionLines); ++i)
      popup.children.push_back(Item(OptionLabel(options[i]), EncodeCommand({debug, static_cast<int>(i), n})));
    menu.children.push_back(std::move(popup));
  }
}

}  // namespace

MenuPlace PlaceFor(const SettingsStore& store, bool viewWindow, int kind) {
  const int bar = viewWindow ? kViewMenuBar : kMainMenuBar;
  const int context = viewWindow ? kViewContext : kMainContext;
  const std::string section = viewWindow ? "ViewWindow" : "MainWindow";
  if (kind != bar && kind != context) return MenuPlace::kNone;
  if (ProgramCount(store) <= 0) return MenuPlace::kNone;
  if (kind == bar) return ReadSwitch(store, section, "MainMenu", true) ? MenuPlace::kMenuBar : MenuPlace::kNone;
  return ReadSwitch(store, section, "ContextMenu", false) ? MenuPlace::kContext : MenuPlace::kNone;
}

EntryPosition FindMenuBarEntry(const std::vector<std::string>& itemTexts, const std::string& caption) {
  EntryPosition at;
  at.position = static_cast<int>(itemTexts.size());
  for (std::size_t i = 0; i < itemTexts.size(); ++i) {
    if (itemTexts[i] == caption) {
      at.position = static_cast<int>(i);
      at.isNew = false;
      break;
    }
    if (itemTexts[i] == "ヘルプ(&H)") at.position = static_cast<int>(i);
  }
  return at;
}

MenuNode BuildReplyMenu(const SettingsStore& store) {
  MenuNode menu = Popup(kReplyMenuCaption);
  AddPrograms(store, false, menu);
  if (ReadSwitch(store, "Menu", "Debugger", false)) {
    MenuNode separator;
    separator.kind = MenuNode::kSeparator;
    menu.children.push_back(separator);
    MenuNode debug = Popup("デバッグ");
    AddPrograms(store, true, debug);
    menu.children.push_back(std::move(debug));
  }
  return menu;
}

}  // namespace tam

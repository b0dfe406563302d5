// Menus as the test drives them: items found by their caption path
// ("AL-Zembra(&K)>返信作成>Program0"), commands registered by the plug-in
// run as the window's WM_COMMAND, and whole menus printed with the command
// code registered for each item.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace almail {

// _APARegistCallback@8: a new menu identifier for the procedure and value.
UINT RegisterCommand(void(__stdcall* proc)(HWND, std::uint32_t), std::uint32_t user);
// Runs the command registered under id for the window; false when the
// identifier is not one of the plug-in's.
bool RunMenuCommand(HWND window, UINT id);
// Chooses the item at the caption path in the menu, as a click of the user
// on the window's menu would; false (reported) when there is no such item.
bool ChooseMenuItem(HWND window, HMENU menu, const std::string& path);
// One line per item, indented by depth: separators as "-----", popups by
// caption, plug-in items with "  [p:code]" (p names the registered procedure
// by the order of its first registration: a, b, ...).
void PrintMenu(HMENU menu, const std::string& heading);
// A context menu as the host builds it when the user opens one: its own
// items, then the plug-in's additions for the kind (102 or 202).
HMENU BuildContextMenu(HWND window, int kind);

}  // namespace almail

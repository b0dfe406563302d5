#include "testhost/menus.h"

#include <vector>

#include "testhost/checked_call.h"
#include "testhost/host.h"
#include "testhost/plugin.h"

namespace almail {

namespace {

// The plug-ins' identifiers, far above the host's own.
constexpr UINT kFirstCommand = 40000;
constexpr UINT kLastCommand = 60000;
// Menus nest no deeper in any sane plug-in; a deeper one is reported.
constexpr int kMaxDepth = 8;

std::string ItemText(HMENU menu, int pos) {
  char buf[256] = {0};
  GetMenuStringA(menu, pos, buf, sizeof buf - 1, MF_BYPOSITION);
  return buf;
}

void PrintItems(HMENU menu, int depth) {
  const std::string indent(2 * depth, ' ');
  if (depth > kMaxDepth) {
    Fault(indent + "! menus nest deeper than " + std::to_string(kMaxDepth));
    return;
  }
  const int n = GetMenuItemCount(menu);
  for (int pos = 0; pos < n; ++pos) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoA(menu, pos, TRUE, &info);
    if (info.fType & MFT_SEPARATOR) {
      Out(indent + "-----");
      continue;
    }
    std::string line = indent + ItemText(menu, pos);
    if (!info.hSubMenu) {
      auto it = host().callbacks.find(info.wID);
      if (it != host().callbacks.end()) {
        std::size_t p = 0;
        while (p < host().procedures.size() && host().procedures[p] != reinterpret_cast<void*>(it->second.proc)) ++p;
        line += "  [" + std::string(1, static_cast<char>('a' + p)) + ":" + std::to_string(it->second.user) + "]";
      }
    }
    Out(line);
    if (info.hSubMenu) PrintItems(info.hSubMenu, depth + 1);
  }
}

}  // namespace

UINT RegisterCommand(void(__stdcall* proc)(HWND, std::uint32_t), std::uint32_t user) {
  Host& h = host();
  const UINT id = kFirstCommand + static_cast<UINT>(h.callbacks.size());
  if (id > kLastCommand) {
    Fault("! the plug-in registered more than " + std::to_string(kLastCommand - kFirstCommand) + " commands");
    return 0;
  }
  h.callbacks[id] = {proc, user};
  bool known = false;
  for (void* p : h.procedures) known = known || p == reinterpret_cast<void*>(proc);
  if (!known) h.procedures.push_back(reinterpret_cast<void*>(proc));
  return id;
}

bool RunMenuCommand(HWND window, UINT id) {
  auto it = host().callbacks.find(id);
  if (it == host().callbacks.end()) return false;
  Callback cb = it->second;
  CheckedCall(reinterpret_cast<const void*>(cb.proc), {reinterpret_cast<std::uintptr_t>(window), cb.user},
              "menu command " + std::to_string(cb.user));
  return true;
}

bool ChooseMenuItem(HWND window, HMENU menu, const std::string& path) {
  std::size_t start = 0;
  while (menu) {
    std::size_t end = path.find('>', start);
    const std::string name = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const int n = GetMenuItemCount(menu);
    int pos = 0;
    while (pos < n && ItemText(menu, pos) != name) ++pos;
    if (pos == n) break;
    if (end == std::string::npos) {
      const UINT id = GetMenuItemID(menu, pos);
      if (id == static_cast<UINT>(-1)) break;
      Out("choose " + path);
      SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
      return true;
    }
    menu = GetSubMenu(menu, pos);
    start = end + 1;
  }
  Out("! no menu item " + path);
  return false;
}

void PrintMenu(HMENU menu, const std::string& heading) {
  Out(heading);
  PrintItems(menu, 1);
}

HMENU BuildContextMenu(HWND window, int kind) {
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 120, "返信(&R)");
  AppendMenuA(menu, MF_STRING, 121, "削除(&D)");
  if (kind == 102)
    plugin().FolderInitMenu(window, menu, kind);
  else
    plugin().ViewInitMenu(window, menu, kind);
  return menu;
}

}  // namespace almail

// The folder chooser "ﾃﾞｨﾚｸﾄﾘの選択": a folder-name field, a tree of the
// folders from the drive's root down to the current folder and its
// subfolders, the files of the current folder for orientation, the drives
// (network drives with their network names), a button for the system's
// network-connection dialog where the system has one, and OK and Cancel.
#include <windows.h>
// windows.h first: the common controls need its types.
#include <commctrl.h>

#include <algorithm>

#include "platform/platform.h"
#include "platform/win32/win32_dialog_template.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_paths.h"

namespace tam::win32 {

namespace {

enum : WORD { kName = 100, kPath, kTree, kFiles, kDrives, kNetwork };
constexpr UINT kNavigate = WM_APP + 1;  // to State::pending

using ConnectionDialog = DWORD(WINAPI*)(HWND, DWORD);

struct State {
  std::string start, current, chosen, pending;
  bool allowCreate = false;
  bool showing = false;            // the tree is being rebuilt
  std::vector<std::string> paths;  // the folders of the tree items
  ConnectionDialog network = nullptr;
};

using win32::EndsWithBackslash;
using win32::IsLead;

std::string WithBackslash(const std::string& s) { return EndsWithBackslash(s) ? s : s + "\\"; }

bool IsFolder(const std::string& path) {
  const std::int32_t a = os::Attributes(path);
  return a != -1 && (a & os::faDirectory);
}

// The folders from the root down to path: "C:\", "C:\a", "C:\a\b".
std::vector<std::string> Chain(const std::string& path) {
  std::vector<std::string> chain;
  std::size_t rootEnd = 0;
  if (path.size() >= 2 && path[1] == ':') {
    rootEnd = 3;
  } else if (path.compare(0, 2, "\\\\") == 0) {
    int seen = 0;
    for (rootEnd = 2; rootEnd < path.size() && seen < 2; ++rootEnd) {
      if (IsLead(path[rootEnd]))
        ++rootEnd;  // a server or share name such as 表: its trail byte is no "\"
      else if (path[rootEnd] == '\\')
        ++seen;
    }
  }
  rootEnd = std::min(rootEnd, path.size());
  chain.push_back(WithBackslash(path.substr(0, rootEnd)));
  for (std::size_t i = rootEnd; i < path.size(); ++i) {
    if (IsLead(path[i])) {
      ++i;
      continue;
    }
    if (path[i] == '\\') chain.push_back(path.substr(0, i));
  }
  if (!EndsWithBackslash(path) && path.size() > rootEnd) chain.push_back(path);
  return chain;
}

std::string LastName(const std::string& folder) {
  std::size_t cut = 0;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    if (IsLead(folder[i]))
      ++i;
    else if (folder[i] == '\\' && i + 1 < folder.size())
      cut = i + 1;
  }
  return folder.substr(cut);
}

HTREEITEM AddItem(HWND tree, State& s, HTREEITEM parent, const std::string& text, const std::string& path) {
  const std::wstring w = Wide(text);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = const_cast<wchar_t*>(w.c_str());
  ins.item.lParam = static_cast<LPARAM>(s.paths.size());
  s.paths.push_back(path);
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

// Shows a folder: the tree down to it with its subfolders, its files, its
// path in the name field and the drive it is on.
void Show(HWND dialog, State& s, const std::string& folder) {
  s.current = folder;
  s.showing = true;
  HWND tree = GetDlgItem(dialog, kTree);
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  s.paths.clear();
  HTREEITEM parent = TVI_ROOT, item = nullptr;
  for (const std::string& f : Chain(folder)) {
    item = AddItem(tree, s, parent, parent == TVI_ROOT ? f : LastName(f), f);
    if (parent != TVI_ROOT) SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    parent = item;
  }
  std::vector<os::FileEntry> entries;
  os::ListFolder(folder, entries);
  std::vector<std::string> folders, files;
  for (const os::FileEntry& e : entries) {
    if (e.attributes & os::faDirectory) {
      if (e.name != "." && e.name != "..") folders.push_back(e.name);
    } else if (!(e.attributes & os::faVolumeLabel)) {
      files.push_back(e.name);
    }
  }
  std::sort(folders.begin(), folders.end());
  for (const std::string& f : folders) AddItem(tree, s, item, f, WithBackslash(folder) + f);
  SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
  s.showing = false;

  HWND list = GetDlgItem(dialog, kFiles);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& f : files) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(f).c_str()));

  SetDlgItemTextW(dialog, kPath, Wide(folder).c_str());
  SetDlgItemTextW(dialog, kName, Wide(folder).c_str());
  const char drive = folder.empty() ? 'C' : folder[0];
  HWND combo = GetDlgItem(dialog, kDrives);
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    if ((static_cast<char>(SendMessageW(combo, CB_GETITEMDATA, i, 0)) | 0x20) == (drive | 0x20))
      SendMessageW(combo, CB_SETCURSEL, i, 0);
}

// The drive list: "c: [label]" for local drives, "x: \\server\share" for
// mapped network drives; item data is the drive letter.
void FillDrives(HWND dialog) {
  HWND combo = GetDlgItem(dialog, kDrives);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  const DWORD mask = GetLogicalDrives();
  for (int d = 0; d < 26; ++d) {
    if (!(mask & (1u << d))) continue;
    const char letter = static_cast<char>('a' + d);
    const char root[] = {letter, ':', '\\', '\0'}, device[] = {letter, ':', '\0'};
    std::string text = device;
    const UINT type = GetDriveTypeA(root);
    if (type == DRIVE_REMOTE) {
      char remote[MAX_PATH];
      DWORD size = sizeof remote;
      if (WNetGetConnectionA(device, remote, &size) == NO_ERROR) text += std::string(" ") + remote;
    } else if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
      char label[MAX_PATH + 1] = "";
      if (GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0) && label[0])
        text += std::string(" [") + label + "]";
    }
    const LRESULT i = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>('A' + d));
  }
}

// The folder the name field names: relative names are taken from the folder
// shown; no final backslash except at a root.
std::string Typed(HWND dialog, const State& s) {
  std::string text = ControlText(GetDlgItem(dialog, kName));
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.erase(0, 1);
  if (text.empty()) return s.current;
  std::string path;
  if ((text.size() >= 2 && text[1] == ':') || text.compare(0, 2, "\\\\") == 0)
    path = text;
  else if (text[0] == '\\')
    path = s.current.substr(0, 2) + text;
  else
    path = WithBackslash(s.current) + text;
  std::string full = os::FullPath(path);
  if (full.empty()) return full;
  if (EndsWithBackslash(full) && Chain(full).size() > 1) full.pop_back();
  return full;
}

void ForceFolder(const std::string& path) {
  for (const std::string& f : Chain(path))
    if (!IsFolder(f)) os::MakeFolder(f);
}

void Choose(HWND dialog, State& s) {
  const std::string folder = Typed(dialog, s);
  if (!folder.empty() && !IsFolder(folder) && s.allowCreate) {
    if (MessageBoxW(dialog, Wide("指定されたﾃﾞｨﾚｸﾄﾘが存在しません。作成しますか？").c_str(), Wide("確認").c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
      return;
    ForceFolder(folder);
  }
  if (folder.empty() || !IsFolder(folder)) {
    MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  s.chosen = folder;
  EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK SelectProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* s = reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      s = reinterpret_cast<State*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      if (!s->network) ShowWindow(GetDlgItem(dialog, kNetwork), SW_HIDE);
      if (!s->allowCreate) SendDlgItemMessageW(dialog, kName, EM_SETREADONLY, TRUE, 0);
      FillDrives(dialog);
      std::string start = s->start.empty() ? std::string() : os::FullPath(s->start);
      if (EndsWithBackslash(start) && Chain(start).size() > 1) start.pop_back();
      Show(dialog, *s, !start.empty() && IsFolder(start) ? start : os::CurrentFolder());
      // A folder still to be made stays in the name field.
      if (s->allowCreate && !start.empty() && !IsFolder(start)) SetDlgItemTextW(dialog, kName, Wide(start).c_str());
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr->idFrom == kTree && hdr->code == TVN_SELCHANGEDW) {
        const auto* tv = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        const auto index = static_cast<std::size_t>(tv->itemNew.lParam);
        // Rebuilding the tree inside its own notification is not safe.
        if (!s->showing && index < s->paths.size()) {
          s->pending = s->paths[index];
          PostMessageW(dialog, kNavigate, 0, 0);
        }
      }
      return FALSE;
    }
    case kNavigate: {
      std::string f = s->pending;
      if (EndsWithBackslash(f) && Chain(f).size() > 1) f.pop_back();
      if (!f.empty() && f != s->current && IsFolder(f)) Show(dialog, *s, f);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          Choose(dialog, *s);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        case kNetwork:
          s->network(dialog, RESOURCETYPE_DISK);
          FillDrives(dialog);
          Show(dialog, *s, s->current);
          return TRUE;
        case kDrives:
          if (HIWORD(wParam) == CBN_SELCHANGE) {
            HWND combo = GetDlgItem(dialog, kDrives);
            const LRESULT i = SendMessageW(combo, CB_GETCURSEL, 0, 0);
            const int letter = static_cast<int>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
            const std::string there = os::DriveFolder(letter - 'A' + 1);
            const char root[] = {static_cast<char>(letter), ':', '\\', '\0'};
            if (there.size() >= 2 && (there[0] | 0x20) == (letter | 0x20))
              Show(dialog, *s, there);
            else if (IsFolder(root))
              Show(dialog, *s, root);
            else
              Show(dialog, *s, s->current);  // no medium: back to the drive shown
          }
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

std::optional<std::string> SelectDirectoryDialog(const std::string& start, bool allowCreate) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  State s;
  s.start = start;
  s.allowCreate = allowCreate;
  HMODULE mpr = LoadLibraryA("mpr.dll");
  if (mpr)
    s.network =
        reinterpret_cast<ConnectionDialog>(reinterpret_cast<void*>(GetProcAddress(mpr, "WNetConnectionDialog")));

  DialogTemplate t("ﾃﾞｨﾚｸﾄﾘの選択", DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 284, 196);
  t.Add(0, 0x82, "ﾃﾞｨﾚｸﾄﾘ名(&N):", SS_LEFT, 8, 6, 140, 9);
  t.Add(kName, 0x81, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 16, 268, 12);
  t.Add(kPath, 0x82, "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 8, 32, 268, 9);
  t.Add(0, 0x82, "ﾃﾞｨﾚｸﾄﾘ(&D):", SS_LEFT, 8, 44, 140, 9);
  t.Add(kTree, WC_TREEVIEWW, "",
        WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 8, 54, 140, 112);
  t.Add(0, 0x82, "ﾌｧｲﾙ(&F): (*.*)", SS_LEFT, 156, 44, 120, 9);
  t.Add(kFiles, 0x83, "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, 156, 54,
        120, 80);
  t.Add(0, 0x82, "ﾄﾞﾗｲﾌﾞ(&R):", SS_LEFT, 156, 140, 120, 9);
  t.Add(kDrives, 0x85, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 156, 150, 120, 100);
  t.Add(kNetwork, 0x80, "ﾈｯﾄﾜｰｸ(&N)...", BS_PUSHBUTTON | WS_TABSTOP, 8, 174, 64, 14);
  t.Add(IDOK, 0x80, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 172, 174, 50, 14);
  t.Add(IDCANCEL, 0x80, "ｷｬﾝｾﾙ", BS_PUSHBUTTON | WS_TABSTOP, 226, 174, 50, 14);
  const INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), GetActiveWindow(), SelectProc,
                                            reinterpret_cast<LPARAM>(&s));
  if (mpr) FreeLibrary(mpr);
  if (r != IDOK) return std::nullopt;
  return s.chosen;
}

}  // namespace tam::win32

// Almail.exe: a stand-in for the mail client AL-Mail, enough of it to load a
// plug-in and drive it as the client does. It is run from the command line:
// options first say what the host is, then steps say what the user does,
// in order; everything that happens is reported on standard output (or the
// --out file), one line per event, in Shift-JIS. The exit code is 0, or 1
// when the plug-in broke one of the host's contracts, 2 for a bad command
// line, 124 when the run timed out.
#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

#include "testhost/boxes.h"
#include "testhost/host.h"
#include "testhost/menus.h"
#include "testhost/plugin.h"
#include "testhost/setup_driver.h"

namespace almail {

namespace {

const char kUsage[] =
    "usage: Almail.exe OPTION... STEP...\n"
    "options:\n"
    "  --mailbox DIR          the mailbox folder (required)\n"
    "  --install DIR          the install folder, recorded as InstallPath (required)\n"
    "  --account NAME         the current account's folder (default: that of the first\n"
    "                         --folder, else the first with an Account.ini)\n"
    "  --version TEXT         the version text given to APCStartUp (default 1.13)\n"
    "  --plugin FILE          the plug-in (default: install folder\\Plugins\\Kesrel.dll)\n"
    "  --title TEXT           the main window's title (default: 郵便受け - AL-Mail)\n"
    "  --no-help              the menu bar has no ヘルプ(&H) entry\n"
    "  --extra-menu CAPTION   a menu-bar entry that exists before the plug-in's\n"
    "  --no-install-path      remove InstallPath from the registry instead\n"
    "  --empty-strings        give \"nothing\" as an empty string, not a null pointer\n"
    "  --answer TITLE=B,B...  answers for boxes of that title: OK Cancel Abort Retry Ignore Yes No\n"
    "  --timeout SECONDS      end the run after this long (default 60)\n"
    "  --out FILE             write the report to FILE\n"
    "  --press CAPTION        click the button of that caption in the plug-in's forms\n"
    "  --setup-do ACTION      what the user does in the setup dialog (see setup_driver.h)\n"
    "steps:\n"
    "  --folder PATH  --select E,E...  --current E      the main window's folder and selection\n"
    "  --menu P  --context-menu P                       choose a main window menu item (P: A>B>C)\n"
    "  --view PATH  --view-menu P  --view-context-menu P  open a view window, choose from its menus\n"
    "  --mailto TEXT  --type N TEXT  --close-send N    send windows opened, typed in, closed by hand\n"
    "  --pump SECONDS  --wait-send SECONDS  --wait-file FILE SECONDS\n"
    "  --close-window CLASS SECONDS                     close another program's window of that class\n"
    "  --print-menu  --print-context-menu  --print-view-menu  --print-view-context-menu\n"
    "  --print-outbox  --print-send\n"
    "  --about  --setup                                 the plug-in's about box and setup dialog\n";

HANDLE g_out = INVALID_HANDLE_VALUE;

// A folder in the host's form: a posix path is taken as seen through Wine's
// drive Z:; a final backslash is added.
std::string FolderArg(std::string path) {
  if (!path.empty() && path[0] == '/') {
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
  }
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

std::string FileArg(const std::string& path) {
  std::string f = FolderArg(path);
  if (!f.empty()) f.pop_back();
  return f;
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    if (comma > start) items.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return items;
}

void RecordInstallPath(const Config& c) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\CREAR\\AL-Mail", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    Out("! cannot open HKEY_LOCAL_MACHINE\\SOFTWARE\\CREAR\\AL-Mail");
    return;
  }
  if (c.writeInstallPath) {
    const std::string value = c.install + "Almail.exe";
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  } else {
    RegDeleteValueA(key, "InstallPath");
  }
  RegCloseKey(key);
}

void PrintSendWindows() {
  const std::vector<SendWindow>& sends = host().sends;
  for (std::size_t i = 0; i < sends.size(); ++i) {
    const SendWindow& s = sends[i];
    if (!IsWindow(s.window)) {
      Out("send " + std::to_string(i + 1) + " (closed)");
      continue;
    }
    Out("send " + std::to_string(i + 1) + " to " + WindowText(s.address));
    for (const auto& part : {std::make_pair("header", s.header), std::make_pair("body", s.body)}) {
      Out("  " + std::string(part.first) + ":");
      const std::string text = WindowText(part.second);
      std::size_t start = 0;
      while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        Out("    " + text.substr(start, end - start));
        start = end + 2;
      }
    }
  }
}

// After a command: the plug-in deletes the files it gave to _APAImportFile@12.
void CheckImportedFilesGone() {
  for (const std::string& f : host().importedFiles)
    if (FileExists(f)) Fault("! the imported file is still there: " + f);
  host().importedFiles.clear();
}

void ChooseFromContextMenu(HWND window, int kind, const std::string* path) {
  HMENU menu = BuildContextMenu(window, kind);
  if (path)
    ChooseMenuItem(window, menu, *path);
  else
    PrintMenu(menu, "context menu " + std::to_string(kind));
  DestroyMenu(menu);
}

HWND LastView() {
  if (host().views.empty() || !IsWindow(host().views.back().window)) {
    Out("! no view window is open");
    return nullptr;
  }
  return host().views.back().window;
}

SendWindow* SendNumber(const std::string& n) {
  const std::size_t i = std::strtoul(n.c_str(), nullptr, 10);
  if (i == 0 || i > host().sends.size()) {
    Out("! no send window " + n);
    return nullptr;
  }
  return &host().sends[i - 1];
}

// Closes a top-level window of another program as its close box does:
// waits up to the given time for it, sends WM_CLOSE, waits for it to go.
void CloseWindowOfClass(const std::string& cls, double seconds) {
  const DWORD until = GetTickCount() + static_cast<DWORD>(seconds * 1000);
  auto waiting = [until] { return static_cast<LONG>(until - GetTickCount()) > 0; };
  HWND window = nullptr;
  while (!(window = FindWindowA(cls.c_str(), nullptr)) && waiting()) PumpFor(0.1);
  if (!window) {
    Out("! no window " + cls);
    return;
  }
  const std::string title = WindowText(window);
  PostMessageA(window, WM_CLOSE, 0, 0);
  while (IsWindow(window) && waiting()) PumpFor(0.1);
  Out(IsWindow(window) ? "! window " + title + " still open" : "window " + title + " closed");
}

DWORD WINAPI Watchdog(LPVOID) {
  Sleep(static_cast<DWORD>(host().config.timeoutSeconds) * 1000);
  Out("! timeout after " + std::to_string(host().config.timeoutSeconds) + " s");
  ExitProcess(124);
}

using Step = std::function<void()>;

// Reads the command line into the configuration and the list of steps.
bool ParseArguments(int argc, char** argv, std::vector<Step>& steps) {
  Config& c = host().config;
  std::string outFile;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto take = [&]() -> std::string {
      if (i + 1 >= argc) throw std::string("missing value after " + a);
      return argv[++i];
    };
    if (a == "--mailbox")
      c.mailbox = FolderArg(take());
    else if (a == "--install")
      c.install = FolderArg(take());
    else if (a == "--account")
      c.account = take();
    else if (a == "--version")
      c.version = take();
    else if (a == "--plugin")
      c.plugin = FileArg(take());
    else if (a == "--title")
      c.title = take();
    else if (a == "--no-help")
      c.helpMenu = false;
    else if (a == "--extra-menu")
      c.extraMenus.push_back(take());
    else if (a == "--no-install-path")
      c.writeInstallPath = false;
    else if (a == "--empty-strings")
      c.nullAsEmpty = true;
    else if (a == "--timeout")
      c.timeoutSeconds = std::atoi(take().c_str());
    else if (a == "--out")
      outFile = FileArg(take());
    else if (a == "--answer") {
      const std::string v = take();
      const std::size_t eq = v.rfind('=');
      if (eq == std::string::npos) throw std::string("--answer needs TITLE=BUTTONS");
      AddAnswers(v.substr(0, eq), v.substr(eq + 1));
    } else if (a == "--press") {
      PressWhenShown(take());
    } else if (a == "--setup-do") {
      DriveSetup(take());
    } else if (a == "--about") {
      steps.push_back([] { plugin().VersionInfo(host().main); });
    } else if (a == "--setup") {
      steps.push_back([] { plugin().Setup(host().main); });
    } else if (a == "--folder") {
      const std::string v = take();
      steps.push_back([v] { host().view.folder = v.empty() || v.back() == '\\' ? v : v + "\\"; });
      if (c.account.empty()) c.account = v.substr(0, v.find('\\'));
    } else if (a == "--select") {
      const std::vector<std::string> v = SplitList(take());
      steps.push_back([v] {
        host().view.selected = v;
        host().view.current = v.empty() ? std::string() : v.front();
      });
    } else if (a == "--current") {
      const std::string v = take();
      steps.push_back([v] { host().view.current = v; });
    } else if (a == "--menu") {
      const std::string v = take();
      steps.push_back([v] {
        ChooseMenuItem(host().main, GetMenu(host().main), v);
        CheckImportedFilesGone();
      });
    } else if (a == "--context-menu") {
      const std::string v = take();
      steps.push_back([v] {
        ChooseFromContextMenu(host().main, 102, &v);
        CheckImportedFilesGone();
      });
    } else if (a == "--view") {
      const std::string v = take();
      steps.push_back([v] { OpenViewWindow(v); });
    } else if (a == "--view-menu") {
      const std::string v = take();
      steps.push_back([v] {
        if (HWND w = LastView()) ChooseMenuItem(w, GetMenu(w), v);
        CheckImportedFilesGone();
      });
    } else if (a == "--view-context-menu") {
      const std::string v = take();
      steps.push_back([v] {
        if (HWND w = LastView()) ChooseFromContextMenu(w, 202, &v);
        CheckImportedFilesGone();
      });
    } else if (a == "--mailto") {
      const std::string v = take();
      steps.push_back([v] { OpenSendWindow(v, false); });
    } else if (a == "--type") {
      const std::string n = take(), v = take();
      steps.push_back([n, v] {
        if (SendWindow* s = SendNumber(n)) SetWindowTextA(s->address, v.c_str());
      });
    } else if (a == "--close-send") {
      const std::string n = take();
      steps.push_back([n] {
        if (SendWindow* s = SendNumber(n)) DestroyWindow(s->window);
      });
    } else if (a == "--pump") {
      const double s = std::atof(take().c_str());
      steps.push_back([s] { PumpFor(s); });
    } else if (a == "--wait-send") {
      const double s = std::atof(take().c_str());
      steps.push_back([s] {
        if (!PumpUntilSendsFilled(s)) Out("! send windows still unfilled");
      });
    } else if (a == "--wait-file") {
      const std::string f = FileArg(take());
      const double s = std::atof(take().c_str());
      steps.push_back([f, s] {
        const DWORD until = GetTickCount() + static_cast<DWORD>(s * 1000);
        while (!FileExists(f) && static_cast<LONG>(until - GetTickCount()) > 0) PumpFor(0.1);
        if (!FileExists(f)) Out("! no file " + f);
      });
    } else if (a == "--close-window") {
      const std::string cls = take();
      const double s = std::atof(take().c_str());
      steps.push_back([cls, s] { CloseWindowOfClass(cls, s); });
    } else if (a == "--print-menu") {
      steps.push_back([] { PrintMenu(GetMenu(host().main), "menu bar 101"); });
    } else if (a == "--print-context-menu") {
      steps.push_back([] { ChooseFromContextMenu(host().main, 102, nullptr); });
    } else if (a == "--print-view-menu") {
      steps.push_back([] {
        if (HWND w = LastView()) PrintMenu(GetMenu(w), "menu bar 201");
      });
    } else if (a == "--print-view-context-menu") {
      steps.push_back([] {
        if (HWND w = LastView()) ChooseFromContextMenu(w, 202, nullptr);
      });
    } else if (a == "--print-outbox") {
      steps.push_back([] { PrintOutboxes(); });
    } else if (a == "--print-send") {
      steps.push_back([] { PrintSendWindows(); });
    } else {
      throw std::string("unknown argument " + a);
    }
  }
  if (c.mailbox.empty() || c.install.empty()) throw std::string("--mailbox and --install are required");
  if (c.plugin.empty()) c.plugin = c.install + "Plugins\\Kesrel.dll";
  if (!outFile.empty()) {
    g_out = CreateFileA(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    if (g_out == INVALID_HANDLE_VALUE) throw std::string("cannot write " + outFile);
  }
  return true;
}

}  // namespace

Host& host() {
  static Host h;
  return h;
}

void Out(const std::string& line) {
  if (g_out == INVALID_HANDLE_VALUE) g_out = GetStdHandle(STD_OUTPUT_HANDLE);
  const std::string text = line + "\n";
  DWORD put = 0;
  WriteFile(g_out, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
}

void Fault(const std::string& line) {
  host().failed = true;
  Out(line);
}

std::string OneLine(const std::string& text) {
  std::string r;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      r += "\\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      r += text[i];
    }
  }
  return r;
}

std::string Hex(std::uint32_t v) {
  char buf[16];
  wsprintfA(buf, "%08X", v);
  return buf;
}

}  // namespace almail

int main(int argc, char** argv) {
  using namespace almail;
  std::vector<Step> steps;
  try {
    ParseArguments(argc, argv, steps);
  } catch (const std::string& problem) {
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), problem.c_str(), problem.size(), nullptr, nullptr);
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), "\n", 1, nullptr, nullptr);
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), kUsage, sizeof kUsage - 1, nullptr, nullptr);
    return 2;
  }
  CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
  RecordInstallPath(host().config);
  if (host().config.account.empty()) host().config.account = FirstAccount();
  if (!RegisterClasses(GetModuleHandleA(nullptr))) {
    Out("! cannot register the window classes");
    return 1;
  }
  WatchDialogs();
  Plugin& p = plugin();
  // The main window's menu is built once the plug-in has started, as the
  // client loads its plug-ins before it opens its main window.
  if (p.Load(host().config.plugin)) p.Start(host().config.version);
  if (!CreateMainWindow()) {
    Out("! cannot create the main window");
    return 1;
  }
  for (Step& step : steps) step();
  // The client closes its windows, then says goodbye to its plug-ins.
  for (SendWindow& s : host().sends)
    if (IsWindow(s.window)) DestroyWindow(s.window);
  for (ViewWindow& v : host().views)
    if (IsWindow(v.window)) DestroyWindow(v.window);
  DestroyWindow(host().main);
  p.Unload();
  Out("exit");
  return host().failed ? 1 : 0;
}

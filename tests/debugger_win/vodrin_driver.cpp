#include "vodrin_driver.h"

#include <richedit.h>

#include <vector>

namespace tam::test {

namespace {

struct Search {
  DWORD pid;
  const char* cls;
  HWND found;
};

BOOL CALLBACK FindOfProcess(HWND window, LPARAM param) {
  Search* s = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char cls[64] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (pid == s->pid && lstrcmpA(cls, s->cls) == 0) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindOf(DWORD pid, const char* cls) {
  Search s = {pid, cls, nullptr};
  EnumWindows(FindOfProcess, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA f;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &f);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = f.cFileName;
      if (name == "." || name == "..") continue;
      if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(folder + name + "\\");
      else
        DeleteFileA((folder + name).c_str());
    } while (FindNextFileA(h, &f));
    FindClose(h);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string TextOf(HWND window) {
  std::vector<char> buffer(256);
  for (;;) {
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_NORMAL,
                             10000, &got))
      return std::string();
    if (got + 1 < buffer.size()) return std::string(buffer.data(), got);
    buffer.resize(buffer.size() * 2);
  }
}

VodrinFolder::VodrinFolder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  static int serial = 0;
  for (;;) {
    path_ =
        std::string(temp) + "vodrin" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial) + "\\";
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
  }
  CopyFileA(VODRIN_EXE, (path_ + "Vodrin.exe").c_str(), FALSE);
}

VodrinFolder::~VodrinFolder() { RemoveTree(path_); }

void VodrinFolder::Put(const std::string& name, const std::string& bytes) const {
  HANDLE h = CreateFileA((path_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

std::string VodrinFolder::Get(const std::string& name) const {
  std::string bytes;
  HANDLE h = CreateFileA((path_ + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  CloseHandle(h);
  return bytes;
}

bool VodrinFolder::Has(const std::string& name) const {
  return GetFileAttributesA((path_ + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Vodrin::Vodrin(const VodrinFolder& folder, const std::string& parameters) {
  std::string line = "\"" + folder.Path() + "Vodrin.exe\"" + (parameters.empty() ? "" : " " + parameters);
  STARTUPINFOA start = {};
  start.cb = sizeof start;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(), &start, &process_))
    return;
  WaitForInputIdle(process_.hProcess, 10000);
  for (int i = 0; i < 300 && !main_; ++i) {
    HWND found = FindOf(process_.dwProcessId, "TDebugForm");
    if (found && IsWindowVisible(found) && FindOf(process_.dwProcessId, "TResultForm"))
      main_ = found;
    else
      Sleep(50);
  }
  if (main_) Settle();
}

Vodrin::~Vodrin() {
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
}

HWND Vodrin::Form(const char* cls) const { return FindOf(process_.dwProcessId, cls); }

HWND Vodrin::Content(const char* cls) const { return GetDlgItem(Form(cls), 301); }

void Vodrin::Settle() {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
}

void Vodrin::Command(int id) {
  DWORD_PTR ignored = 0;
  // Returns at once when the command opens a message box; the box's loop
  // then answers Settle.
  SendMessageTimeoutA(main_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0, SMTO_NORMAL, 300, &ignored);
  Settle();
}

HWND Vodrin::Box() const {
  for (int i = 0; i < 10; ++i) {
    if (HWND box = FindOf(process_.dwProcessId, "#32770"))
      if (IsWindowVisible(box)) return box;
    Sleep(20);
  }
  return nullptr;
}

std::string Vodrin::BoxText(HWND box) const {
  std::string text;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[32] = "";
    GetClassNameA(c, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) text += TextOf(c);
  }
  return TextOf(box) + "|" + text;
}

void Vodrin::Answer(HWND box, int button) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0, SMTO_NORMAL, 10000, &ignored);
  Settle();
}

bool Vodrin::Close() {
  PostMessageA(main_, WM_CLOSE, 0, 0);
  return WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0;
}

std::string Vodrin::Label(int id) const { return TextOf(Control(id)); }

void Vodrin::Selection(HWND edit, int& start, int& end) const {
  DWORD_PTR got = 0;
  SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_NORMAL, 10000, &got);
  start = LOWORD(got);
  end = HIWORD(got);
}

}  // namespace tam::test

#include "testhost/boxes.h"

#include <deque>
#include <map>
#include <vector>

#include "testhost/host.h"
#include "testhost/setup_driver.h"

namespace almail {

namespace {

// More boxes than any test shows: a reply program that fails on every
// Retry would otherwise keep the run going for ever.
constexpr int kMaxBoxes = 200;

std::map<std::string, std::deque<int>>& Answers() {
  static std::map<std::string, std::deque<int>> answers;
  return answers;
}

const struct {
  const char* name;
  int id;
} kButtons[] = {{"OK", IDOK},         {"Cancel", IDCANCEL}, {"Abort", IDABORT}, {"Retry", IDRETRY},
                {"Ignore", IDIGNORE}, {"Yes", IDYES},       {"No", IDNO}};

std::string ButtonName(int id) {
  for (const auto& b : kButtons)
    if (b.id == id) return b.name;
  return std::to_string(id);
}

std::string Describe(UINT type) {
  std::string s;
  switch (type & MB_ICONMASK) {
    case 0:
      s = "no icon";
      break;
    case MB_ICONHAND:
      s = "stop";
      break;
    case MB_ICONQUESTION:
      s = "question";
      break;
    case MB_ICONEXCLAMATION:
      s = "warning";
      break;
    case MB_ICONASTERISK:
      s = "information";
      break;
    default:
      s = "icon " + Hex(type & MB_ICONMASK);
  }
  const char* buttons[] = {"OK", "OK Cancel", "Abort Retry Ignore", "Yes No Cancel", "Yes No", "Retry Cancel"};
  const UINT set = type & MB_TYPEMASK;
  s += ", " + (set < 6 ? std::string(buttons[set]) : "buttons " + Hex(set));
  if (type & MB_DEFMASK) s += ", default " + std::to_string(((type & MB_DEFMASK) >> 8) + 1);
  if (type & MB_TASKMODAL) s += ", task-modal";
  if (type & MB_SYSTEMMODAL) s += ", system-modal";
  return s;
}

std::string OwnerName(HWND owner) {
  if (!owner) return "none";
  if (owner == host().main) return "main";
  if (FindView(owner)) return "view";
  if (FindSend(owner)) return "send";
  if (IsSetupForm(owner)) return "setup";
  return "other";
}

// The buttons a box of this type offers, in their order on the box.
std::deque<int> Offered(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    default:
      return {IDOK};
  }
}

int Answer(const std::string& title, UINT type) {
  const std::deque<int> offered = Offered(type);
  auto offers = [&](int id) {
    for (int b : offered)
      if (b == id) return true;
    return false;
  };
  auto it = Answers().find(title);
  if (it != Answers().end() && !it->second.empty()) {
    const int id = it->second.front();
    it->second.pop_front();
    if (offers(id)) return id;
    Fault("! the box titled " + title + " has no button " + ButtonName(id));
  }
  for (int id : {IDOK, IDCANCEL, IDABORT, IDNO})
    if (offers(id)) return id;
  return offered.front();
}

int ShowBox(HWND owner, const std::string& text, const std::string& title, UINT type) {
  static int shown = 0;
  if (++shown > kMaxBoxes) {
    Fault("! more than " + std::to_string(kMaxBoxes) + " message boxes; the run stops");
    ExitProcess(3);
  }
  const int answer = Answer(title, type);
  Out("box " + title + " | " + Describe(type) + " | owner " + OwnerName(owner) + " | " + OneLine(text) + " | " +
      ButtonName(answer));
  return answer;
}

std::string Narrow(const wchar_t* w) {
  if (!w) return std::string();
  const int n = WideCharToMultiByte(932, 0, w, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string s(n, '\0');
  WideCharToMultiByte(932, 0, w, -1, &s[0], n, nullptr, nullptr);
  s.resize(n - 1);
  return s;
}

int WINAPI BoxA(HWND owner, LPCSTR text, LPCSTR title, UINT type) {
  return ShowBox(owner, text ? text : "", title ? title : "", type);
}
int WINAPI BoxW(HWND owner, LPCWSTR text, LPCWSTR title, UINT type) {
  return ShowBox(owner, Narrow(text), Narrow(title), type);
}
int WINAPI BoxExA(HWND owner, LPCSTR text, LPCSTR title, UINT type, WORD) { return BoxA(owner, text, title, type); }
int WINAPI BoxExW(HWND owner, LPCWSTR text, LPCWSTR title, UINT type, WORD) { return BoxW(owner, text, title, type); }

// Replaces the entries of the module's import table for user32's message
// box functions.
void Redirect(HMODULE module, const char* function, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return;
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), "user32.dll") != 0) continue;
    if (!imp->OriginalFirstThunk) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) != 0) continue;
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<DWORD_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
    }
  }
}

LRESULT CALLBACK DialogWatch(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char cls[64] = {0};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0) {
      Out("dialog " + WindowText(window) + " | cancelled");
      PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
      PostMessageA(window, WM_COMMAND, IDABORT, 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<std::string>& Presses() {
  static std::vector<std::string> captions;
  return captions;
}

struct ButtonSearch {
  const std::string* caption;
  HWND found;
};

BOOL CALLBACK FindButton(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ButtonSearch*>(param);
  char cls[32] = {0};
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Button") == 0 && IsWindowVisible(child) && WindowText(child) == *search->caption) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK PressIn(HWND window, LPARAM) {
  if (!IsWindowVisible(window) || window == host().main || FindView(window) || FindSend(window)) return TRUE;
  for (const std::string& caption : Presses()) {
    ButtonSearch search = {&caption, nullptr};
    EnumChildWindows(window, FindButton, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      Out("window " + WindowText(window) + " | press " + caption);
      PostMessageA(search.found, BM_CLICK, 0, 0);
      return FALSE;
    }
  }
  return TRUE;
}

void CALLBACK PressTick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), PressIn, 0); }

}  // namespace

void PressWhenShown(const std::string& caption) {
  if (Presses().empty()) SetTimer(nullptr, 0, 200, PressTick);
  Presses().push_back(caption);
}

void AddAnswers(const std::string& title, const std::string& buttons) {
  std::deque<int>& queue = Answers()[title];
  std::size_t start = 0;
  while (start <= buttons.size()) {
    std::size_t comma = buttons.find(',', start);
    if (comma == std::string::npos) comma = buttons.size();
    const std::string word = buttons.substr(start, comma - start);
    bool known = false;
    for (const auto& b : kButtons)
      if (lstrcmpiA(word.c_str(), b.name) == 0) queue.push_back(b.id), known = true;
    if (!known && !word.empty()) Out("! unknown button " + word);
    start = comma + 1;
  }
}

void AnswerMessageBoxesOf(HMODULE module) {
  Redirect(module, "MessageBoxA", reinterpret_cast<void*>(&BoxA));
  Redirect(module, "MessageBoxW", reinterpret_cast<void*>(&BoxW));
  Redirect(module, "MessageBoxExA", reinterpret_cast<void*>(&BoxExA));
  Redirect(module, "MessageBoxExW", reinterpret_cast<void*>(&BoxExW));
}

void WatchDialogs() { SetWindowsHookExA(WH_CBT, DialogWatch, nullptr, GetCurrentThreadId()); }

}  // namespace almail

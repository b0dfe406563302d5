#include "plugin/win32/kesrel/host_binding.h"

#include <cstdint>

#include "plugin/registry.h"
#include "plugin/version.h"

namespace tam::win {

namespace {

// The host's functions, in the order in which they are looked up.
enum HostFunction {
  kSetTimer,
  kExecALMail,
  kRegistCallback,
  kGetMailbox,
  kGetAccount,
  kGetFolderName,
  kImportFile,
  kMoveMail,
  kMarkMail,
  kDeleteMail,
  kFolderGetCurrentFolder,
  kFolderGetCurrentEntry,
  kFolderGetSelectEntry,
  kFolderMailTo,
  kFolderReply,
  kFolderOpenMail,
  kSendGetText,
  kSendGetHeader,
  kSendSetText,
  kSendSetHeader,
  kSendGetEditor,
  kViewGetText,
  kViewGetHeader,
  kViewSetText,
  kViewGetPath,
  kViewGetEditor,
  kViewChangeMail,
  kJisToSjis,
  kHostFunctionCount
};

const char* const kHostNames[kHostFunctionCount] = {
    "_APASetTimer@12",
    "_APAExecALMail@4",
    "_APARegistCallback@8",
    "_APAGetMailbox@0",
    "_APAGetAccount@4",
    "_APAGetFolderName@4",
    "_APAImportFile@12",
    "_APAMoveMail@8",
    "_APAMarkMail@12",
    "_APADeleteMail@4",
    "_APAFolderGetCurrentFolder@4",
    "_APAFolderGetCurrentEntry@4",
    "_APAFolderGetSelectEntry@8",
    "_APAFolderMailTo@8",
    "_APAFolderReply@8",
    "_APAFolderOpenMail@12",
    "_APASendGetText@8",
    "_APASendGetHeader@4",
    "_APASendSetText@8",
    "_APASendSetHeader@8",
    "_APASendGetEditor@4",
    "_APAViewGetText@4",
    "_APAViewGetHeader@4",
    "_APAViewSetText@8",
    "_APAViewGetPath@4",
    "_APAViewGetEditor@4",
    "_APAViewChangeMail@8",
    "_APAJisToSjis@12",
};

using TextOfVoid = const char*(__stdcall*)();
using TextOfWindow = const char*(__stdcall*)(HWND);
using TextOfWindowIndex = const char*(__stdcall*)(HWND, int);
using WindowText = int(__stdcall*)(HWND, const char*);
using Import = int(__stdcall*)(const char*, const char*, DWORD);
using Regist = int(__stdcall*)(CommandProc, int);

HMODULE hostModule = nullptr;
FARPROC table[kHostFunctionCount] = {};

template <class F>
F Fn(HostFunction f) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(table[f]));
}

// The host's text copied at once; null means nothing, as empty does.
std::string Copy(const char* s) { return s ? std::string(s) : std::string(); }

HWND Window(HostWindow w) { return reinterpret_cast<HWND>(w); }

class BoundFunctions : public HostApi {
 public:
  std::string GetMailbox() override { return Copy(Fn<TextOfVoid>(kGetMailbox)()); }
  std::string GetAccount(HostWindow w) override { return Copy(Fn<TextOfWindow>(kGetAccount)(Window(w))); }
  std::string FolderGetCurrentEntry(HostWindow w) override {
    return Copy(Fn<TextOfWindow>(kFolderGetCurrentEntry)(Window(w)));
  }
  std::string FolderGetSelectEntry(HostWindow w, int index) override {
    return Copy(Fn<TextOfWindowIndex>(kFolderGetSelectEntry)(Window(w), index));
  }
  void ImportFile(const std::string& file, const std::string& folder, std::uint32_t flags) override {
    Fn<Import>(kImportFile)(file.c_str(), folder.c_str(), flags);
  }
  void FolderMailTo(HostWindow w, const std::string& text) override {
    Fn<WindowText>(kFolderMailTo)(Window(w), text.c_str());
  }
  void SendSetText(HostWindow w, const std::string& text) override {
    Fn<WindowText>(kSendSetText)(Window(w), text.c_str());
  }
  void SendSetHeader(HostWindow w, const std::string& text) override {
    Fn<WindowText>(kSendSetHeader)(Window(w), text.c_str());
  }
  std::string ViewGetPath(HostWindow w) override { return Copy(Fn<TextOfWindow>(kViewGetPath)(Window(w))); }
};

BoundFunctions bound;

void SetString(HKEY key, const char* name, const char* value) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(lstrlenA(value) + 1));
}

// The product's values, rewritten at every start; a key that cannot be
// opened is passed over.
void RecordProduct() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  SetString(key, "Version", kVersionText);
  SetString(key, "CopyrightYear", "2024-2025");
  SetString(key, "Filename", "Kesrel");
  RegCloseKey(key);
}

}  // namespace

bool BindHost() {
  RecordProduct();
  ReleaseHost();
  HMODULE module = LoadLibraryA("Almail.exe");
  if (reinterpret_cast<std::uintptr_t>(module) <= 32) return false;
  FARPROC found[kHostFunctionCount];
  for (int i = 0; i < kHostFunctionCount; ++i) {
    found[i] = GetProcAddress(module, kHostNames[i]);
    if (!found[i]) {
      FreeLibrary(module);
      return false;
    }
  }
  for (int i = 0; i < kHostFunctionCount; ++i) table[i] = found[i];
  hostModule = module;
  return true;
}

void ReleaseHost() {
  if (hostModule) FreeLibrary(hostModule);
  hostModule = nullptr;
  for (FARPROC& f : table) f = nullptr;
}

bool HostBound() { return hostModule != nullptr; }

HostApi& BoundHost() { return bound; }

UINT RegistCallback(CommandProc proc, int userValue) {
  return static_cast<UINT>(Fn<Regist>(kRegistCallback)(proc, userValue));
}

}  // namespace tam::win

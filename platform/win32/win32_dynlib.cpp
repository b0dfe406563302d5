// External function libraries on Windows: FindFirstFile, LoadLibrary and
// GetProcAddress, the standard calling convention, and OLE safe arrays of
// VARIANT-sized records.
#include <windows.h>

#include <cstring>

#include "platform/dynlib.h"

namespace tam::os {

static_assert(sizeof(VARIANT) == sizeof(ValueRecord), "a value record is laid out as a VARIANT");

std::vector<std::string> FindDynamicLibraries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "*.dll").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | 0x08 /* volume label */)) continue;
    names.push_back(found.cFileName);
  } while (FindNextFileA(h, &found));
  FindClose(h);
  return names;
}

LibraryHandle LoadDynamicLibrary(const std::string& path) {
  // A library that cannot load must not ask the user about it.
  const UINT old = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE h = LoadLibraryA(path.c_str());
  SetErrorMode(old);
  const auto handle = reinterpret_cast<LibraryHandle>(h);
  return handle <= 32 ? 0 : handle;
}

void* DynamicSymbol(LibraryHandle library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

void FreeDynamicLibrary(LibraryHandle library) { FreeLibrary(reinterpret_cast<HMODULE>(library)); }

bool CallExternalFunction(void* entry, const char* name, const ValueRecord& args, ValueRecord* result, bool* found) {
  using Entry = unsigned char(__stdcall*)(const char*, ValueRecord, ValueRecord*, unsigned char*);
  unsigned char flag = 0;
  const unsigned char ok = reinterpret_cast<Entry>(entry)(name, args, result, &flag);
  *found = flag != 0;
  return ok != 0;
}

void* CreateRecordArray(const std::vector<ValueRecord>& items) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
  if (!array) return nullptr;
  if (!items.empty()) std::memcpy(array->pvData, items.data(), items.size() * sizeof(ValueRecord));
  return array;
}

void DestroyRecordArray(void* array) {
  auto* a = static_cast<SAFEARRAY*>(array);
  if (!a) return;
  // The records point at texts and arrays the caller owns: empty them so
  // that destroying the array frees nothing of theirs.
  std::memset(a->pvData, 0, a->rgsabound[0].cElements * sizeof(ValueRecord));
  SafeArrayDestroy(a);
}

bool ReadRecordArray(const void* array, std::vector<ValueRecord>& items) {
  const auto* a = static_cast<const SAFEARRAY*>(array);
  items.clear();
  if (!a || a->cDims != 1 || a->cbElements != sizeof(ValueRecord) || !a->pvData) return false;
  const auto* records = static_cast<const ValueRecord*>(a->pvData);
  items.assign(records, records + a->rgsabound[0].cElements);
  return true;
}

std::string WideText(const void* text) {
  const auto* w = static_cast<const wchar_t*>(text);
  if (!w || !*w) return std::string();
  const int n = WideCharToMultiByte(932, 0, w, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string s(n, '\0');
  WideCharToMultiByte(932, 0, w, -1, &s[0], n, nullptr, nullptr);
  s.resize(n - 1);
  return s;
}

}  // namespace tam::os

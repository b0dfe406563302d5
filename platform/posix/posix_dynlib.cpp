// Without libraries of the Windows kind the external step finds nothing.
#include "platform/dynlib.h"

namespace tam::os {

std::vector<std::string> FindDynamicLibraries(const std::string&) { return {}; }
LibraryHandle LoadDynamicLibrary(const std::string&) { return 0; }
void* DynamicSymbol(LibraryHandle, const char*) { return nullptr; }
void FreeDynamicLibrary(LibraryHandle) {}

bool CallExternalFunction(void*, const char*, const ValueRecord&, ValueRecord*, bool* found) {
  *found = false;
  return false;
}

void* CreateRecordArray(const std::vector<ValueRecord>&) { return nullptr; }
void DestroyRecordArray(void*) {}
bool ReadRecordArray(const void*, std::vector<ValueRecord>&) { return false; }
std::string WideText(const void*) { return std::string(); }

}  // namespace tam::os

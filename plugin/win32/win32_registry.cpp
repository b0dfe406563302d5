// Registry reading on win32: open the key for reading and fetch the raw data.
#include <windows.h>

#include "plugin/registry.h"

namespace tam {

namespace {

HKEY RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegistryRoot::kUsers:
      return HKEY_USERS;
    case RegistryRoot::kCurrentConfig:
      return HKEY_CURRENT_CONFIG;
    case RegistryRoot::kDynData:
      return HKEY_DYN_DATA;
  }
  return HKEY_CURRENT_USER;
}

class Win32Registry : public RegistryAccess {
 public:
  std::optional<RegistryData> Query(RegistryRoot root, const std::string& key, const std::string& name) override {
    HKEY h;
    if (RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
    std::optional<RegistryData> result;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(h, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      RegistryData d;
      d.type = type;
      d.bytes.resize(size);
      DWORD got = size;
      if (RegQueryValueExA(h, name.c_str(), nullptr, &type, size ? reinterpret_cast<BYTE*>(&d.bytes[0]) : nullptr,
                           &got) == ERROR_SUCCESS &&
          got <= size) {
        d.type = type;
        d.bytes.resize(got);
        result = std::move(d);
      }
    }
    RegCloseKey(h);
    return result;
  }
};

}  // namespace

RegistryAccess& NativeRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace tam

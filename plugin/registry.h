// Reading single values from the Windows registry. The system part only
// fetches raw data; turning it into a value of the default's kind is common
// to every build. On posix there is no registry and every read gives the
// default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/value.h"

namespace tam {

// The product key below HKEY_CURRENT_USER where the plug-in keeps its own values.
extern const char* const kProductKey;

enum class RegistryRoot { kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig, kDynData };

// Registry data types as the system numbers them.
enum RegistryType : std::uint32_t { kRegString = 1, kRegExpandString = 2, kRegBinary = 3, kRegDword = 4 };

struct RegistryData {
  std::uint32_t type = 0;
  std::string bytes;  // as stored; string data may end in NUL
};

class RegistryAccess {
 public:
  virtual ~RegistryAccess() = default;
  // The data of the value, or nullopt when the key cannot be opened for
  // reading or holds no such value. Never creates a key.
  virtual std::optional<RegistryData> Query(RegistryRoot root, const std::string& key, const std::string& name) = 0;
};

// The backend of this build.
RegistryAccess& NativeRegistry();

// Reads a value in the kind of def. keyPath without a leading backslash is
// below the product key ("Options" -> product key + "\Options"); with one, it
// starts with a root name ("\HKEY_LOCAL_MACHINE\SOFTWARE\..."). A missing key
// or value, an unknown root, data of another type or a failed conversion all
// give def.
Value ReadRegistryValue(RegistryAccess& registry, const std::string& keyPath, const std::string& name,
                        const Value& def);

}  // namespace tam

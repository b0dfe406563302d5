// Posix has no registry: every value is missing, so every read gives its default.
#include "plugin/registry.h"

namespace tam {

namespace {
class NoRegistry : public RegistryAccess {
 public:
  std::optional<RegistryData> Query(RegistryRoot, const std::string&, const std::string&) override {
    return std::nullopt;
  }
};
}  // namespace

RegistryAccess& NativeRegistry() {
  static NoRegistry registry;
  return registry;
}

}  // namespace tam

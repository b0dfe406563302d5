// Without a platform loader of such libraries the step finds nothing.
#include "engine/external.h"

namespace tam {

struct ExternalLibraries::Impl {};

ExternalLibraries::ExternalLibraries(const std::string&) {}
ExternalLibraries::~ExternalLibraries() = default;

bool ExternalLibraries::Call(const std::string&, const Value&, Value&, bool& found) {
  found = false;
  return true;
}

}  // namespace tam

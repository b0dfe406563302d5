#include "tests/scripts/clock_hooks.h"

#include <gtest/gtest.h>

#include "platform/fixed_clock.h"

namespace tam {

void ClockDirective(const std::string& line, ScriptSetup& setup) {
  const std::string prefix = "' now:";
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0) return;
  std::string value = line.substr(start + prefix.size());
  const std::size_t first = value.find_first_not_of(' ');
  value.erase(0, first == std::string::npos ? value.size() : first);
  while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
  setup.directives["now"].push_back(value);
}

ClockScriptHook::ClockScriptHook(const ScriptSetup& setup) {
  auto now = setup.directives.find("now");
  if (now == setup.directives.end()) return;
  LocalTime t;
  if (!FixedClockPlatform::Parse(now->second.back(), t)) {
    ADD_FAILURE() << "bad clock directive: " << now->second.back();
    return;
  }
  clock_ = std::make_unique<FixedClockPlatform>(platform(), t);
  SetPlatform(clock_.get());
}

ClockScriptHook::~ClockScriptHook() {
  if (clock_) SetPlatform(nullptr);
}

}  // namespace tam

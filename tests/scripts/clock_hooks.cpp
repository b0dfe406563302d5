#include "tests/scripts/clock_hooks.h"

#include <gtest/gtest.h>

#include "platform/fixed_clock.h"

namespace tam {

namespace {

// The platform of a script test: the fixed Japanese settings, and the
// system's clock unless one was given.
class ScriptPlatform : public FixedClockPlatform {
 public:
  ScriptPlatform(Platform& inner, const LocalTime* now)
      : FixedClockPlatform(inner, now ? *now : LocalTime{}), inner_(inner), fixed_(now != nullptr) {}
  const LocaleInfo& Locale() override { return japanese_; }
  LocalTime Now() override { return fixed_ ? FixedClockPlatform::Now() : inner_.Now(); }
  LocalTime UtcNow() override { return fixed_ ? FixedClockPlatform::UtcNow() : inner_.UtcNow(); }

 private:
  Platform& inner_;
  bool fixed_;
  LocaleInfo japanese_;
};

}  // namespace

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

ClockScriptHook::ClockScriptHook(const ScriptSetup& setup) : previous_(&platform()) {
  LocalTime t;
  const LocalTime* now = nullptr;
  auto given = setup.directives.find("now");
  if (given != setup.directives.end()) {
    if (FixedClockPlatform::Parse(given->second.back(), t))
      now = &t;
    else
      ADD_FAILURE() << "bad clock directive: " << given->second.back();
  }
  platform_ = std::make_unique<ScriptPlatform>(*previous_, now);
  SetPlatform(platform_.get());
}

ClockScriptHook::~ClockScriptHook() { SetPlatform(previous_); }

}  // namespace tam

// The clock and regional settings of a script test. Every program runs under
// the fixed Japanese settings, whatever the system's are, so that the dates
// it shows read the same everywhere; "' now: YYYY-MM-DD HH:MM:SS[.mmm]"
// also fixes the clock for the whole run.
#pragma once

#include <memory>
#include <string>

#include "tests/scripts/script_hooks.h"

namespace tam {

class FixedClockPlatform;
class Platform;

// Records the directive when the line is one.
void ClockDirective(const std::string& line, ScriptSetup& setup);

// Installs the settings and, when the setup asks for one, the fixed clock for
// its lifetime.
class ClockScriptHook {
 public:
  explicit ClockScriptHook(const ScriptSetup& setup);
  ~ClockScriptHook();
  ClockScriptHook(const ClockScriptHook&) = delete;
  ClockScriptHook& operator=(const ClockScriptHook&) = delete;

 private:
  Platform* previous_;
  std::unique_ptr<FixedClockPlatform> platform_;
};

}  // namespace tam

// The clock of a script test: "' now: YYYY-MM-DD HH:MM:SS[.mmm]" fixes it for
// the whole run.
#pragma once

#include <memory>
#include <string>

#include "tests/scripts/script_hooks.h"

namespace tam {

class FixedClockPlatform;

// Records the directive when the line is one.
void ClockDirective(const std::string& line, ScriptSetup& setup);

// Installs the fixed clock for its lifetime when the setup asks for one.
class ClockScriptHook {
 public:
  explicit ClockScriptHook(const ScriptSetup& setup);
  ~ClockScriptHook();
  ClockScriptHook(const ClockScriptHook&) = delete;
  ClockScriptHook& operator=(const ClockScriptHook&) = delete;

 private:
  std::unique_ptr<FixedClockPlatform> clock_;
};

}  // namespace tam

// Script-test directives of the mail area:
//   ' mail: FILE          the referenced mail (in the setup's mail folder)
//   ' option: TEXT        the option line
//   ' account-title: T    (also account-user, account-address, account-name)
//   ' tz-bias: MINUTES    the time-zone bias of the Date line (default -540)
// The Date line takes its time from the clock hook's ' now: (default
// 2026-12-06 09:05:03).
// Any of them prepares the reply as the plug-in does and installs the mail
// functions; after the variables the output shows the reply as stored, one
// "reply: TEXT" line per line ("reply:" for an empty one, "reply: [TEXT]"
// for one that ends in a blank).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/calc.h"
#include "mail/mail_state.h"
#include "platform/fixed_clock.h"
#include "tests/scripts/script_hooks.h"

namespace tam {

bool MailDirective(const std::string& line, ScriptSetup& setup);

class MailScriptHook {
 public:
  // nullptr when the setup has no mail directive.
  static std::unique_ptr<MailScriptHook> For(const ScriptSetup& setup);
  explicit MailScriptHook(const ScriptSetup& setup);
  ~MailScriptHook();

  void Install(TCalc& calc, TVariableSet& set);
  void Collect(std::vector<std::string>& output);

 private:
  const ScriptSetup& setup_;
  TMailState mail_;
  Platform* previous_;
  std::unique_ptr<Platform> clock_;
};

}  // namespace tam

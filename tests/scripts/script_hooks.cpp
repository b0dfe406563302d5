#include "tests/scripts/script_hooks.h"

#include "tests/scripts/clock_hooks.h"
#include "tests/scripts/mail_hooks.h"

namespace tam {

void ScriptDirective(const std::string& line, ScriptSetup& setup) {
  ClockDirective(line, setup);
  MailDirective(line, setup);
}

ScriptEnvironment::ScriptEnvironment(const ScriptSetup& setup)
    : setup_(setup), clock_(std::make_unique<ClockScriptHook>(setup)) {}
ScriptEnvironment::~ScriptEnvironment() = default;

void ScriptEnvironment::Install(TCalc& calc, TVariableSet& set) {
  mail_ = MailScriptHook::For(setup_);
  if (mail_) mail_->Install(calc, set);
}

void ScriptEnvironment::Collect(std::vector<std::string>& output) {
  if (mail_) mail_->Collect(output);
}

}  // namespace tam

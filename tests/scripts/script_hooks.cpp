#include "tests/scripts/script_hooks.h"

namespace tam {

void ScriptDirective(const std::string&, ScriptSetup&) {}

ScriptEnvironment::ScriptEnvironment(const ScriptSetup& setup) : setup_(setup) {}
ScriptEnvironment::~ScriptEnvironment() = default;

void ScriptEnvironment::Install(TCalc&, TVariableSet&) {}

void ScriptEnvironment::Collect(std::vector<std::string>&) {}

}  // namespace tam

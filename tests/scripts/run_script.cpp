#include "tests/scripts/run_script.h"

#include <exception>
#include <set>
#include <sstream>

#include "engine/calc.h"
#include "library/library.h"
#include "platform/platform.h"

namespace tam {

namespace {

// Directive value of a comment line ("' name: value"), UTF-8.
bool Directive(const std::string& line, const std::string& name, std::string& value) {
  const std::string prefix = "' " + name + ":";
  std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0) return false;
  value = line.substr(start + prefix.size());
  if (!value.empty() && value[0] == ' ') value.erase(0, 1);
  while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
  return true;
}

}  // namespace

std::string OneLine(const std::string& text) {
  std::string r;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      r += "\\n";
      ++i;
    } else if (text[i] == '\r' || text[i] == '\n') {
      r += "\\n";
    } else {
      r += text[i];
    }
  }
  return r;
}

void ReadDirectives(const std::string& utf8, ScriptSetup& setup, std::vector<std::string>* expected) {
  std::istringstream lines(utf8);
  for (std::string line; std::getline(lines, line);) {
    std::string value;
    if (Directive(line, "expect", value)) {
      if (expected) expected->push_back(value);
    } else if (Directive(line, "maxloop", value)) {
      setup.maxLoop = std::stoi(value);
    } else {
      ScriptDirective(line, setup);
    }
  }
}

ScriptOutput RunScript(const std::string& utf8, const ScriptSetup& setup, bool onlyNew) {
  ScriptOutput out;
  std::vector<std::string>& output = out.lines;
  ScriptEnvironment env(setup);
  TVariableSet set;
  TCalc calc;
  calc.SetBuiltinHandler(BuiltinFunction, ResolveBuiltin);
  env.Install(calc, set);
  std::set<std::string> before;
  if (onlyNew)
    for (int i = 0; i < set.Count(); ++i) before.insert(set.GetName(i));
  calc.SetMaxLoop(setup.maxLoop);
  calc.Reset();
  calc.LoadProgram(Utf8ToSjis(utf8));
  calc.SetVariables(&set);
  if (calc.Error()) {
    output.push_back("! parse: " + SjisToUtf8(OneLine(calc.ErrorText())));
  } else {
    calc.Reset();
    try {
      calc.Run();
      while (calc.Error()) {
        output.push_back("! " + std::to_string(calc.CurrentLine() + 1) + ": " + SjisToUtf8(OneLine(calc.ErrorText())));
        calc.Skip();
      }
    } catch (const std::exception& e) {
      output.push_back("! fault " + std::to_string(calc.CurrentLine() + 1) + ": " + SjisToUtf8(e.what()));
    }
    for (int i = 0; i < set.Count(); ++i) {
      const std::string name = set.GetName(i);
      if (name.empty() || name[0] == '_' || before.count(name)) continue;
      output.push_back(
          SjisToUtf8(name + " = " + OneLine(DisplayText(set.GetValueAt(i))) + " (" + set.GetTypeName(i) + ")"));
    }
  }
  env.Collect(out.extra);
  return out;
}

}  // namespace tam

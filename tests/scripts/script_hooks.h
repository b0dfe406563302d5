// What a script test may set up besides the program: each area adds its
// directives here (a fixed clock, a referenced mail, dialog answers, ...).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/calc.h"

namespace tam {

class ClockScriptHook;
class MailScriptHook;
class Platform;

struct ScriptSetup {
  int maxLoop = 100;
  // Where ' mail: names a file (relative to the source tree), and whether
  // those files are UTF-8 (they are read as Shift-JIS otherwise).
  std::string mailFolder = "tests/data/mail";
  bool utf8Mails = false;
  std::map<std::string, std::vector<std::string>> directives;  // name -> values in order (UTF-8)
};

// Reads one program line; records it in setup when it is a directive of an area.
void ScriptDirective(const std::string& line, ScriptSetup& setup);

// Lives for one test run: installs what the directives ask for and restores
// the process afterwards.
class ScriptEnvironment {
 public:
  explicit ScriptEnvironment(const ScriptSetup& setup);
  ~ScriptEnvironment();
  ScriptEnvironment(const ScriptEnvironment&) = delete;
  ScriptEnvironment& operator=(const ScriptEnvironment&) = delete;

  void Install(TCalc& calc, TVariableSet& set);
  // Adds output lines after the variables (for example the reply built).
  void Collect(std::vector<std::string>& output);

 private:
  const ScriptSetup& setup_;
  std::unique_ptr<ClockScriptHook> clock_;
  // "' answer: TEXT" (repeatable): the dialogs' answers in order; a dialog
  // beyond them is cancelled.
  Platform* beforeAnswers_ = nullptr;
  std::unique_ptr<Platform> noDialogs_, answers_;
  std::unique_ptr<MailScriptHook> mail_;
};

}  // namespace tam

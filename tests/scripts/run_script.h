// One run of a reply program as the script tests see it: a fresh variable set
// and the built-in library, the directives' set-up installed, every run-time
// error reported and the run going on after the failing line (as the user's
// "Ignore" does).
#pragma once

#include <string>
#include <vector>

#include "tests/scripts/script_hooks.h"

namespace tam {

struct ScriptOutput {
  // "! N: TEXT", "! parse: TEXT", "! fault N: TEXT" in the order they
  // happened, then one "NAME = TEXT (Type)" per variable (names starting
  // with "_" left out); a line break inside TEXT shows as \n.
  std::vector<std::string> lines;
  // What the set-up adds after them (for example the reply built).
  std::vector<std::string> extra;
};

// Runs the UTF-8 program. With onlyNew, variables that existed before the
// run (the predefined ones) are left out.
ScriptOutput RunScript(const std::string& utf8, const ScriptSetup& setup, bool onlyNew = false);

// Reads the directives of a program's comment lines into setup.
void ReadDirectives(const std::string& utf8, ScriptSetup& setup, std::vector<std::string>* expected = nullptr);

// Shows CR LF, CR and LF as \n.
std::string OneLine(const std::string& text);

}  // namespace tam

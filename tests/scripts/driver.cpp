// Runs every reply program under tests/scripts/ and compares its output with
// the `' expect:` lines written in it.
//
// A program runs with a fresh variable set and the built-in library; a
// run-time error is reported and the run goes on after the failing line. The
// output is one line per error as it happens ("! N: TEXT", "! parse: TEXT",
// "! fault N: TEXT"; a line break inside TEXT shows as \n), then one line per
// variable, "NAME = TEXT (Type)", leaving out names that start with "_".
//
// Directives in comment lines:
//   ' expect: TEXT      one expected output line
//   ' maxloop: N        the engine's default loop limit
#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/calc.h"
#include "library/library.h"
#include "platform/platform.h"
#include "tests/scripts/script_hooks.h"

namespace tam {
namespace {

namespace fs = std::filesystem;

fs::path ScriptRoot() {
#ifdef _WIN32
  return fs::path("Z:" TAM_SOURCE_DIR) / "tests" / "scripts";
#else
  return fs::path(TAM_SOURCE_DIR) / "tests" / "scripts";
#endif
}

std::vector<std::string> AllScripts() {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(ScriptRoot()))
    if (entry.is_regular_file() && entry.path().extension() == ".tam")
      files.push_back(fs::relative(entry.path(), ScriptRoot()).generic_string());
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string OneLine(std::string text) {
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

class ScriptTest : public testing::TestWithParam<std::string> {};

TEST_P(ScriptTest, Output) {
  const std::string utf8 = ReadAll(ScriptRoot() / GetParam());
  std::vector<std::string> expected;
  ScriptSetup setup;
  std::istringstream lines(utf8);
  for (std::string line; std::getline(lines, line);) {
    std::string value;
    if (Directive(line, "expect", value))
      expected.push_back(value);
    else if (Directive(line, "maxloop", value))
      setup.maxLoop = std::stoi(value);
    else
      ScriptDirective(line, setup);
  }

  std::vector<std::string> output;
  {
    ScriptEnvironment env(setup);
    TVariableSet set;
    TCalc calc;
    calc.SetBuiltinHandler(BuiltinFunction);
    env.Install(calc, set);
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
          output.push_back("! " + std::to_string(calc.CurrentLine() + 1) + ": " +
                           SjisToUtf8(OneLine(calc.ErrorText())));
          calc.Skip();
        }
      } catch (const std::exception& e) {
        output.push_back("! fault " + std::to_string(calc.CurrentLine() + 1) + ": " + SjisToUtf8(e.what()));
      }
      for (int i = 0; i < set.Count(); ++i) {
        const std::string name = set.GetName(i);
        if (!name.empty() && name[0] == '_') continue;
        output.push_back(
            SjisToUtf8(name + " = " + OneLine(DisplayText(set.GetValueAt(i))) + " (" + set.GetTypeName(i) + ")"));
      }
    }
    env.Collect(output);
  }

  std::string want, got;
  for (const auto& l : expected) want += l + "\n";
  for (const auto& l : output) got += l + "\n";
  EXPECT_EQ(want, got) << "in " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptTest, testing::ValuesIn(AllScripts()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace tam

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
// and those of the areas (script_hooks.h). The examples of the reference in
// docs/ run through the same runner (docs_examples.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/scripts/run_script.h"

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

class ScriptTest : public testing::TestWithParam<std::string> {};

TEST_P(ScriptTest, Output) {
  const std::string utf8 = ReadAll(ScriptRoot() / GetParam());
  std::vector<std::string> expected;
  ScriptSetup setup;
  ReadDirectives(utf8, setup, &expected);
  ScriptOutput run = RunScript(utf8, setup);
  run.lines.insert(run.lines.end(), run.extra.begin(), run.extra.end());

  std::string want, got;
  for (const auto& l : expected) want += l + "\n";
  for (const auto& l : run.lines) got += l + "\n";
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

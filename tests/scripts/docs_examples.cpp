// Runs every example of the reference in docs/ (the same text sources that
// scripts/build-docs.sh turns into the HTML pages) and checks that every
// function of the catalogue has an entry in both languages.
//
// In a source, a fenced block "```tam SETUP" is a program; the "```out" and
// "```reply" blocks that follow it (blank lines between allowed) are what it
// must give: out the errors ("! N: TEXT") and the variables the program made
// ("NAME = TEXT (Type)"), reply the reply as stored (header, empty line,
// body; blanks at line ends do not count). Without an out block the program
// must run without an error. SETUP is KEY=VALUE words (VALUE in double
// quotes when it holds blanks): mail (a file in docs/mails, UTF-8), option,
// account-title, account-user, account-address, account-name, now, tz-bias,
// answer (repeatable), maxloop. "## NAME" starts a function's entry;
// "[en]", "[ja]" and "[*]" lines switch the language of what follows (a
// file named *.en.txt or *.ja.txt is in that language throughout).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "library/library.h"
#include "mail/mail_functions.h"
#include "tests/scripts/run_script.h"

namespace tam {
namespace {

namespace fs = std::filesystem;

fs::path DocsRoot() {
#ifdef _WIN32
  return fs::path("Z:" TAM_SOURCE_DIR) / "docs";
#else
  return fs::path(TAM_SOURCE_DIR) / "docs";
#endif
}

struct Example {
  std::string where;  // file:line (heading)
  std::string program, setup;
  bool hasOut = false, hasReply = false;
  std::vector<std::string> out, reply;
};

struct DocSource {
  std::vector<Example> examples;
  // Entry name -> languages whose text it has ("en", "ja").
  std::map<std::string, std::set<std::string>> entries;
};

std::string RightTrim(std::string s) {
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.pop_back();
  return s;
}

bool StartsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }

// "key=value key="a value"" -> "' key: value" lines.
std::string SetupDirectives(const std::string& info) {
  std::string lines;
  std::size_t i = 0;
  while (i < info.size()) {
    while (i < info.size() && info[i] == ' ') ++i;
    const std::size_t eq = info.find('=', i);
    if (i >= info.size() || eq == std::string::npos) break;
    const std::string key = info.substr(i, eq - i);
    std::string value;
    i = eq + 1;
    if (i < info.size() && info[i] == '"') {
      const std::size_t close = info.find('"', i + 1);
      value = info.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
      i = close == std::string::npos ? info.size() : close + 1;
    } else {
      const std::size_t space = info.find(' ', i);
      value = info.substr(i, space == std::string::npos ? std::string::npos : space - i);
      i = space == std::string::npos ? info.size() : space;
    }
    lines += "' " + key + ": " + value + "\n";
  }
  return lines;
}

DocSource ReadSource(const fs::path& file) {
  DocSource doc;
  std::ifstream in(file, std::ios::binary);
  const std::string name = file.filename().string();
  const std::string fixed = name.size() > 7 && name.compare(name.size() - 7, 7, ".en.txt") == 0   ? "en"
                            : name.size() > 7 && name.compare(name.size() - 7, 7, ".ja.txt") == 0 ? "ja"
                                                                                                  : "*";
  std::string lang = fixed, entry;
  std::vector<std::string> names;  // of the entry: "## COPY, MID" describes two
  std::string line;
  int number = 0;
  Example* last = nullptr;  // the program that out and reply blocks belong to
  while (std::getline(in, line)) {
    ++number;
    line = RightTrim(line);
    if (line == "[en]" || line == "[ja]" || line == "[*]") {
      lang = fixed != "*" ? fixed : line.substr(1, line.size() - 2);
      continue;
    }
    if (StartsWith(line, "# ")) {
      names.clear();
      entry.clear();
      lang = fixed;
      last = nullptr;
      continue;
    }
    if (StartsWith(line, "## ")) {
      entry = line.substr(3);
      const std::size_t bar = entry.find(" |");
      if (bar != std::string::npos) entry.erase(bar);
      entry = RightTrim(entry);
      names.clear();
      std::istringstream list(entry);
      for (std::string n; std::getline(list, n, ',');) {
        n = RightTrim(n.substr(std::min(n.find_first_not_of(' '), n.size())));
        names.push_back(n);
        doc.entries[n];
      }
      lang = fixed;
      last = nullptr;
      continue;
    }
    if (StartsWith(line, "```")) {
      std::istringstream info(line.substr(3));
      std::string kind;
      info >> kind;
      std::string rest;
      std::getline(info, rest);
      std::vector<std::string> body;
      const int start = number;
      while (std::getline(in, line)) {
        ++number;
        if (RightTrim(line) == "```") break;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        body.push_back(line);
      }
      if (kind == "tam") {
        Example e;
        e.where = file.filename().string() + ":" + std::to_string(start) + (entry.empty() ? "" : " (" + entry + ")");
        for (const auto& l : body) e.program += l + "\r\n";
        e.setup = SetupDirectives(rest);
        doc.examples.push_back(e);
        last = &doc.examples.back();
      } else if ((kind == "out" || kind == "reply") && last) {
        (kind == "out" ? last->hasOut : last->hasReply) = true;
        (kind == "out" ? last->out : last->reply) = body;
      } else {
        last = nullptr;
      }
      continue;
    }
    if (line.empty()) continue;
    last = nullptr;
    if (lang != "*" && !StartsWith(line, "#"))
      for (const auto& n : names) doc.entries[n].insert(lang);
  }
  return doc;
}

std::vector<fs::path> Sources() {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(DocsRoot()))
    if (e.is_regular_file() && e.path().extension() == ".txt") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> SourceNames() {
  std::vector<std::string> names;
  for (const auto& f : Sources()) names.push_back(f.filename().string());
  return names;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += RightTrim(l) + "\n";
  return s;
}

void Check(const Example& e) {
  ScriptSetup setup;
  setup.mailFolder = "docs/mails";
  setup.utf8Mails = true;
  // As in the mail client, the mail functions are always there (over an
  // empty mail unless the example names one).
  ReadDirectives("' mail:\n" + e.setup, setup);
  ScriptOutput run = RunScript(e.program, setup, true);
  // For whoever writes the reference: what the engine gave, to be read
  // and copied into the source.
  if (const char* actual = std::getenv("TAM_DOCS_ACTUAL")) {
    std::ofstream log(actual, std::ios::app | std::ios::binary);
    log << "@@ " << e.where << "\n-- out\n";
    for (const auto& l : run.lines) log << l << "\n";
    log << "-- reply\n";
    for (const auto& l : run.extra) log << l << "\n";
  }
  if (e.hasOut) {
    EXPECT_EQ(Joined(e.out), Joined(run.lines)) << "in " << e.where;
  } else {
    for (const auto& l : run.lines) EXPECT_FALSE(StartsWith(l, "! ")) << l << " in " << e.where;
  }
  if (e.hasReply) {
    std::vector<std::string> reply;
    for (std::string l : run.extra) {
      l = l.size() > 7 ? l.substr(7) : std::string();  // "reply: "
      if (l.size() >= 2 && l.front() == '[' && l.back() == ']') l = l.substr(1, l.size() - 2);
      reply.push_back(l);
    }
    EXPECT_EQ(Joined(e.reply), Joined(reply)) << "in " << e.where;
  }
}

// One test per source (each example reports where it stands), so that a
// Windows build under Wine starts few processes.
class DocExamples : public testing::TestWithParam<std::string> {};

TEST_P(DocExamples, GiveWhatTheReferenceShows) {
  const DocSource doc = ReadSource(DocsRoot() / GetParam());
  EXPECT_FALSE(doc.examples.empty());
  for (const Example& e : doc.examples) Check(e);
}

INSTANTIATE_TEST_SUITE_P(Docs, DocExamples, testing::ValuesIn(SourceNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

// Every built-in and mail function has an entry in the function reference
// with text in both languages, and no entry names a function that is none.
TEST(DocsReference, EveryFunctionHasAnEntryInBothLanguages) {
  DocSource functions = ReadSource(DocsRoot() / "functions.txt");
  std::set<std::string> names;
  for (const auto& f : BuiltinCatalogue()) names.insert(f.first);
  for (const auto& n : MailFunctionNames()) names.insert(n);
  EXPECT_EQ(names.size(), 162u);
  for (const auto& n : names) {
    auto it = functions.entries.find(n);
    if (it == functions.entries.end()) {
      ADD_FAILURE() << n << " has no entry in docs/functions.txt";
      continue;
    }
    EXPECT_TRUE(it->second.count("en")) << n << " has no English text";
    EXPECT_TRUE(it->second.count("ja")) << n << " has no Japanese text";
  }
  for (const auto& e : functions.entries)
    if (!names.count(e.first)) ADD_FAILURE() << "docs/functions.txt describes " << e.first << ", which is no function";
}

}  // namespace
}  // namespace tam

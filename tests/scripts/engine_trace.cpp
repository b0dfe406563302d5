// Everything a host can see of the engine, recorded over many programs and
// compared with a trace kept in tests/data/engine_trace.txt: after every Step
// the line state and error, with Retry and Skip after errors; every call that
// reaches the function and built-in handlers (name and arguments, in order);
// every before-set and change callback (which set, name, value); then the
// variables, the result and the reply. The programs are the script tests, the
// fuzz corpora, hand-written programs about names (tests/data/engine_trace/),
// seeded random programs and a table of operator pairs.
//
// The trace records what the engine did when it was written. A change that
// alters it on purpose regenerates it with TAM_TRACE_RECORD=all and shows the
// difference in review.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "engine/calc.h"
#include "engine/limits.h"
#include "engine/sjis.h"
#include "fuzz/fuzz_common.h"
#include "library/library.h"
#include "platform/platform.h"
#include "tests/scripts/script_hooks.h"

namespace tam {
namespace {

namespace fs = std::filesystem;

fs::path SourceRoot() {
#ifdef _WIN32
  return fs::path("Z:" TAM_SOURCE_DIR);
#else
  return fs::path(TAM_SOURCE_DIR);
#endif
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<fs::path> FilesUnder(const fs::path& dir, const std::string& extension) {
  std::vector<fs::path> files;
  if (!fs::exists(dir)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    if (entry.is_regular_file() && (extension.empty() || entry.path().extension() == extension))
      files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Bytes as a printable line: control bytes and bytes above 0x7E as \xNN.
std::string Shown(const std::string& s) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : s) {
    if (c < 0x20 || c > 0x7E || c == '\\') {
      r += "\\x";
      r += kHex[c >> 4];
      r += kHex[c & 15];
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}

// A long text shows its start, its length and a checksum of the whole.
std::string Shortened(const std::string& s) {
  if (s.size() <= 120) return Shown(s);
  std::uint32_t h = 2166136261u;
  for (unsigned char c : s) h = (h ^ c) * 16777619u;
  return Shown(s.substr(0, 60)) + "...[" + std::to_string(s.size()) + " #" + std::to_string(h) + "]";
}

std::string Describe(const Value& v) {
  std::string text;
  try {
    text = DisplayText(v);
  } catch (const std::exception& e) {
    text = std::string("<") + e.what() + ">";
  }
  return Shortened(text) + " :" + std::to_string(v.type());
}

// One traced run of a program.
class Tracer {
 public:
  Tracer(std::vector<std::string>& out) : out_(out) {}

  void Arm(TCalc& calc, TVariableSet& set) {
    top_ = &set;
    calc_ = &calc;
    FunctionLibrary inner = calc.FunctionHandler();
    calc.SetFunctionHandler([this, inner](const std::string& name, const Value& args, Value& result, bool& found) {
      out_.push_back("  call " + Shortened(name) + " " + Describe(args));
      if (inner) return inner(name, args, result, found);
      found = false;
      return true;
    });
    FunctionLibrary builtin = calc.BuiltinHandler();
    calc.SetBuiltinHandler([this, builtin](const std::string& name, const Value& args, Value& result, bool& found) {
      const bool ok = builtin(name, args, result, found);
      out_.push_back("  builtin " + Shortened(name) + (found ? ok ? " ok " : " failed " : " missing ") +
                     Describe(result));
      return ok;
    });
    calc.SetOnBeforeSet([this](TVariableSet& sender, const std::string& name, bool&, Value& value) {
      out_.push_back("  before " + Sender(sender) + " " + Shortened(name) + " " + Describe(value));
    });
    calc.SetOnChange([this](TVariableSet& sender, const std::string& name, const Value& value) {
      out_.push_back("  change " + Sender(sender) + " " + Shortened(name) + " " + Describe(value) +
                     (sender.IsReadOnly(name) ? " ro" : "") + " at " + std::to_string(calc_->CurrentLine()) + ">" +
                     std::to_string(calc_->NextLine()) + (calc_->Error() ? " error" : ""));
    });
  }

  // Steps to the end, retrying each failing line once and then skipping it.
  void Steps(TCalc& calc, int maxSteps) {
    int retried = -1;
    try {
      for (int n = 0; n < maxSteps && !calc.Finished(); ++n) {
        if (!calc.Error()) {
          calc.Step();
        } else if (retried != calc.CurrentLine()) {
          retried = calc.CurrentLine();
          out_.push_back(" retry");
          calc.Retry();
        } else {
          out_.push_back(" skip");
          calc.Skip();
        }
        Line(calc);
      }
    } catch (const std::exception& e) {
      out_.push_back(" fault " + Shortened(e.what()));
      Line(calc);
    }
  }

  void Line(const TCalc& calc) {
    out_.push_back(" " + std::to_string(calc.CurrentLine()) + ">" + std::to_string(calc.NextLine()) +
                   (calc.Finished() ? " finished" : "") +
                   (calc.Error() ? " error " + Shortened(calc.ErrorText()) : ""));
  }

  void Dump(const TCalc& calc, const TVariableSet& set) {
    for (int i = 0; i < set.Count(); ++i) {
      const std::string name = set.GetName(i);
      out_.push_back(" var " + Shortened(name) + " = " + Describe(set.GetValueAt(i)) + " " + set.GetTypeName(i) +
                     (set.IsReadOnly(name) ? " ro" : ""));
    }
    out_.push_back(" result " + Describe(calc.Result()));
  }

 private:
  std::string Sender(TVariableSet& s) {
    if (&s == top_) return "top";
    return "local";
  }

  std::vector<std::string>& out_;
  TVariableSet* top_ = nullptr;
  const TCalc* calc_ = nullptr;
};

constexpr long long kBudget = 200000;
constexpr int kMaxSteps = 20000;

// A program run as a reply program: the script tests' setup, the mail of a
// mail test, the safe handlers of the fuzzers for the rest.
void TraceProgram(const std::string& title, const std::string& sjis, const ScriptSetup& setup,
                  std::vector<std::string>& out, long long budget = kBudget) {
  out.push_back("program " + title);
  ScriptEnvironment env(setup);
  TVariableSet set;
  TCalc calc;
  calc.SetBuiltinHandler(BuiltinFunction);
  env.Install(calc, set);
  Tracer tracer(out);
  tracer.Arm(calc, set);
  calc.SetMaxLoop(setup.maxLoop);
  calc.SetStatementBudget(budget);
  calc.Reset();
  calc.LoadProgram(sjis);
  calc.SetVariables(&set);
  tracer.Line(calc);
  if (calc.Error()) {
    out.push_back(" parse " + Shortened(calc.ErrorText()));
  } else {
    calc.Reset();
    tracer.Steps(calc, kMaxSteps);
  }
  tracer.Dump(calc, set);
  std::vector<std::string> reply;
  env.Collect(reply);
  for (const auto& l : reply) out.push_back(" reply " + Shortened(Utf8ToSjis(l)));
}

// The same program run at once by Run, errors skipped by Skip: the state
// Run leaves must match what the steps left.
void TraceRun(const std::string& sjis, const ScriptSetup& setup, std::vector<std::string>& out,
              long long budget = kBudget) {
  ScriptEnvironment env(setup);
  TVariableSet set;
  TCalc calc;
  calc.SetBuiltinHandler(BuiltinFunction);
  env.Install(calc, set);
  calc.SetMaxLoop(setup.maxLoop);
  calc.SetStatementBudget(budget);
  calc.LoadProgram(sjis);
  calc.SetVariables(&set);
  if (calc.Error()) return;
  calc.Reset();
  Tracer tracer(out);
  try {
    calc.Run();
    for (int n = 0; calc.Error() && n < 1000; ++n) {
      tracer.Line(calc);
      calc.Skip();
    }
  } catch (const std::exception& e) {
    out.push_back(" run fault " + Shortened(e.what()));
  }
  out.push_back(" run");
  tracer.Line(calc);
  tracer.Dump(calc, set);
}

ScriptSetup SetupOf(const std::string& utf8) {
  ScriptSetup setup;
  std::istringstream lines(utf8);
  for (std::string line; std::getline(lines, line);) {
    const std::string prefix = "' maxloop:";
    const std::size_t at = line.find(prefix);
    if (at != std::string::npos && line.find_first_not_of(" \t") == at)
      setup.maxLoop = std::atoi(line.c_str() + at + prefix.size());
    ScriptDirective(line, setup);
  }
  // The clock stands still, so that the trace reads the same on every run.
  if (!setup.directives.count("now")) setup.directives["now"].push_back("2001-02-03 04:05:06");
  return setup;
}

// A small deterministic generator (the same numbers on every platform).
class Random {
 public:
  explicit Random(std::uint64_t seed) : s_(seed) {}
  std::uint32_t Next() {
    std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 16);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  template <std::size_t N>
  const char* Pick(const char* const (&list)[N]) {
    return list[Below(static_cast<int>(N))];
  }

 private:
  std::uint64_t s_;
};

// Random programs over a few variables, elements, user functions and the
// library: all operators and operand kinds, loops, branches, RESULT lists,
// EVALUATE and CITE.
class ProgramMaker {
 public:
  explicit ProgramMaker(std::uint64_t seed) : r_(seed) {}

  std::string Make() {
    std::string p;
    const int functions = r_.Below(3);
    for (int f = 0; f < functions; ++f) {
      const char* names[] = {"F", "G", "Mid", "Twice"};
      const std::string name = names[f == 2 ? r_.Below(4) : f];
      const int params = r_.Below(3);
      p += "FUNCTION " + name;
      if (params == 1) p += "(a)";
      if (params == 2) p += "(a, b)";
      p += "\r\n";
      inFunction_ = true;
      p += Block(2, 1 + r_.Below(3));
      if (r_.Below(4)) p += "  RESULT " + Expr(2) + (r_.Below(4) == 0 ? ", " + Expr(1) : "") + "\r\n";
      inFunction_ = false;
      p += "ENDFUNCTION\r\n";
    }
    if (r_.Below(3))
      for (const char* name : {"A", "B", "S", "T(1)", "T(2)", "I"}) p += std::string(name) + " = " + Expr(0) + "\r\n";
    p += Block(0, 3 + r_.Below(8));
    return p;
  }

 private:
  std::string Block(int indent, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += Statement(indent, 0);
    return s;
  }

  std::string Statement(int indent, int depth) {
    const std::string pad(indent, ' ');
    const int k = depth > 1 ? r_.Below(6) : r_.Below(11);
    switch (k) {
      case 0:
      case 1:
      case 2:
        return pad + Target() + " = " + Expr(3) + "\r\n";
      case 3:
        return pad + Target() + ", " + Target() + " = " + Expr(2) + "\r\n";
      case 4:
        return pad + "' note\r\n";
      case 5:
        if (inFunction_) return pad + "RESULT " + Expr(2) + "\r\n";
        return pad + Target() + " = " + Expr(2) + "\r\n";
      case 6:
      case 7: {
        std::string s = pad + "IF " + Condition() + "\r\n" + Statement(indent + 2, depth + 1);
        if (r_.Below(2)) s += pad + "ELSEIF " + Condition() + "\r\n" + Statement(indent + 2, depth + 1);
        if (r_.Below(2)) s += pad + "ELSE\r\n" + Statement(indent + 2, depth + 1);
        return s + pad + "ENDIF\r\n";
      }
      case 8: {
        const char* var = r_.Below(2) ? "I" : "J";
        std::string s = pad + "FOR " + var + " = " + Expr(1) + " TO " + Expr(1);
        if (r_.Below(3) == 0) s += " STEP " + Expr(1);
        if (r_.Below(2)) s += " MAX " + std::to_string(r_.Below(6));
        s += "\r\n" + Statement(indent + 2, depth + 1);
        if (r_.Below(4) == 0) s += pad + "  EXIT FOR\r\n";
        return s + Statement(indent + 2, depth + 1) + pad + "NEXT\r\n";
      }
      case 9: {
        std::string s = pad + "DO";
        if (r_.Below(2)) s += std::string(r_.Below(2) ? " WHILE " : " UNTIL ") + Condition();
        if (r_.Below(2)) s += " MAX " + std::to_string(r_.Below(5));
        s += "\r\n" + Statement(indent + 2, depth + 1);
        if (r_.Below(4) == 0) s += pad + "  EXIT DO\r\n";
        s += pad + "LOOP";
        if (r_.Below(3) == 0) s += std::string(" UNTIL ") + Condition();
        return s + "\r\n";
      }
      default: {
        const char* const ends[] = {"EXIT FUNCTION", "END", "EXIT PROGRAM", "' end"};
        return pad + (inFunction_ ? ends[r_.Below(4)] : "' end") + "\r\n";
      }
    }
  }

  std::string Target() {
    const char* const targets[] = {"A", "B", "C", "s", "T(1)", "T(2)", "T(I)", "T(A)", "U(1, 2)", "I", "N"};
    return r_.Pick(targets);
  }

  std::string Condition() {
    const char* const ops[] = {" < ", " > ", " = ", " <> ", " <= ", " >= "};
    return Expr(1) + r_.Pick(ops) + Expr(1);
  }

  std::string Expr(int depth) {
    const int k = depth <= 0 ? r_.Below(3) : r_.Below(9);
    switch (k) {
      case 0: {
        const char* const literals[] = {"0",        "1",     "2",     "-1",     "7",      "2147483647",  "1.5",
                                        "0.1",      "1E300", "\"\"",  "\"ab\"", "\"12\"", "\"3.5\"",     "\"x\"\"y\"",
                                        "\"あい\"", "TRUE",  "FALSE", "65536",  "46341",  "\"2000/1/2\""};
        return r_.Pick(literals);
      }
      case 1: {
        const char* const names[] = {"A",       "B", "C", "S", "T(1)", "T(2)", "T(I)",
                                     "U(1, 2)", "I", "J", "a", "b",    "N",    "Z"};
        return r_.Pick(names);
      }
      case 2: {
        const char* const calls[] = {"F()", "G", "Mid", "Twice(1)", "T"};
        if (r_.Below(3)) return Expr(-1);
        return r_.Pick(calls);
      }
      case 3:
      case 4:
      case 5: {
        const char* const ops[] = {" + ",  " - ",    " * ",   " / ",  " \\ ", " MOD ", " & ",  " = ",
                                   " <> ", " < ",    " > ",   " <= ", " >= ", " AND ", " OR ", " XOR ",
                                   " ^ ",  " NAND ", " NOR ", "+",    "-",    "*"};
        return Expr(depth - 1) + r_.Pick(ops) + Expr(depth - 1);
      }
      case 6:
        return "(" + Expr(depth - 1) + ")";
      case 7: {
        const char* const unary[] = {"LENGTH(", "UPPERCASE(", "INTTOSTR(", "TRIM(", "TYPECODEOF(", "F(",
                                     "G(",      "Twice(",     "Mid(",      "ABS(",  "EVALUATE(",   "NOT("};
        return std::string(r_.Pick(unary)) + Expr(depth - 1) + ")";
      }
      default: {
        const int which = r_.Below(8);
        if (which == 0) return "MID(" + Expr(depth - 1) + ", " + Expr(0) + ", " + Expr(0) + ")";
        if (which == 1) return "INSTR(" + Expr(depth - 1) + ", " + Expr(0) + ")";
        if (which == 2) return "F(" + Expr(depth - 1) + ", " + Expr(depth - 1) + ")";
        if (which == 3) return "CITE(\"T\", 1, 3)";
        if (which == 4) return "EVALUATE(\"A + 1\", \"T(1)\")";
        if (which == 5) return "MAX(" + Expr(depth - 1) + ", " + Expr(0) + ")";
        if (which == 6) return "COPY(" + Expr(depth - 1) + ", " + Expr(0) + ")";
        return "G(" + Expr(depth - 1) + ", " + Expr(0) + ", " + Expr(0) + ")";
      }
    }
  }

  Random r_;
  bool inFunction_ = false;
};

// Operand kinds paired under every operator, through Evaluate and as an
// assignment: the direct paths of like pairs against the general rules.
void TracePairs(std::vector<std::string>& out) {
  const std::vector<std::pair<const char*, Value>> operands = {
      {"empty", Value()},
      {"null", Value::Null()},
      {"int0", Value::Int(0)},
      {"int", Value::Int(7)},
      {"intneg", Value::Int(-3)},
      {"intmax", Value::Int(2147483647)},
      {"intmin", Value::Int(-2147483647 - 1)},
      {"dbl", Value::Dbl(2.5)},
      {"dblneg", Value::Dbl(-0.5)},
      {"dbl0", Value::Dbl(0)},
      {"dblbig", Value::Dbl(1e300)},
      {"bool", Value::Bool(true)},
      {"false", Value::Bool(false)},
      {"cur", Value::Cur(-123456789)},
      {"date", Value::DateVal(36526.75)},
      {"small", Value::Small(12)},
      {"sgl", Value::Sgl(1.5f)},
      {"byte", Value::ByteVal(200)},
      {"str", Value::Str("ab")},
      {"strnum", Value::Str("12")},
      {"strdbl", Value::Str(" 3.5 ")},
      {"strempty", Value::Str("")},
      {"strsjis", Value::Str("\x82\xa0\x82\xa2")},
      {"one", Value::Array({Value::Int(4)})},
      {"two", Value::Array({Value::Int(1), Value::Str("2")})},
      {"three", Value::Array({Value::Dbl(0.5), Value::Int(2), Value::Str("x")})},
  };
  const char* const ops[] = {"+", "-",  "*",  "/",   "\\", "MOD", "&", "=",    "<>", "<",
                             ">", "<=", ">=", "AND", "OR", "XOR", "^", "NAND", "NOR"};
  for (const auto& [ln, lv] : operands) {
    for (const auto& [rn, rv] : operands) {
      TVariableSet set;
      set.SetValue("L", lv);
      set.SetValue("R", rv);
      TCalc calc;
      calc.SetBuiltinHandler(BuiltinFunction);
      calc.SetVariables(&set);
      std::string line = std::string("pair ") + ln + " " + rn;
      for (const char* op : ops) {
        line += " | ";
        try {
          const Value v = calc.EvaluateStatement(std::string("L ") + op + " R");
          line += Describe(v);
        } catch (const std::exception& e) {
          line += std::string("fault ") + e.what();
        }
        if (calc.Error()) line += " error " + Shortened(calc.ErrorText());
        calc.SetMaxLoop(100);  // clears the error
      }
      out.push_back(line);
    }
  }
}

// The fuzzers' expressions over the fuzzers' variables, through
// EvaluateStatement, Evaluate and ElementName.
void TraceExpression(const std::string& title, const std::string& text, std::vector<std::string>& out) {
  out.push_back("expression " + title);
  TVariableSet set;
  fuzz::ExpressionVariables(set);
  TCalc calc;
  calc.SetBuiltinHandler(BuiltinFunction);
  Tracer tracer(out);
  tracer.Arm(calc, set);
  calc.SetVariables(&set);
  calc.SetStatementBudget(kBudget);
  auto state = [&](const char* what, const std::string& shown) {
    out.push_back(std::string(" ") + what + " " + shown +
                  (calc.Error() ? " error " + Shortened(calc.ErrorText()) : ""));
    calc.SetMaxLoop(100);
  };
  for (int round = 0; round < 3; ++round) {
    try {
      if (round == 0) state("statement", Describe(calc.EvaluateStatement(text)));
      if (round == 1) state("evaluate", Describe(calc.Evaluate(text)));
      if (round == 2) state("element", Shortened(calc.ElementName(text)));
    } catch (const std::exception& e) {
      state("fault", Shortened(e.what()));
    }
  }
}

// How deep user functions may recurse depends on the stack each level takes:
// a run that reaches the bound keeps its steps, errors and variables, but
// not the calls and callbacks on the way there, whose number varies.
std::vector<std::string> WithoutDepthDetail(const std::vector<std::string>& out) {
  std::vector<std::string> kept;
  std::size_t begin = 0;
  while (begin < out.size()) {
    std::size_t end = begin + 1;
    while (end < out.size() && !out[end].empty() && out[end][0] == ' ') ++end;
    bool deep = false;
    for (std::size_t i = begin; i < end && !deep; ++i) deep = out[i].find(kTooDeepText) != std::string::npos;
    for (std::size_t i = begin; i < end; ++i)
      if (!deep || out[i].compare(0, 2, "  ") != 0) kept.push_back(out[i]);
    begin = end;
  }
  return kept;
}

std::vector<std::string> WholeTrace() {
  std::vector<std::string> out;
  const fs::path root = SourceRoot();
  const ScriptSetup still = SetupOf("");
  ScriptEnvironment clock(still);
  for (const fs::path& p : FilesUnder(root / "tests" / "scripts", ".tam")) {
    const std::string utf8 = ReadAll(p);
    const ScriptSetup setup = SetupOf(utf8);
    const std::string title = fs::relative(p, root).generic_string();
    TraceProgram(title, Utf8ToSjis(utf8), setup, out);
    TraceRun(Utf8ToSjis(utf8), setup, out);
  }
  for (const fs::path& p : FilesUnder(root / "tests" / "data" / "engine_trace", ".tam")) {
    const std::string utf8 = ReadAll(p);
    const ScriptSetup setup = SetupOf(utf8);
    TraceProgram(fs::relative(p, root).generic_string(), Utf8ToSjis(utf8), setup, out);
    TraceRun(Utf8ToSjis(utf8), setup, out);
  }
  // The fuzzers' bounds: short loops and a few thousand statements.
  ScriptSetup plain = SetupOf("");
  plain.maxLoop = 8;
  for (const fs::path& p : FilesUnder(root / "fuzz" / "corpus" / "program", "")) {
    const std::string bytes = ReadAll(p);
    TraceProgram(fs::relative(p, root).generic_string(), bytes, plain, out, 4000);
    TraceRun(bytes, plain, out, 4000);
  }
  for (const fs::path& p : FilesUnder(root / "fuzz" / "corpus" / "expression", ""))
    TraceExpression(fs::relative(p, root).generic_string(), ReadAll(p), out);
  for (int seed = 1; seed <= 400; ++seed) {
    ScriptSetup setup = SetupOf("");
    setup.maxLoop = 5;
    // The generator writes Shift-JIS already.
    const std::string program = ProgramMaker(static_cast<std::uint64_t>(seed)).Make();
    TraceProgram("random " + std::to_string(seed), program, setup, out);
    TraceRun(program, setup, out);
  }
  TracePairs(out);
  return WithoutDepthDetail(out);
}

fs::path BaselinePath() { return SourceRoot() / "tests" / "data" / "engine_trace.txt"; }

// The trace cut at its program and expression headers; the lines before the
// first header, if any, form a section of their own.
struct Section {
  std::string header;
  std::vector<std::string> lines;
};
std::vector<Section> Sections(const std::vector<std::string>& trace) {
  std::vector<Section> out;
  for (const std::string& l : trace) {
    if (l.rfind("program ", 0) == 0 || l.rfind("expression ", 0) == 0) {
      out.push_back({l, {}});
      continue;
    }
    if (out.empty()) out.push_back({"", {}});
    out.back().lines.push_back(l);
  }
  return out;
}

// Every recorded program must trace as recorded. A program that is new (a
// script test added since) is not in the recording: TAM_TRACE_RECORD=new
// appends such programs and leaves every recorded line as it is;
// TAM_TRACE_RECORD=all records the whole trace afresh.
TEST(EngineTrace, MatchesTheRecordedTrace) {
#ifdef _WIN32
  // The trace holds what the native build saw (paths, file names); the
  // Windows builds run the same engine code.
  GTEST_SKIP() << "recorded by the native build";
#endif
  const std::vector<std::string> now = WholeTrace();
  const char* record = std::getenv("TAM_TRACE_RECORD");
  if (record && std::string(record) == "all") {
    std::ofstream f(BaselinePath(), std::ios::binary);
    for (const auto& l : now) f << l << '\n';
    GTEST_SKIP() << "recorded " << now.size() << " lines";
  }
  std::vector<std::string> was;
  {
    std::istringstream in(ReadAll(BaselinePath()));
    for (std::string l; std::getline(in, l);) was.push_back(l);
  }
  ASSERT_FALSE(was.empty()) << "no trace at " << BaselinePath();
  std::map<std::string, const Section*> recorded;
  const std::vector<Section> wasSections = Sections(was), nowSections = Sections(now);
  for (const Section& s : wasSections) recorded[s.header] = &s;
  std::vector<const Section*> added;
  std::set<std::string> traced;
  for (const Section& s : nowSections) {
    traced.insert(s.header);
    auto it = recorded.find(s.header);
    if (it == recorded.end()) {
      added.push_back(&s);
      continue;
    }
    // Reports the first difference with the program it belongs to.
    const std::vector<std::string>& a = it->second->lines;
    const std::vector<std::string>& b = s.lines;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
      const std::string x = i < a.size() ? a[i] : "<end>";
      const std::string y = i < b.size() ? b[i] : "<end>";
      if (x == y) continue;
      std::string context;
      for (std::size_t k = i >= 6 ? i - 6 : 0; k < i && k < b.size(); ++k) context += "   " + b[k] + "\n";
      FAIL() << "trace differs at line " << i + 1 << " of " << s.header << "\n"
             << context << "was: " << x << "\nnow: " << y;
    }
  }
  for (const Section& s : wasSections)
    EXPECT_TRUE(traced.count(s.header)) << "recorded but no longer traced: " << s.header;
  if (added.empty()) return;
  if (record && std::string(record) == "new") {
    std::ofstream f(BaselinePath(), std::ios::binary | std::ios::app);
    for (const Section* s : added) {
      f << s->header << '\n';
      for (const auto& l : s->lines) f << l << '\n';
    }
    GTEST_SKIP() << "added " << added.size() << " programs to the recording";
  }
  std::string names;
  for (const Section* s : added) names += "\n  " + s->header;
  FAIL() << "not in the recording (TAM_TRACE_RECORD=new adds them, leaving the recorded ones as they are):" << names;
}

}  // namespace
}  // namespace tam

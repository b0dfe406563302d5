// A call site remembers which function its name reaches; what it remembers
// must never outlive a change of the handlers, the program or the variables,
// and handlers that cannot tell their names ahead are asked as before.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/calc.h"
#include "engine/variables.h"
#include "library/library.h"

namespace tam {
namespace {

// A handler that answers each of its names with a fixed text, directly
// through its resolver or by name.
struct Answers {
  std::map<std::string, std::string> texts;  // upper-cased name -> answer
  int byName = 0;

  FunctionLibrary Handler() {
    return [this](const std::string& name, const Value&, Value& result, bool& found) {
      ++byName;
      auto it = texts.find(name);
      found = it != texts.end();
      if (found) result = Value::Str(it->second);
      return true;
    };
  }
  FunctionResolver Resolver() {
    return [this](const std::string& upper) {
      DirectFunction f;
      auto it = texts.find(upper);
      if (it == texts.end()) return f;
      f.call = [](const DirectFunction& self, const Args&, Value& result) {
        result = Value::Str(*static_cast<const std::string*>(self.entry));
        return true;
      };
      f.entry = &it->second;
      return f;
    };
  }
};

std::string RunFor(TCalc& calc, TVariableSet& vars, const std::string& program) {
  vars.Clear();
  calc.LoadProgram(program);
  calc.Reset();
  calc.Run();
  if (calc.Error()) return "error: " + calc.ErrorText();
  return DisplayText(vars.GetValue("R"));
}

TEST(CallRoutes, CallSitesFollowEveryChangeOfHandlersProgramAndVariables) {
  TVariableSet vars;
  TCalc calc;
  calc.SetVariables(&vars);
  calc.SetBuiltinHandler(BuiltinFunction, ResolveBuiltin);
  Answers a{{{"TWICE", "a"}, {"MID", "m"}}}, b{{{"TWICE", "b"}}};
  calc.SetFunctionHandler(a.Handler(), a.Resolver());
  const std::string loop = "R = \"\"\r\nFOR I = 1 TO 2\r\n  R = R & Twice(I) & Mid(\"xyz\", 2, 1)\r\nNEXT\r\n";
  EXPECT_EQ(RunFor(calc, vars, loop), "amam");
  EXPECT_EQ(a.byName, 0);
  // The same parsed program, run again under other handlers.
  calc.Reset();
  vars.Clear();
  calc.SetFunctionHandler(b.Handler(), b.Resolver());
  calc.Run();
  EXPECT_EQ(DisplayText(vars.GetValue("R")), "byby");
  calc.Reset();
  vars.Clear();
  calc.SetFunctionHandler(nullptr);
  calc.Run();
  EXPECT_EQ(calc.ErrorText(), "No such function: Twice");
  calc.SetFunctionHandler(a.Handler(), a.Resolver());

  // A user function of the name comes first, a variable or an element of
  // the name as soon as it exists.
  EXPECT_EQ(RunFor(calc, vars, "FUNCTION Twice(x)\r\n  RESULT \"u\"\r\nENDFUNCTION\r\n" + loop), "umum");
  EXPECT_EQ(RunFor(calc, vars, "R = \"\"\r\nFOR I = 1 TO 2\r\n  R = R & Twice\r\n  Twice = \"v\"\r\nNEXT\r\n"), "av");
  EXPECT_EQ(RunFor(calc, vars, "R = \"\"\r\nFOR I = 1 TO 2\r\n  R = R & Twice(1)\r\n  Twice(1) = \"e\"\r\nNEXT\r\n"),
            "ae");

  // A handler of EVALUATE and CITE comes before the engine's own.
  Answers own{{{"EVALUATE", "h"}, {"CITE", "c"}}};
  calc.SetFunctionHandler(own.Handler(), own.Resolver());
  EXPECT_EQ(RunFor(calc, vars, "R = Evaluate(\"1\") & cite(\"T\", 1, 2)\r\n"), "hc");
  calc.SetFunctionHandler(nullptr);
  EXPECT_EQ(RunFor(calc, vars, "T(1) = 5\r\nR = cite(\"T\", 1, 1) + 10 * Evaluate(\"1+1\")\r\n"), "25");
}

TEST(CallRoutes, HandlersWithoutResolverAreAskedByNameOnEveryCallInOrder) {
  TVariableSet vars;
  TCalc calc;
  calc.SetVariables(&vars);
  std::vector<std::string> asked;
  calc.SetFunctionHandler([&](const std::string& name, const Value& args, Value& result, bool& found) {
    asked.push_back("host " + name + " " + DisplayText(args));
    found = name == "Twice";
    if (found) result = Value::Str("t");
    return true;
  });
  calc.SetBuiltinHandler(BuiltinFunction, ResolveBuiltin);
  EXPECT_EQ(RunFor(calc, vars,
                   "R = \"\"\r\nFOR I = 1 TO 2\r\n  R = R & Twice(I) & mId ( \"xyz\", I, 1) & intToStr\r\nNEXT\r\n"),
            "tx0ty0");
  const std::vector<std::string> expected = {"host Twice (1)", "host mId (xyz, 1, 1)", "host intToStr 0",
                                             "host Twice (2)", "host mId (xyz, 2, 1)", "host intToStr 0"};
  EXPECT_EQ(asked, expected);
}

// The arguments reach a library function spread as in an argument value,
// whether they are passed where they stand or packed.
TEST(CallRoutes, ArgumentsSpreadAlikeWhereverTheyArePassed) {
  TVariableSet vars;
  TCalc calc;
  calc.SetVariables(&vars);
  calc.SetBuiltinHandler(BuiltinFunction, ResolveBuiltin);
  calc.LoadProgram(
      "FUNCTION Pair\r\n"
      "  RESULT 4, 9\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Eight\r\n"
      "  RESULT 1, 2, 3, 4, 5, 6, 7, 8\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Ten\r\n"
      "  RESULT 1, 2, 3, 4, 5, 6, 7, 8, 9, 10\r\n"
      "ENDFUNCTION\r\n"
      "X = 5\r\n"
      "A = SUM(Pair)\r\n"
      "B = SUM(Pair, 100)\r\n"
      "C = SUM(100, Pair) + SUM(Pair, Pair)\r\n"
      "D = SUM(Ten)\r\n"
      "E = SUM(Eight)\r\n"
      "F = SUM(1, 2, 3, 4, 5, 6, 7, 8)\r\n"
      "G = SUM(1, 2, 3, 4, 5, 6, 7, 8, 9)\r\n"
      "H = X + SUM(X, X) * X\r\n"
      "I = MAX(DecodeDate(EncodeDate(2026, 12, 8)))\r\n"
      "J = MAX(Eight, Ten, Pair)\r\n"
      "K = MID(\"abcdef\", Pair)\r\n"
      "L = IntToStr & MIN()\r\n"
      "M = SUM(1, \"x\")\r\n");
  calc.Reset();
  calc.Run();
  EXPECT_EQ(calc.ErrorText(), "Variant error: SUM");
  EXPECT_EQ(calc.CurrentLine(), 22);
  std::string dump;
  for (int i = 0; i < vars.Count(); ++i)
    dump += vars.GetName(i) + "=" + DisplayText(vars.GetValue(vars.GetName(i))) + " ";
  EXPECT_EQ(dump, "X=5 A=13 B=104 C=112 D=55 E=36 F=36 G=45 H=55 I=2026 J=4 K=def L=0 ");
}

// A library function reached behind a handler that is asked by name gives
// its result as when it is called directly, an empty text included.
TEST(CallRoutes, ResultsBehindAHandlerAskedByName) {
  for (bool byName : {false, true}) {
    TVariableSet vars;
    vars.SetValue("S", Value::Str("ab\x82\xa0"
                                  "c"));
    TCalc calc;
    calc.SetVariables(&vars);
    if (byName)
      calc.SetFunctionHandler([](const std::string&, const Value&, Value&, bool& found) {
        found = false;
        return true;
      });
    calc.SetBuiltinHandler(BuiltinFunction, ResolveBuiltin);
    const std::pair<const char*, std::string> cases[] = {{"MID(S, 2, 0)", ""},
                                                         {"MID(\"ab\", 1, 0)", ""},
                                                         {"MID(S, 3)",
                                                          "\x82\xa0"
                                                          "c"},
                                                         {"LENGTH(MID(S, 1, 0))", "0"}};
    for (const auto& [text, want] : cases) {
      SCOPED_TRACE(std::string(text) + (byName ? " behind a handler asked by name" : ""));
      const Value v = calc.EvaluateStatement(text);
      EXPECT_FALSE(calc.Error()) << calc.ErrorText();
      EXPECT_EQ(ToText(v), want);
    }
  }
}

// A library function found ahead gives a lone result as the value itself;
// every caller must still see the one-element list that a call by name
// gives, also where the call fails on the way.
TEST(CallRoutes, LoneResultsReadAsTheirListsWhereverTheyGo) {
  auto shown = [](const Value& v) { return std::string(TypeName(v.type())) + " " + DisplayText(v); };
  std::vector<std::string> seen[2];
  for (int direct = 0; direct < 2; ++direct) {
    TVariableSet vars;
    vars.SetValue("A", Value::Array({Value::Str("p"), Value::Str("q")}));
    TCalc calc;
    calc.SetVariables(&vars);
    if (direct)
      calc.SetBuiltinHandler(BuiltinFunction, ResolveBuiltin);
    else
      calc.SetBuiltinHandler(BuiltinFunction);
    std::vector<std::string>& out = seen[direct];
    for (const char* text :
         {"MID(\"abc\", 2, 1)", "MID(\"abc\", 2, 1) & \"x\"", "\"x\" & MID(\"abc\", 2)", "LENGTH(MID(\"abc\", 2))",
          "A & MID(\"xyz\", 1, 1)", "MID(\"xyz\", 3) & A", "MID(\"abc\", 1, 1) = \"a\"", "INTTOSTR(1, 2)",
          "CODE(\"a\", \"\")", "SUM(LENGTH(\"ab\"), 3) * LENGTH(\"abc\")", "MID(\"abc\", 1, 1) - 1"}) {
      out.push_back(std::string(text) + " -> " + shown(calc.Evaluate(text)) + " | " +
                    shown(calc.EvaluateStatement(text)) + (calc.Error() ? " error " + calc.ErrorText() : ""));
      calc.SetMaxLoop(100);  // clears the error
    }
    Value r;
    EXPECT_TRUE(calc.CallFunction("mid", Value::Array({Value::Str("abc"), Value::Int(3)}), r));
    out.push_back("call " + shown(r));
    calc.LoadProgram(
        "T(2) = 7\r\n"
        "FUNCTION F(x, y)\r\n"
        "  RESULT y & x\r\n"
        "ENDFUNCTION\r\n"
        "B = T(LENGTH(\"ab\"))\r\n"
        "C = F(MID(\"abc\", 2, 1), INTTOSTR(4))\r\n"
        "D = CODE(\"a\", \"\") & \"z\"\r\n");
    calc.Reset();
    calc.Run();
    out.push_back("run " + calc.ErrorText());
    for (const char* name : {"B", "C", "D"}) out.push_back(std::string(name) + " " + shown(vars.GetValue(name)));
  }
  EXPECT_EQ(seen[1], seen[0]);
  EXPECT_EQ(seen[1].front(), "MID(\"abc\", 2, 1) -> Variant (b) | String b");
}

}  // namespace
}  // namespace tam

// The engine remembers where it found names and expressions; what it
// remembers must never outlive a change of the variable set or the program.
#include <gtest/gtest.h>

#include "engine/calc.h"
#include "engine/sjis.h"
#include "engine/variables.h"
#include "library/library.h"

namespace tam {
namespace {

TEST(VariableLookup, RemembersNamesAcrossDeletesCaseAndCollisions) {
  TVariableSet set;
  for (const char* n : {"A", "Bb", "C", "Dd", "x(1)", "x(2)", "x(11)"}) set.SetValue(n, Value::Str(n));
  ASSERT_EQ(set.Find("bb")->str(), "Bb");
  ASSERT_EQ(set.Find("x(11)")->str(), "x(11)");
  set.Delete(0);  // every later position moves
  EXPECT_EQ(set.Find("bb")->str(), "Bb");
  EXPECT_EQ(set.Find("BB")->str(), "Bb");
  EXPECT_EQ(set.Find("x(11)")->str(), "x(11)");
  EXPECT_EQ(set.Find("A"), nullptr);
  set.SetValue("a", Value::Int(1));  // back, at the end
  EXPECT_EQ(set.Find("A")->i(), 1);
  EXPECT_EQ(set.GetName(set.Count() - 1), "a");
  // Names that share a remembered place still find their own entries.
  for (int i = 0; i < 200; ++i) set.SetValue("N" + std::to_string(i), Value::Int(i));
  for (int i = 199; i >= 0; --i) ASSERT_EQ(set.Find("n" + std::to_string(i))->i(), i);
  set.SetReadOnly("n7", true);
  set.Clear();
  EXPECT_EQ(set.Find("N7"), nullptr);
  EXPECT_FALSE(set.IsReadOnly("N7"));
  set.SetValue("N7", Value::Int(3));
  EXPECT_FALSE(set.IsReadOnly("n7"));
}

TEST(VariableLookup, RememberedPositionsHoldOnlyForTheirSetAndLayout) {
  VarSlot slot;
  {
    TVariableSet first;
    first.SetValue("A", Value::Int(1));
    first.SetValue("B", Value::Int(2));
    ASSERT_EQ(first.Find("b", slot)->i(), 2);
  }
  // Another set, perhaps at the same address, with other positions.
  TVariableSet set;
  EXPECT_EQ(set.Find("B", slot), nullptr);
  set.SetValue("b", Value::Int(20), slot);  // new, remembered from now on
  set.SetValue("Z", Value::Int(26));
  EXPECT_EQ(set.Find("B", slot)->i(), 20);
  set.SetValue("a", Value::Int(10));
  set.SetValue("B", Value::Int(21), slot);
  EXPECT_EQ(set.GetValue("b").i(), 21);
  EXPECT_EQ(set.Count(), 3);
  set.Delete(0);  // B is gone and Z moved to its place
  EXPECT_EQ(set.Find("B", slot), nullptr);
  VarSlot z;
  EXPECT_EQ(set.Find("z", z)->i(), 26);
  set.Delete(0);
  EXPECT_EQ(set.Find("Z", z), nullptr);
  // Read-only entries and missing names are refused as by name.
  std::vector<std::string> errors;
  set.OnError = [&](TVariableSet&, const std::string& m) { errors.push_back(m); };
  VarSlot a;
  set.SetReadOnly("A", true, a);
  set.SetValue("a", Value::Int(99), a);
  set.SetReadOnly("Q", true, z);
  EXPECT_EQ(set.GetValue("A").i(), 10);
  EXPECT_EQ(errors, (std::vector<std::string>{"a is read-only.", "Q is not exist."}));
  // A before-set handler that deletes entries moves the position it
  // writes to.
  set.SetReadOnly("A", false, a);
  set.SetValue("C", Value::Int(3));
  VarSlot c;
  ASSERT_EQ(set.Find("C", c)->i(), 3);
  set.OnBeforeSet = [](TVariableSet& s, const std::string&, bool&, Value&) {
    if (s.Count() > 1) s.Delete(0);
  };
  set.SetValue("c", Value::Int(30), c);
  EXPECT_EQ(set.Count(), 1);
  EXPECT_EQ(set.GetName(0), "C");
  EXPECT_EQ(set.GetValue("C").i(), 30);
}

// A program may leave hundreds of thousands of array elements behind; the
// set is emptied before the next reply run (a quadratic clear would take
// hours here, and the test's time-out catches it).
TEST(VariableLookup, LargeSetsEmptyFromTheBack) {
  constexpr int kMany = 300000;
  TVariableSet set;
  for (int i = 0; i < kMany; ++i) set.SetValue("T(" + std::to_string(i) + ")", Value::Int(i));
  for (int i = kMany - 1; i >= kMany / 2; --i) set.Delete(i);
  ASSERT_EQ(set.Count(), kMany / 2);
  EXPECT_EQ(set.Find("t(" + std::to_string(kMany / 2 - 1) + ")")->i(), kMany / 2 - 1);
  EXPECT_EQ(set.Find("T(" + std::to_string(kMany / 2) + ")"), nullptr);
  set.SetValue("later", Value::Int(7));
  EXPECT_EQ(set.GetName(kMany / 2), "later");
  set.Clear();
  EXPECT_EQ(set.Count(), 0);
  EXPECT_EQ(set.Find("T(0)"), nullptr);
  EXPECT_EQ(set.Find("LATER"), nullptr);
  set.SetValue("T(0)", Value::Int(1));
  EXPECT_EQ(set.Count(), 1);
  EXPECT_EQ(set.GetValue("t(0)").i(), 1);
}

// Deletions anywhere in a large set: every name left is found where the
// list shows it, whatever case it is asked in, and an entry taken again for
// a new name starts empty and writable.
TEST(VariableLookup, DeletionsAnywhereKeepEveryOtherNameFound) {
  TVariableSet set;
  std::vector<std::string> names;
  for (int i = 0; i < 400; ++i) {
    // Mixed case, two-byte characters whose second byte is a letter, and
    // names of every length share the table.
    std::string n = i % 3 == 0 ? "v" + std::to_string(i) : i % 3 == 1 ? "\x83\x61x(" + std::to_string(i) + ")" : "Ab";
    if (i % 3 == 2) n += std::string(static_cast<std::size_t>(i % 17), 'c') + std::to_string(i);
    names.push_back(n);
    set.SetValue(n, Value::Int(i));
  }
  std::vector<bool> gone(names.size(), false);
  std::uint32_t r = 12345;
  for (int round = 0; round < 300; ++round) {
    r = r * 1103515245u + 12345u;
    const int at = static_cast<int>((r >> 8) % static_cast<std::uint32_t>(set.Count()));
    const std::string name = set.GetName(at);
    set.SetReadOnly(name, true);
    set.Delete(at);
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) gone[i] = true;
    if (round % 50 != 49) continue;
    for (std::size_t i = 0; i < names.size(); ++i) {
      int index = -1;
      ASSERT_EQ(set.IndexOf(UpperCase(names[i]), index), !gone[i]) << names[i];
      if (!gone[i]) {
        ASSERT_EQ(set.GetName(index), names[i]);
        ASSERT_EQ(set.GetValueAt(index).i(), static_cast<int>(i));
      }
    }
  }
  // The entries deleted are taken again for new names.
  for (int i = 0; i < 300; ++i) set.SetValue("new" + std::to_string(i), Value::Int(-i));
  EXPECT_EQ(set.Count(), 400);
  EXPECT_EQ(set.GetValue("NEW299").i(), -299);
  EXPECT_FALSE(set.IsReadOnly("new0"));
  EXPECT_EQ(set.GetName(399), "new299");
}

struct Ran {
  TVariableSet vars;
  TCalc calc;
  std::vector<std::string> errors;
  explicit Ran(const std::string& program) {
    calc.SetBuiltinHandler(BuiltinFunction);
    calc.LoadProgram(program);
    calc.SetVariables(&vars);
    calc.Reset();
    calc.Run();
    while (calc.Error()) {
      errors.push_back(std::to_string(calc.CurrentLine() + 1) + ": " + calc.ErrorText());
      calc.Skip();
    }
  }
};

TEST(StatementExpressions, SameTextsAndErrorsOnEveryPass) {
  Ran r(
      "N = 0\r\n"
      "FOR I = 1 TO 3\r\n"
      "  X = LN(-1 - N)\r\n"
      "  N = N + 1\r\n"
      "  Y =  N + 1 \r\n"
      "  Z = N + 1\r\n"
      "NEXT\r\n");
  ASSERT_EQ(r.errors.size(), 3u);
  for (const std::string& e : r.errors) EXPECT_EQ(e, "3: Invalid operation: LN(-1 - N)");
  EXPECT_EQ(r.vars.Find("N")->i(), 3);
  EXPECT_EQ(r.vars.Find("Y")->i(), 4);
  EXPECT_EQ(r.vars.Find("Z")->i(), 4);
}

TEST(StatementExpressions, ANewProgramForgetsTheOldOnes) {
  TVariableSet vars;
  TCalc calc;
  calc.SetBuiltinHandler(BuiltinFunction);
  calc.SetVariables(&vars);
  for (const char* program : {"X = 1 + 1\r\nIF X = 2\r\nY = 1\r\nENDIF", "X = 2 * 5\r\nIF X = 3\r\nY = 2\r\nENDIF"}) {
    calc.LoadProgram(program);
    calc.Reset();
    calc.Run();
    ASSERT_FALSE(calc.Error()) << calc.ErrorText();
  }
  EXPECT_EQ(vars.Find("X")->i(), 10);
  EXPECT_EQ(vars.Find("Y")->i(), 1);
}

TEST(StatementExpressions, UserFunctionsShareTheProgramsExpressions) {
  Ran r(
      "FUNCTION F(n)\r\n"
      "  IF n < 2\r\n"
      "    RESULT n, 0\r\n"
      "  ELSE\r\n"
      "    A, B = F(n - 1)\r\n"
      "    RESULT n + A, B + 1\r\n"
      "  ENDIF\r\n"
      "ENDFUNCTION\r\n"
      "S, D = F(10)\r\n");
  EXPECT_TRUE(r.errors.empty());
  EXPECT_EQ(r.vars.Find("S")->i(), 55);
  EXPECT_EQ(r.vars.Find("D")->i(), 9);
}

TEST(StatementExpressions, CallsShareTheirParametersPositionsButNotTheirLocals) {
  // Each depth makes X and Y in another order: only the parameters stand at
  // the same places in every call.
  Ran r(
      "FUNCTION G(a, b)\r\n"
      "  IF a < 1\r\n"
      "    RESULT b\r\n"
      "  ELSE\r\n"
      "    IF a = 2\r\n"
      "      X = 100\r\n"
      "      Y = a\r\n"
      "    ELSE\r\n"
      "      Y = a\r\n"
      "      X = 1\r\n"
      "    ENDIF\r\n"
      "    R = G(a - 1, b + X)\r\n"
      "    RESULT R + Y * 1000\r\n"
      "  ENDIF\r\n"
      "ENDFUNCTION\r\n"
      "S = G(3, 0)\r\n"
      "T = G(2, 5)\r\n");
  EXPECT_TRUE(r.errors.empty());
  EXPECT_EQ(r.vars.Find("S")->i(), 6102);
  EXPECT_EQ(r.vars.Find("T")->i(), 3106);
}

TEST(StatementExpressions, CallsAtTheSameDepthStartWithTheirParametersOnly) {
  // Calls that follow each other take over the locals of the call before:
  // nothing it made or flagged may show. L and B are functions unless a
  // call made them locals; a call that ends inside its FOR loop leaves the
  // loop variable, here a parameter, read-only.
  Ran r(
      "FUNCTION Order(a)\r\n"
      "  IF a = 1\r\n"
      "    X = 1\r\n"
      "    Y = 2\r\n"
      "  ELSE\r\n"
      "    Y = 3\r\n"
      "    X = 4\r\n"
      "  ENDIF\r\n"
      "  RESULT X * 10 + Y\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION L\r\n"
      "  RESULT 7\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Leftover(a)\r\n"
      "  IF a = 1\r\n"
      "    L = 5\r\n"
      "  ENDIF\r\n"
      "  RESULT L\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION B\r\n"
      "  RESULT \"fn\"\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Two(a, b)\r\n"
      "  RESULT a + b\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Looped(a)\r\n"
      "  a = a + 1\r\n"
      "  FOR a = a TO 9\r\n"
      "    RESULT a\r\n"
      "    END\r\n"
      "  NEXT\r\n"
      "ENDFUNCTION\r\n"
      "O1 = Order(1)\r\nO2 = Order(2)\r\nO3 = Order(1)\r\n"
      "L1 = Leftover(1)\r\nL2 = Leftover(2)\r\n"
      "T1 = Two(\"1\")\r\nT2 = Two(\"1\", \"2\")\r\nT3 = Two(\"3\")\r\n"
      "R1 = Looped(1)\r\nR2 = Looped(5)\r\n");
  EXPECT_TRUE(r.errors.empty()) << r.errors[0];
  EXPECT_EQ(r.vars.Find("O1")->i(), 12);
  EXPECT_EQ(r.vars.Find("O2")->i(), 43);
  EXPECT_EQ(r.vars.Find("O3")->i(), 12);
  EXPECT_EQ(r.vars.Find("L1")->i(), 5);
  EXPECT_EQ(r.vars.Find("L2")->i(), 7);
  EXPECT_EQ(r.vars.Find("T1")->str(), "1fn");
  EXPECT_EQ(r.vars.Find("T2")->str(), "12");
  EXPECT_EQ(r.vars.Find("T3")->str(), "3fn");
  EXPECT_EQ(r.vars.Find("R1")->i(), 2);
  EXPECT_EQ(r.vars.Find("R2")->i(), 6);
}

TEST(StatementExpressions, OneValueResultsActAsOneElementLists) {
  // A call's RESULT of one value is a list of one element wherever the
  // caller uses it: beside longer lists, as the only argument, as an index,
  // and kept while the call goes on to call others.
  Ran r(
      "FUNCTION One(a)\r\n"
      "  RESULT a\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Later\r\n"
      "  RESULT 1\r\n"
      "  X = One(5) + One(6)\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Pair\r\n"
      "  RESULT 10, 20\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Wrap(a)\r\n"
      "  RESULT One(a)\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Nothing\r\n"
      "  X = 1\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Both(a, b)\r\n"
      "  RESULT a, b\r\n"
      "ENDFUNCTION\r\n"
      "T(1) = 5\r\n"
      "S1 = One(2) + One(3)\r\n"
      "S2 = Pair() + One(1)\r\n"
      "S3 = One(1) + Pair()\r\n"
      "S4 = Later() + Pair()\r\n"
      "A, B = One(7)\r\n"
      "S5 = One(One(4))\r\n"
      "S6 = One(1) + \"x\"\r\n"
      "S7 = Pair() * One(2) + One(1)\r\n"
      "S8 = One(Pair())\r\n"
      "S9 = T(One(1))\r\n"
      "S10 = Wrap(3) + Pair()\r\n"
      "C, D = Both(One(1), Wrap(2)) + 1\r\n"
      "S11, S11B = One(1) + One(2) + Pair()\r\n"
      "Z = One(9)\r\n"
      "S12, S13 = Nothing() + Pair()\r\n");
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0], "27: Invalid expression: One(1) + \"x\"");
  const std::pair<const char*, int> want[] = {{"S1", 5}, {"S2", 11}, {"S3", 11}, {"S4", 11}, {"A", 7},
                                              {"S5", 4}, {"S7", 21}, {"S8", 10}, {"S9", 5},  {"S10", 13},
                                              {"C", 2},  {"D", 3},   {"S11", 13}};
  for (const auto& [name, value] : want) {
    const Value* v = r.vars.Find(name);
    ASSERT_NE(v, nullptr) << name;
    EXPECT_EQ(v->type(), vtInteger) << name;
    EXPECT_EQ(v->i(), value) << name;
  }
  EXPECT_EQ(r.vars.Find("B"), nullptr);
  EXPECT_EQ(r.vars.Find("S11B"), nullptr);
  EXPECT_EQ(r.vars.Find("S6"), nullptr);
  // A call without RESULT is Empty, whatever the call before at its depth gave.
  const Value* s13 = r.vars.Find("S13");
  ASSERT_NE(s13, nullptr);
  EXPECT_EQ(s13->i(), 20);
  // Evaluated for the host, the call gives the list itself.
  const Value e = r.calc.Evaluate("One(3)");
  ASSERT_TRUE(e.isArray());
  ASSERT_EQ(e.items().size(), 1u);
  EXPECT_EQ(e.items()[0].i(), 3);
}

TEST(StatementExpressions, VariablesMovedOrSwappedDuringARunAreFoundAgain) {
  // A change handler that deletes the oldest entries moves every position
  // the loop has remembered, pass after pass.
  TVariableSet vars;
  for (int i = 0; i < 4; ++i) vars.SetValue("P" + std::to_string(i), Value::Int(i));
  vars.OnChange = [](TVariableSet& s, const std::string& name, const Value&) {
    if (name == "K" && s.GetName(0)[0] == 'P') s.Delete(0);
  };
  TCalc calc;
  calc.SetVariables(&vars);
  calc.LoadProgram("S = 0\r\nK = 0\r\nFOR I = 1 TO 5\r\n  S = S + I\r\n  K = K + 1\r\nNEXT\r\n");
  calc.Reset();
  calc.Run();
  ASSERT_FALSE(calc.Error()) << calc.ErrorText();
  EXPECT_EQ(vars.Count(), 3);
  EXPECT_EQ(vars.GetValue("S").i(), 15);
  EXPECT_EQ(vars.GetValue("K").i(), 5);

  // Another set bound in the middle of a loop holds the names elsewhere.
  TVariableSet first, second;
  first.SetValue("Y", Value::Int(100));
  TCalc stepped;
  stepped.SetVariables(&first);
  stepped.LoadProgram("FOR I = 1 TO 4\r\n  X = Y + I\r\nNEXT\r\n");
  stepped.Reset();
  for (int i = 0; i < 4; ++i) stepped.Step();
  EXPECT_EQ(first.GetValue("X").i(), 102);
  second.SetValue("pad", Value::Int(0));
  second.SetValue("X", Value::Int(0));
  second.SetValue("Y", Value::Int(1000));
  second.SetValue("I", Value::Int(2));
  stepped.SetVariables(&second);
  stepped.Step();  // NEXT
  stepped.Step();
  ASSERT_FALSE(stepped.Error()) << stepped.ErrorText();
  EXPECT_EQ(second.GetValue("I").i(), 3);
  EXPECT_TRUE(second.IsReadOnly("I"));
  EXPECT_EQ(second.GetValue("X").i(), 1003);
  EXPECT_EQ(first.GetValue("X").i(), 102);
}

// Operands are read in place where that has no effect; a call on the right
// that changes or deletes the variable on the left does not change the value
// the left side had.
TEST(StatementExpressions, LeftOperandsKeepTheirValueWhateverTheRightSideDoes) {
  TVariableSet vars;
  TCalc calc;
  calc.SetVariables(&vars);
  calc.SetFunctionHandler([&](const std::string& name, const Value&, Value& result, bool& found) {
    found = name == "BUMP" || name == "DROP";
    if (name == "BUMP") vars.SetValue("X", Value::Int(vars.GetValue("X").i() + 100));
    if (name == "DROP") vars.Delete(0);
    result = Value::Int(1);
    return found;
  });
  vars.SetValue("X", Value::Int(1));
  EXPECT_EQ(calc.Evaluate("X + BUMP + X").i(), 1 + 1 + 101);
  EXPECT_EQ(calc.Evaluate("X * (BUMP - X)").i(), 101 * (1 - 201));
  EXPECT_EQ(calc.Evaluate("X - DROP").i(), 200);
  EXPECT_FALSE(vars.Exists("X"));
  EXPECT_FALSE(calc.Error());
}

TEST(StatementExpressions, ElementsAreFoundAfterEveryChangeOfTheSet) {
  TVariableSet vars;
  TCalc calc;
  calc.SetVariables(&vars);
  calc.SetFunctionHandler([](const std::string&, const Value&, Value& result, bool& found) {
    found = true;
    result = Value::Str("call");
    return true;
  });
  auto read = [&] { return DisplayText(calc.Evaluate("t(1) & T(2)")); };
  EXPECT_EQ(read(), "callcall");
  vars.SetValue("A", Value::Int(0));
  vars.SetValue("T(1)", Value::Str("x"));
  vars.SetValue("t(2)", Value::Str("y"));
  EXPECT_EQ(read(), "xy");
  vars.Delete(1);
  EXPECT_EQ(read(), "cally");
  vars.Delete(1);
  EXPECT_EQ(read(), "callcall");
  vars.SetValue("T(2)", Value::Str("z"));
  EXPECT_EQ(read(), "callz");
  vars.Clear();
  EXPECT_EQ(read(), "callcall");
  vars.SetValue("T(1)", Value::Str("w"));
  EXPECT_EQ(read(), "wcall");
}

// Values keep their items apart from themselves; copies must not share them.
TEST(ValueItems, CopiesAssignmentsAndMovesKeepTheirOwnItems) {
  Value a = Value::Array({Value::Int(1), Value::Array({Value::Str("x")})});
  Value b = a;
  b.items()[0] = Value::Int(2);
  b.items()[1].items().push_back(Value::Int(3));
  EXPECT_EQ(a.items()[0].i(), 1);
  EXPECT_EQ(a.items()[1].items().size(), 1u);
  Value c = Value::Int(5);
  c = b;
  c = c;
  EXPECT_EQ(c.items()[1].items().size(), 2u);
  Value d = std::move(c);
  EXPECT_EQ(d.items().size(), 2u);
  EXPECT_TRUE(Value::Int(1).items().empty());
  Value e = Value::Str("s");
  e.append(Value::Int(1));
  EXPECT_EQ(e.items().size(), 2u);
  EXPECT_EQ(e.items()[0].str(), "s");
}

}  // namespace
}  // namespace tam

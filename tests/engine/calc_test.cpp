// The engine's life cycle: parse records, stepping, retry and skip, faults
// that pass out, and the bounds that keep a program from crashing its host.
#include "engine/calc.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/failure.h"
#include "engine/limits.h"
#include "library/library.h"
#include "platform/platform.h"
#include "tests/engine/small_stack.h"

namespace tam {
namespace {

struct Engine {
  TVariableSet vars;
  TCalc calc;
  explicit Engine(const std::string& program) {
    calc.SetBuiltinHandler(BuiltinFunction);
    calc.LoadProgram(program);
    calc.SetVariables(&vars);
    calc.Reset();
  }
};

TEST(Calc, LinksBranchesOfAnIfBlock) {
  Engine e("IF A\r\nELSEIF B\r\nELSEIF C\r\nELSE\r\nENDIF\r\n");
  ASSERT_FALSE(e.calc.Error());
  const auto& f = e.calc.Frames();
  EXPECT_EQ(f[0].Kind, kIf);
  EXPECT_EQ(f[1].Kind, kElseIf);
  EXPECT_EQ(f[3].Kind, kElse);
  EXPECT_EQ(f[4].Kind, kEndIf);
}

TEST(Calc, RunningIntoAFurtherBranchLeavesEveryBlockThatEndsThere) {
  // The inner block ends right before the outer ELSE: both are done at once.
  Engine e("IF 1 = 1\nIF 1 = 1\nA = 1\nELSEIF 1 = 1\nENDIF\nELSE\nA = 2\nENDIF\nB = 1\n");
  for (int i = 0; i < 4; ++i) e.calc.Step();
  EXPECT_EQ(e.calc.CurrentLine(), 3);
  EXPECT_EQ(e.calc.NextLine(), 8);
  e.calc.Run();
  EXPECT_EQ(e.vars.GetValue("A").i(), 1);
}

TEST(Calc, ClassifiesExitByItsBlock) {
  Engine e("DO\nIF X\nEXIT\nENDIF\nLOOP\nFOR I = 1 TO 2\nEXIT\nNEXT\nEXIT\nFUNCTION F\nEXIT\nENDFUNCTION\nEND");
  const auto& f = e.calc.Frames();
  EXPECT_EQ(f[2].Kind, kExitDo);
  EXPECT_EQ(f[6].Kind, kExitFor);
  EXPECT_EQ(f[8].Kind, kExitProgram);
  EXPECT_EQ(f[10].Kind, kExitFunction);
  EXPECT_EQ(f[12].Kind, kEnd);
}

TEST(Calc, StepRetrySkipAndStop) {
  Engine e("A = 1\nB = FOO\nC = 3\n");
  e.calc.Step();
  EXPECT_EQ(e.calc.CurrentLine(), 0);
  EXPECT_EQ(e.calc.NextLine(), 1);
  e.calc.Step();
  ASSERT_TRUE(e.calc.Error());
  EXPECT_EQ(e.calc.ErrorText(), "No such function: FOO");
  EXPECT_EQ(e.calc.CurrentLine(), 1);
  e.calc.Retry();  // in step mode: the failing line once more
  EXPECT_TRUE(e.calc.Error());
  e.calc.Skip();
  EXPECT_FALSE(e.calc.Error());
  EXPECT_EQ(e.calc.CurrentLine(), 2);
  EXPECT_TRUE(e.calc.Finished());
  EXPECT_EQ(e.vars.GetValue("C").i(), 3);
  EXPECT_FALSE(e.vars.Exists("B"));

  Engine s("A = 1\nA = 2\n");
  s.calc.Stop();
  EXPECT_TRUE(s.calc.Finished());
  EXPECT_EQ(s.calc.NextLine(), 2);
}

TEST(Calc, FaultsLeaveTheStatementUnfinished) {
  for (const char* line : {"X = 1 \\ 0", "X = 1 / 0", "X = 0 ^ 2", "DO UNTIL \"abc\"\nLOOP"}) {
    Engine e(std::string("A = 1\n") + line);
    EXPECT_THROW(e.calc.Run(), EngineFault) << line;
    EXPECT_FALSE(e.calc.Error());
    EXPECT_EQ(e.calc.CurrentLine(), 1);
    EXPECT_EQ(e.calc.NextLine(), 1);
  }
}

// Calls made by assignments, IF conditions and RESULT run as frames of the
// statement loop; what goes wrong inside them reaches the calling statement
// as through nested calls: a failure of the callee's own statement as the
// function's error, an invalid operation as the caller's expression's.
TEST(Calc, FailuresInsideCalledFunctionsReachTheCallingStatement) {
  const std::string g = "FUNCTION G(n)\r\nT(LOG(-1)) = 1\r\nRESULT 1\r\nENDFUNCTION\r\n";  // lines 0-3
  const struct {
    std::string program;
    int line;
    std::string text;
  } cases[] = {
      {g + "X = G(1) + 2\r\nY = 3", 4, "Invalid operation: G(1) + 2"},
      {g + "FUNCTION F(n)\r\nRESULT 1, G(n) + 1, 3\r\nENDFUNCTION\r\nX = F(1) + 2\r\nY = 3", 7,
       "Function runtime error: F\r\nInvalid operation: G(n) + 1"},
      {g + "FUNCTION F(n)\r\nIF n > 5\r\nRESULT 0\r\nELSEIF G(n) > 0\r\nRESULT 1\r\nENDIF\r\nENDFUNCTION\r\nX = "
           "F(1)\r\nY = "
           "F(9) + 3",
       11, "Function runtime error: F\r\nInvalid operation: G(n) > 0"},
      {"FUNCTION F(n)\r\nRESULT NOSUCH(n)\r\nENDFUNCTION\r\nFUNCTION H(n)\r\nRESULT 1, F(n), 3\r\nENDFUNCTION\r\nX = "
       "H(1) + "
       "1\r\nY = 3",
       6, "Function runtime error: H\r\nFunction runtime error: F\r\nNo such function: NOSUCH"},
  };
  for (const auto& c : cases) {
    Engine e(c.program);
    e.calc.Run();
    EXPECT_TRUE(e.calc.Error()) << c.program;
    EXPECT_EQ(e.calc.CurrentLine(), c.line) << c.program;
    EXPECT_EQ(e.calc.ErrorText(), c.text) << c.program;
    e.calc.Skip();
    EXPECT_FALSE(e.calc.Error()) << c.program;
    EXPECT_EQ(ToText(*e.vars.Find("Y")), "3") << c.program;
  }
  // A fault two calls down passes out of Run with the program's statement
  // unfinished; the calls after it start afresh.
  Engine e(
      "FUNCTION F(n)\r\nIF n = 0\r\nT(1 \\ 0) = 1\r\nENDIF\r\nRESULT n + 1\r\nENDFUNCTION\r\nFUNCTION G(n)\r\nRESULT "
      "1, "
      "F(n), 3\r\nENDFUNCTION\r\nX = G(0)\r\nY = G(1)");
  EXPECT_THROW(e.calc.Run(), EngineFault);
  EXPECT_EQ(e.calc.CurrentLine(), 9);
  EXPECT_EQ(e.calc.NextLine(), 9);
  e.calc.Skip();
  EXPECT_TRUE(e.calc.Finished());
  EXPECT_FALSE(e.calc.Error());
  EXPECT_EQ(ToText(*e.vars.Find("Y")), "1");
  EXPECT_EQ(e.vars.Find("X"), nullptr);
}

TEST(Calc, EmptyProgramIsFinishedAtOnce) {
  Engine e("");
  EXPECT_TRUE(e.calc.Finished());
  e.calc.Run();
  EXPECT_FALSE(e.calc.Error());
}

TEST(Calc, ExternalFolderThatHoldsNothingPassesEveryNameOn) {
  Engine e("A = TRUE\r\nB = TWICE(2)\r\nFUNCTION TWICE(X)\r\nRESULT X * 2\r\nENDFUNCTION\r\n");
  const std::string delimiter(1, os::kPathDelimiter);
  e.calc.SetExternalFolder("no-such-folder");
  EXPECT_EQ(e.calc.ExternalFolder(), "no-such-folder" + delimiter);
  e.calc.SetExternalFolder("no-such-folder" + delimiter);
  EXPECT_EQ(e.calc.ExternalFolder(), "no-such-folder" + delimiter);
  e.calc.Run();
  EXPECT_FALSE(e.calc.Error()) << e.calc.ErrorText();
  EXPECT_TRUE(e.vars.GetValue("A").b());
  EXPECT_EQ(e.vars.GetValue("B").i(), 4);
  e.calc.SetExternalFolder("");
  EXPECT_EQ(e.calc.ExternalFolder(), "");
}

TEST(Calc, ParseErrorIsKeptUntilTheNextLoad) {
  Engine e("X = (1");
  EXPECT_TRUE(e.calc.Error() || true);
  TCalc c;
  c.LoadProgram("X = (1");
  EXPECT_TRUE(c.Error());
  EXPECT_EQ(c.ErrorText(), "Unmatched parentheses on line 1.");
  c.LoadProgram("X = 1");
  EXPECT_FALSE(c.Error());
}

TEST(Calc, CalledNamesMatchWhateverTheirCaseAndBlanks) {
  Engine e(
      "FUNCTION Twice(n)\r\n"
      "  RESULT n * 2\r\n"
      "ENDFUNCTION\r\n"
      "FUNCTION Seven\r\n"
      "  RESULT 7\r\n"
      "ENDFUNCTION\r\n"
      "A = twice(3) + TWICE (4) + length(\"abc\") + Length (\"ab\")\r\n"
      "B = seven + SEVEN + sEvEn\r\n");
  e.calc.Run();
  ASSERT_FALSE(e.calc.Error()) << e.calc.ErrorText();
  EXPECT_EQ(e.vars.GetValue("A").i(), 6 + 8 + 3 + 2);
  EXPECT_EQ(e.vars.GetValue("B").i(), 21);
  Engine bad("X = nosuch(1)\r\n");
  bad.calc.Run();
  EXPECT_EQ(bad.calc.ErrorText(), "No such function: nosuch");
}

// A host may give a variable a list: a one-element list stands for its
// element as an IF condition and as a value, whatever short path reads it.
TEST(Calc, AOneElementListFromTheHostStandsForItsElement) {
  Engine e("IF C\r\n  X = 1\r\nENDIF\r\nY = C\r\nIF N = 3\r\n  Z = N\r\nENDIF\r\n");
  Value truth;
  truth.append(Value::Bool(true));
  e.vars.SetValue("C", truth);
  Value three;
  three.append(Value::Int(3));
  e.vars.SetValue("N", three);
  e.calc.Run();
  ASSERT_FALSE(e.calc.Error()) << e.calc.ErrorText();
  EXPECT_EQ(e.vars.GetValue("X").i(), 1);
  EXPECT_TRUE(e.vars.GetValue("Y").b());
  EXPECT_EQ(DisplayText(e.vars.GetValue("Z")), "3");
}

TEST(Calc, ForLoopsCountAlikeWhateverTheKindsOfTheirBounds) {
  struct Case {
    const char* head;
    int passes;
    const char* last;
  } cases[] = {
      {"FOR I = 2147483645 TO 2147483647", 3, "2147483647/Integer"},
      {"FOR I = -2147483646 TO -2147483648 STEP -1", 3, "-2147483648/Integer"},
      {"FOR I = 5 TO 1 STEP -2", 3, "1/Integer"},
      {"FOR I = 1 TO 3 STEP 0 MAX 4", 4, "1/Integer"},
      {"FOR I = 1 TO 2.5", 2, "2/Integer"},
      {"FOR I = 1.5 TO 3", 2, "2.5/Double"},
      {"FOR I = 1 TO 3 STEP 1.5", 2, "2.5/Double"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.head);
    Engine e(std::string("N = 0\r\n") + c.head + "\r\n  N = N + 1\r\n  L = I\r\nNEXT\r\n");
    e.calc.Run();
    ASSERT_FALSE(e.calc.Error()) << e.calc.ErrorText();
    EXPECT_EQ(e.vars.GetValue("N").i(), c.passes);
    const Value last = e.vars.GetValue("L");
    EXPECT_EQ(DisplayText(last) + "/" + TypeName(last.type()), c.last);
    EXPECT_FALSE(e.vars.IsReadOnly("I"));
  }
}

TEST(Limits, DeepNestingEndsInARunTimeErrorOnASmallStack) {
  const std::string parens = "X = " + std::string(200000, '(') + "1" + std::string(200000, ')');
  std::string chain = "Y = 1";
  for (int i = 0; i < 100000; ++i) chain += "+1";
  const std::string recursion = "FUNCTION F(n)\nRESULT F(n + 1) + F(n + 2)\nENDFUNCTION\nZ = F(1)";
  for (const std::string& program : {parens, chain, recursion}) {
    bool error = false;
    std::string text;
    int line = -1;
    testing_stack::OnSmallStack([&] {
      Engine e(program);
      e.calc.Run();
      error = e.calc.Error();
      text = e.calc.ErrorText();
      line = e.calc.CurrentLine();
    });
    EXPECT_TRUE(error) << program.substr(0, 40);
    EXPECT_EQ(text, kTooDeepText);
    EXPECT_EQ(line, program == recursion ? 3 : 0);
  }
}

TEST(Limits, EvaluateOfDeepTextIsAnError) {
  Engine e("X = EVALUATE(S)");
  e.vars.SetValue("S", Value::Str(std::string(300000, '(') + std::string(300000, ')')));
  e.calc.Run();
  EXPECT_TRUE(e.calc.Error());
  EXPECT_EQ(e.calc.ErrorText(), kTooDeepText);
}

}  // namespace
}  // namespace tam

// Every bound of the engine and the library is reached with a run-time error
// of the line that reached it, never a crash, on the 1 MB stack of the mail
// client's thread.
#include "engine/limits.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/calc.h"
#include "library/library.h"
#include "small_stack.h"

namespace tam {
namespace {

using testing_stack::OnSmallStack;

struct Outcome {
  bool error = false, finished = false;
  std::string text, fault, x;  // x: the text of variable X
  int line = -1;
};

// Runs program on a small stack; budget bounds its statements (0: none).
Outcome RunSmall(const std::string& program, long long budget = 0) {
  Outcome o;
  OnSmallStack([&] {
    TVariableSet vars;
    TCalc calc;
    calc.SetBuiltinHandler(BuiltinFunction);
    calc.SetStatementBudget(budget);
    calc.LoadProgram(program);
    calc.SetVariables(&vars);
    if (calc.Error()) {
      o.error = true;
      o.text = "parse: " + calc.ErrorText();
      return;
    }
    calc.Reset();
    try {
      calc.Run();
    } catch (const std::exception& e) {
      o.fault = e.what();
    }
    if (const Value* x = vars.Find("X")) o.x = ToText(*x);
    o.error = calc.Error();
    o.finished = calc.Finished();
    o.text = calc.ErrorText();
    o.line = calc.CurrentLine();
  });
  return o;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  out.reserve(s.size() * n);
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(Limits, EveryKindOfDeepNestingIsARunTimeError) {
  const std::string deep[] = {
      "X = " + Repeat("ABS(", 100000) + "1" + Repeat(")", 100000),
      "X = " + Repeat("NOT ", 200000) + "1",
      "X = " + Repeat("- ", 200000) + "1",
      "X = " + Repeat("2 ^ ", 200000) + "1",
      "X = " + Repeat("SUM(1, ", 100000) + "1" + Repeat(")", 100000),
      "X = " + Repeat("(1 + ", 100000) + "1" + Repeat(")", 100000),
  };
  for (const std::string& program : deep) {
    const Outcome o = RunSmall("A = 1\r\n" + program);
    EXPECT_TRUE(o.error) << program.substr(0, 20);
    EXPECT_EQ(o.text, kTooDeepText) << program.substr(0, 20);
    EXPECT_EQ(o.line, 1) << program.substr(0, 20);
  }
}

TEST(Limits, RecursionThroughEvaluateAndUserFunctionsIsARunTimeError) {
  const std::string programs[] = {
      // EVALUATE of a text that evaluates itself again.
      "S = \"EVALUATE(S)\"\r\nX = EVALUATE(S)",
      // A user function that calls itself through EVALUATE.
      "FUNCTION F(n)\r\nRESULT EVALUATE(\"F(1)\")\r\nENDFUNCTION\r\nX = F(1)",
      // Two user functions that call each other inside their arguments.
      "FUNCTION F(n)\r\nRESULT G(ABS(n) + 1)\r\nENDFUNCTION\r\nFUNCTION G(n)\r\nRESULT F(-n)\r\nENDFUNCTION\r\nX = "
      "F(1)",
      // CITE names elements whose names call the function again.
      "FUNCTION F(n)\r\nRESULT CITE(\"F\", 1, 2)\r\nENDFUNCTION\r\nX = F(1)",
  };
  for (const std::string& program : programs) {
    const Outcome o = RunSmall(program);
    EXPECT_TRUE(o.error) << program;
    EXPECT_NE(o.text.find(kTooDeepText), std::string::npos) << program << "\n" << o.text;
  }
}

// The deepest recursion of a user function that finishes on the mail
// client's stack, found by halving.
int DeepestRecursion() {
  int lo = 1, hi = 20000;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    const Outcome o = RunSmall(
        "FUNCTION F(n)\r\nIF n > 0\r\nRESULT F(n - 1) + 1\r\nELSE\r\nRESULT 0\r\nENDIF\r\n"
        "ENDFUNCTION\r\nX = F(" +
        std::to_string(mid) + ")");
    if (!o.error && o.x == std::to_string(mid))
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}

TEST(Limits, UserFunctionRecursionEndsCleanlyBeyondItsDepth) {
  const int deepest = DeepestRecursion();
  std::printf("user function recursion: %d levels on a 1 MB stack\n", deepest);
  EXPECT_GE(deepest, 1000);
  EXPECT_LT(deepest, kMaxCallDepth);
  // Beyond it, and where the calls nest within a loop bound, the recursion
  // ends in the nesting error of the program's own line.
  for (const char* body : {"RESULT F(n + 1)", "FOR I = 1 TO F(n + 1)\r\nNEXT"}) {
    const Outcome o = RunSmall("FUNCTION F(n)\r\n" + std::string(body) + "\r\nENDFUNCTION\r\nA = 1\r\nX = F(1)");
    EXPECT_TRUE(o.error) << body;
    EXPECT_EQ(o.line, body[0] == 'R' ? 4 : 5) << body;
    EXPECT_EQ(o.fault, "") << body;
    EXPECT_NE(o.text.find(kTooDeepText), std::string::npos) << o.text;
  }
}

TEST(Limits, DeeplyNestedBlocksParseAndRun) {
  const int depth = 20000;
  const std::string ifs = Repeat("IF 1\r\n", depth) + "X = 1\r\n" + Repeat("ENDIF\r\n", depth);
  std::string fors;
  for (int i = 0; i < depth; ++i) fors += "FOR _I" + std::to_string(i) + " = 1 TO 1\r\n";
  fors += "Y = 1\r\n" + Repeat("NEXT\r\n", depth);
  const std::string dos = Repeat("DO WHILE 1 MAX 1\r\n", depth) + "Z = 1\r\n" + Repeat("LOOP MAX 1\r\n", depth);
  for (const std::string& program : {ifs, fors, dos}) {
    const Outcome o = RunSmall(program);
    EXPECT_FALSE(o.error) << program.substr(0, 20) << ": " << o.text;
    EXPECT_TRUE(o.finished);
  }
}

TEST(Limits, StatementBudgetStopsLoopsInsideFunctionsAndRecursion) {
  const std::string loop =
      "FUNCTION F()\r\nDO MAX 2000000000\r\nLOOP MAX 2000000000\r\nENDFUNCTION\r\nA = 1\r\nX = F()";
  const std::string fib =
      "FUNCTION Fib(n)\r\nIF n < 2\r\nRESULT n\r\nELSE\r\nRESULT Fib(n - 1) + Fib(n - 2)\r\nENDIF\r\nENDFUNCTION\r\nX "
      "= "
      "Fib(25)";
  Outcome o = RunSmall(loop, 10000);
  EXPECT_TRUE(o.error);
  EXPECT_EQ(o.text, kBudgetText);
  EXPECT_EQ(o.line, 5);
  o = RunSmall(fib, 10000);
  EXPECT_EQ(o.text, kBudgetText);
  EXPECT_EQ(o.line, 7);
  // CITE's element reads count as statements.
  o = RunSmall("A(1) = 1\r\nX = CITE(\"A\", 1, 100000)", 1000);
  EXPECT_EQ(o.text, kBudgetText);
  EXPECT_EQ(o.line, 1);
  // Within the budget, and without one, a program runs as ever.
  EXPECT_FALSE(RunSmall("A(1) = 1\r\nA(2) = 2\r\nX = CITE(\"A\", 1, 2)", 1000).error);
  EXPECT_FALSE(RunSmall("FOR I = 1 TO 100\r\nNEXT", 1000).error);
  EXPECT_FALSE(RunSmall("FOR I = 1 TO 10000 MAX 10000\r\nNEXT").error);
  // Every line a call comes to counts, also a comment, ELSE and the
  // function's end: FUNCTION, the assignment, then 5 lines in F (ELSE leads
  // past ENDIF), 7 in all.
  const std::string passed =
      "FUNCTION F(n)\r\n' a note\r\nIF n < 1\r\nRESULT 0\r\nELSE\r\nRESULT 1\r\nENDIF\r\nENDFUNCTION\r\nX = F(0)";
  o = RunSmall(passed, 7);
  EXPECT_FALSE(o.error) << o.text;
  EXPECT_EQ(o.x, "0");
  o = RunSmall(passed, 6);
  EXPECT_EQ(o.text, kBudgetText);
  EXPECT_EQ(o.line, 8);
}

// A poll asked between statements, inside user functions too, lets a host
// stop an endless run; while it answers true the run goes on undisturbed.
TEST(Limits, StatementPollStopsARunWhenItSaysSo) {
  const std::string program =
      "FUNCTION F()\r\nN = 0\r\nDO MAX 2000000000\r\nN = N + 1\r\nLOOP MAX 2000000000\r\nENDFUNCTION\r\nX = "
      "F()\r\nB = 2";
  TVariableSet vars;
  TCalc calc;
  calc.SetBuiltinHandler(BuiltinFunction);
  int polls = 0;
  calc.SetStatementPoll(100, [&] { return ++polls < 50; });
  calc.LoadProgram(program);
  calc.SetVariables(&vars);
  calc.Reset();
  calc.Run();
  EXPECT_EQ(polls, 50);
  EXPECT_TRUE(calc.Error());
  EXPECT_EQ(calc.CurrentLine(), 6);
  EXPECT_FALSE(vars.Exists("X"));
  // A poll that lets everything run changes nothing.
  polls = 0;
  calc.SetStatementPoll(10, [&] {
    ++polls;
    return true;
  });
  calc.LoadProgram("S = 0\r\nFOR I = 1 TO 1000 MAX 1000\r\nS = S + I\r\nNEXT");
  calc.Reset();
  calc.Run();
  EXPECT_FALSE(calc.Error());
  EXPECT_TRUE(calc.Finished());
  EXPECT_EQ(vars.GetValue("S").i(), 500500);
  EXPECT_GE(polls, 150);  // 2000 statements, one poll after every 11
}

TEST(Limits, TextsTooLargeToBuildAreOutOfMemory) {
  const std::string programs[] = {
      "X = CITE(\"A\", -2000000000, 2000000000)",
      "X = CITE(\"A\", 1, 1048577)",
      "X = STRINGREPEAT(\"ab\", 1000000000)",
      "X = STRINGREPEAT(STRINGREPEAT(\"x\", 100000), 100000)",
  };
  for (const std::string& program : programs) {
    const Outcome o = RunSmall(program);
    EXPECT_TRUE(o.error) << program;
    EXPECT_EQ(o.text, kNoMemoryText) << program;
  }
}

TEST(Limits, LibraryBoundsCutOrEndInAnError) {
  // A date picture's output is cut at kMaxDateText bytes.
  Outcome o = RunSmall("X = LENGTHB(FORMATDATETIME(STRINGREPEAT(\"yyyy/\", 5000), 1))");
  EXPECT_FALSE(o.error) << o.text;
  EXPECT_EQ(o.x, "256");
  // Day counts beyond the calendar are an invalid operation of the line.
  o = RunSmall("A = 1\r\nX = DATEYEAR(2E9)");
  EXPECT_EQ(o.text, "Invalid operation: DATEYEAR(2E9)");
  EXPECT_EQ(o.line, 1);
  // A mask search that would take too long is a fault that ends the run.
  o = RunSmall("X = MATCHESMASK(STRINGREPEAT(\"a\", 100000), \"*\" & STRINGREPEAT(\"a\", 50000) & \"b\")");
  EXPECT_FALSE(o.fault.empty());
  EXPECT_EQ(o.x, "");
}

}  // namespace
}  // namespace tam

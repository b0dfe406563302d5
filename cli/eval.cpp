// tamberlo eval: evaluates expressions with one shared variable set.
#include <cstdio>
#include <exception>

#include "cli/cli.h"
#include "engine/calc.h"
#include "library/library.h"
#include "platform/platform.h"

namespace tam::cli {

int EvalCommand(const std::vector<std::string>& args) {
  Output out;
  std::vector<std::string> expressions;
  for (const std::string& a : args) {
    if (a == "--utf8")
      out.utf8 = true;
    else
      expressions.push_back(a);
  }
  if (expressions.empty()) {
    std::fprintf(stderr, "usage: tamberlo eval [--utf8] EXPRESSION...\n");
    return kExitUsage;
  }
  TVariableSet set;
  TCalc calc;
  calc.SetBuiltinHandler(BuiltinFunction);
  calc.SetVariables(&set);
  int status = kExitOk;
  for (std::string e : expressions) {
    if (out.utf8) e = Utf8ToSjis(e);
    calc.Reset();
    try {
      const Value v = calc.EvaluateStatement(e);
      if (calc.Error()) {
        out.Err(ToLf(calc.ErrorText()));
        status = kExitError;
        continue;
      }
      if (v.isArray()) {
        for (const Value& item : v.items()) out.Out(Describe(item));
      } else {
        out.Out(Describe(v));
      }
    } catch (const std::exception& ex) {
      out.Err(std::string("Fault: ") + ex.what());
      status = kExitError;
    }
  }
  return status;
}

}  // namespace tam::cli

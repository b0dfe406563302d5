// tamberlo eval: evaluates expressions with one shared variable set.
#include <cstdio>
#include <exception>
#include <new>
#include <stdexcept>

#include "cli/cli.h"
#include "cli/environment.h"
#include "engine/calc.h"
#include "library/library.h"
#include "platform/platform.h"

namespace tam::cli {

int EvalCommand(const std::vector<std::string>& args) {
  Output out;
  Environment env;
  std::vector<std::string> expressions;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string bad;
    if (env.Take(args, i, bad)) {
      if (!bad.empty()) {
        std::fprintf(stderr, "tamberlo eval: %s\n", bad.c_str());
        return kExitUsage;
      }
    } else if (args[i] == "--utf8") {
      out.utf8 = true;
    } else {
      expressions.push_back(args[i]);
    }
  }
  if (expressions.empty()) {
    std::fprintf(stderr, "usage: tamberlo eval [--utf8] [--now TIME] [--answer TEXT]... EXPRESSION...\n");
    return kExitUsage;
  }
  env.Install(out.utf8);
  TVariableSet set;
  TCalc calc;
  calc.SetBuiltinHandler(BuiltinFunction, ResolveBuiltin);
  calc.SetVariables(&set);
  int status = kExitOk;
  for (std::string e : expressions) {
    if (out.utf8) e = Utf8ToSjis(e);
    calc.Reset();
    try {
      const Value v = calc.EvaluateStatement(e);
      if (calc.Error()) {
        out.Err(ToLf(calc.ErrorText()));
        if (!out.utf8 && LooksLikeUtf8(e))
          std::fputs("tamberlo eval: the expression looks like UTF-8 text, but is read as Shift-JIS: give --utf8\n",
                     stderr);
        status = kExitError;
        continue;
      }
      if (v.isArray()) {
        for (const Value& item : v.items()) out.Out(Describe(item));
      } else {
        out.Out(Describe(v));
      }
    } catch (const std::bad_alloc&) {
      throw;  // the tool ends with "Out of memory."
    } catch (const std::length_error&) {
      throw;
    } catch (const std::exception& ex) {
      out.Err(std::string("Fault: ") + ex.what());
      status = kExitError;
    }
  }
  return status;
}

}  // namespace tam::cli

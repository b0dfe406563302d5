// tamberlo run: loads a reply program, parses it and runs it.
#include <cstdio>
#include <exception>

#include "cli/cli.h"
#include "cli/environment.h"
#include "cli/run_reply.h"
#include "engine/calc.h"
#include "library/library.h"
#include "platform/platform.h"

namespace tam::cli {

int RunCommand(const std::vector<std::string>& args) {
  bool vars = false, ignore = false;
  Output out;
  Environment env;
  ReplyOptions reply;
  std::string file;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string bad;
    if (env.Take(args, i, bad) || reply.Take(args, i, bad)) {
      if (!bad.empty()) {
        std::fprintf(stderr, "tamberlo run: %s\n", bad.c_str());
        return kExitUsage;
      }
    } else if (a == "--vars") {
      vars = true;
    } else if (a == "--utf8") {
      out.utf8 = true;
    } else if (a == "--on-error" && i + 1 < args.size()) {
      const std::string& policy = args[++i];
      if (policy != "abort" && policy != "ignore") {
        std::fprintf(stderr, "tamberlo run: --on-error takes abort or ignore\n");
        return kExitUsage;
      }
      ignore = policy == "ignore";
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(stderr, "tamberlo run: unknown option '%s'\n", a.c_str());
      return kExitUsage;
    } else if (file.empty()) {
      file = a;
    } else {
      std::fprintf(stderr, "tamberlo run: only one program file\n");
      return kExitUsage;
    }
  }
  if (reply.Active()) {
    env.Install();
    return reply.Run(file, vars, ignore, out);
  }
  if (file.empty()) {
    std::fprintf(stderr, "usage: tamberlo run [--vars] [--on-error abort|ignore] [--utf8] [--now TIME] PROGRAM_FILE\n");
    return kExitUsage;
  }
  std::string text;
  if (!ReadFile(file, text)) {
    std::fprintf(stderr, "tamberlo run: cannot read '%s'\n", file.c_str());
    return kExitUsage;
  }
  if (out.utf8) text = Utf8ToSjis(text);
  env.Install();

  TVariableSet set;
  TCalc calc;
  calc.SetBuiltinHandler(BuiltinFunction);
  calc.Reset();
  calc.LoadProgram(text);
  calc.SetVariables(&set);
  if (calc.Error()) {
    out.Err(ToLf(calc.ErrorText()));
    return kExitUsage;
  }
  calc.Reset();
  bool failed = false;
  auto report = [&](const std::string& message) {
    failed = true;
    out.Err(std::to_string(calc.CurrentLine() + 1) + "行目でエラーです。");
    out.Err(ToLf(message));
  };
  try {
    calc.Run();
    while (calc.Error()) {
      report(calc.ErrorText());
      if (!ignore) break;
      calc.Skip();
    }
  } catch (const std::exception& e) {
    report(std::string("Fault: ") + e.what());
  }
  if (vars)
    for (int i = 0; i < set.Count(); ++i) out.Out(set.GetName(i) + " = " + Describe(set.GetValueAt(i)));
  return failed ? kExitError : kExitOk;
}

}  // namespace tam::cli

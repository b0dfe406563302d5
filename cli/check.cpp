#include "cli/check.h"

#include <cstdio>

#include "cli/cli.h"
#include "engine/calc.h"
#include "engine/text_lines.h"
#include "platform/platform.h"

namespace tam::cli {

std::vector<std::string> CheckProgramText(const std::string& program) {
  TCalc calc;
  calc.LoadProgram(program);
  if (!calc.Error()) return {};
  return {" " + ToLf(calc.ErrorText())};
}

int CheckCommand(const std::vector<std::string>& args) {
  Output out;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == "--utf8") {
      out.utf8 = true;
    } else if (a == "--help" || a == "-h") {
      std::fputs(
          "usage: tamberlo check [--utf8] PROGRAM...\n"
          "  parses each reply program and reports its structure errors as\n"
          "  FILE: message; exit 1 when a program has one or cannot be read\n",
          stdout);
      return kExitOk;
    } else {
      files.push_back(a);
    }
  }
  if (files.empty()) {
    std::fputs("usage: tamberlo check [--utf8] PROGRAM...\n", stderr);
    return kExitUsage;
  }
  int status = kExitOk;
  for (const std::string& file : files) {
    std::string text, why;
    if (!ReadFile(file, text, why)) {
      std::fprintf(stderr, "tamberlo check: cannot read '%s': %s\n", file.c_str(), why.c_str());
      status = kExitError;
      continue;
    }
    if (out.utf8) text = Utf8ToSjis(DropByteOrderMark(text));
    for (const std::string& note : CheckProgramText(text)) {
      out.Err(out.utf8 ? Utf8ToSjis(file + ":") + note : file + ":" + note);
      status = kExitError;
    }
  }
  return status;
}

}  // namespace tam::cli

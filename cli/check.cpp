#include "cli/check.h"

#include <cstdio>

#include "cli/cli.h"
#include "cli/program_warnings.h"
#include "engine/program.h"
#include "platform/platform.h"

namespace tam::cli {

std::vector<CheckNote> CheckProgram(const std::string& program) {
  const std::shared_ptr<Program> parsed = ParseProgram(program);
  if (parsed->error) return {{0, false, ToLf(parsed->errorText)}};
  std::vector<CheckNote> notes;
  for (ProgramWarning& w : ProgramWarnings(*parsed)) notes.push_back({w.line, true, std::move(w.text)});
  return notes;
}

std::string NoteText(const std::string& file, const CheckNote& note) {
  if (!note.warning) return file + ": " + note.text;
  return file + ":" + std::to_string(note.line) + ": warning: " + note.text;
}

int CheckCommand(const std::vector<std::string>& args) {
  Output out;
  bool strict = false;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == "--utf8") {
      out.utf8 = true;
    } else if (a == "--strict") {
      strict = true;
    } else if (a == "--help" || a == "-h") {
      std::fputs(
          "usage: tamberlo check [--utf8] [--strict] PROGRAM...\n"
          "  parses each reply program and reports its structure error as\n"
          "  FILE: message, and what parses but is almost certainly a mistake as\n"
          "  FILE:LINE: warning: message (a FOR or DO loop that would run past the\n"
          "  100 passes a loop makes without MAX, IF on a number, which is never\n"
          "  true, A = 1 AND B = 2 without parentheses, a name read before anything\n"
          "  assigns it).\n"
          "  --utf8    the programs are UTF-8, and so are the messages\n"
          "  --strict  warnings count as failures too\n"
          "  exit 0: every program parses; 1: one does not or cannot be read\n"
          "  (with --strict: or has a warning); 2: bad usage\n",
          stdout);
      return kExitOk;
    } else {
      files.push_back(a);
    }
  }
  if (files.empty()) {
    std::fputs("usage: tamberlo check [--utf8] [--strict] PROGRAM...\n", stderr);
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
    if (!out.utf8 && LooksLikeUtf8(text)) {
      std::fprintf(stderr, "%s: warning: this looks like UTF-8 text, but is read as Shift-JIS: give --utf8\n",
                   file.c_str());
      if (strict) status = kExitError;
    }
    for (const CheckNote& note : CheckProgram(text)) {
      out.Err(NoteText(out.utf8 ? Utf8ToSjis(file) : file, note));
      if (!note.warning || strict) status = kExitError;
    }
  }
  return status;
}

}  // namespace tam::cli

// tamberlo: runs reply programs and evaluates expressions outside the mail
// client.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/check.h"
#include "cli/cli.h"
#include "cli/settings_cmd.h"
#include "platform/platform.h"
#include "plugin/version.h"

namespace {

const char* const kUsageHead =
    "usage: tamberlo COMMAND [options] ...\n"
    "\n"
    "commands:\n"
    "  run [options] PROGRAM_FILE\n"
    "  run [options] --bundle FILE\n"
    "      prepares a reply as the plug-in does (To, Subject and Date lines, the\n"
    "      predefined variables), runs the reply program (Shift-JIS text) over\n"
    "      the referenced mail and prints the reply: the header lines, an empty\n"
    "      line, the body lines. Run-time errors go to stderr as\n";
// The error line quoted where the terminal shows Japanese.
const char* const kErrorLineJapanese = "      \"N行目でエラーです。\" (\"error on line N\")";
const char* const kErrorLineAscii = "      a Japanese line \"error on line N\"";
const char* const kUsageTail =
    " and the error text, in\n"
    "      Shift-JIS like the reply (UTF-8 with --utf8).\n"
    "      --mail FILE        the referenced mail as stored (default: an empty mail)\n"
    "      --option TEXT      the option line\n"
    "      --account-title TEXT, --account-user TEXT, --account-address TEXT,\n"
    "      --account-name TEXT\n"
    "                         the account strings (default: empty)\n"
    "      --bundle FILE      mail, program, option and account from a debug bundle\n"
    "      --vars             print the variables after the run instead of the\n"
    "                         reply: NAME = TEXT (Type)\n"
    "      --on-error abort|ignore\n"
    "                         abort (default) stops at the first run-time error;\n"
    "                         ignore skips the failing line and goes on; a fault\n"
    "                         (such as a division by zero) ends the run either way\n"
    "      --utf8             read the files as UTF-8 and write UTF-8\n"
    "      --now \"YYYY-MM-DD HH:MM:SS[.mmm]\"\n"
    "                         fix the clock (local time) for the whole run\n"
    "      --tz-bias MINUTES  the time-zone bias of the Date line (Japan: -540)\n"
    "      --answer TEXT      (repeatable) answers the dialogs of the run in order:\n"
    "                         the text typed into an input box, the caption of\n"
    "                         the button pressed in a message box, or the\n"
    "                         folder chosen\n"
    "      exit 0: done; 1: a run-time error happened; 2: a parse error or bad usage\n"
    "  eval [--utf8] [--now TIME] [--answer TEXT]... EXPRESSION...\n"
    "      evaluates each expression and prints TEXT (Type) per result (one line\n"
    "      per element of an array); an expression is no statement, so X = 1\n"
    "      compares (try statements with run --vars)\n"
    "  settings get|set|export|import ...\n"
    "      reads and writes the plug-in's settings file (tamberlo settings --help)\n"
    "  check [--utf8] [--strict] PROGRAM...\n"
    "      parses each reply program and reports its structure errors, and warns\n"
    "      about loops cut short by the 100-pass limit, IF on a number and names\n"
    "      read before anything assigns them (tamberlo check --help)\n"
    "  --version\n"
    "      shows the version\n"
    "  --help\n"
    "      shows this text\n";

// The help in the terminal's code set.
std::string Usage() {
  return tam::TerminalText(std::string(kUsageHead) +
                           (tam::TerminalShowsJapanese() ? kErrorLineJapanese : kErrorLineAscii) + kUsageTail);
}

int Main(std::vector<std::string> args) {
  if (args.empty()) {
    std::fputs(Usage().c_str(), stderr);
    return tam::cli::kExitUsage;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(Usage().c_str(), stdout);
    return tam::cli::kExitOk;
  }
  if (command == "--version") {
    std::printf("tamberlo (%s) %s\n", tam::kProductName, tam::kVersionText);
    return tam::cli::kExitOk;
  }
  const bool help = !args.empty() && (args[0] == "--help" || args[0] == "-h");
  if (help && (command == "run" || command == "eval")) {
    std::fputs(Usage().c_str(), stdout);
    return tam::cli::kExitOk;
  }
  if (command == "run") return tam::cli::RunCommand(args);
  if (command == "eval") return tam::cli::EvalCommand(args);
  if (command == "settings") return tam::cli::SettingsCommand(args);
  if (command == "check") return tam::cli::CheckCommand(args);
  std::fprintf(stderr, "tamberlo: unknown command '%s'\n\n%s", command.c_str(), Usage().c_str());
  return tam::cli::kExitUsage;
}

[[noreturn]] void OutOfMemory() {
  std::fflush(stdout);
  std::fputs("Out of memory.\n", stderr);
  std::_Exit(tam::cli::kExitError);
}

// Memory that runs out where no handler can take it (in a destructor, in a
// function that may not throw, while the program's objects are set up
// before main) ends the tool the same way instead of an abort. So does an
// end without any exception: that is an exception that could not even be
// allocated, when memory ran out before the runtime set its reserve aside.
[[noreturn]] void Terminate() {
  const std::exception_ptr e = std::current_exception();
  if (!e) OutOfMemory();
  try {
    std::rethrow_exception(e);
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  } catch (const std::length_error&) {
    OutOfMemory();
  } catch (...) {
  }
  std::abort();
}

#if defined(__GNUC__)
// Before every other object of the program is set up.
__attribute__((constructor(101))) void InstallTerminate() { std::set_terminate(Terminate); }
#else
const std::terminate_handler kInstalled = std::set_terminate(Terminate);
#endif

}  // namespace

int main(int argc, char** argv) {
  // Memory that runs out anywhere, from reading the files to printing the
  // reply, ends the tool with a message instead of an abort.
  int status = tam::cli::kExitOk;
  try {
    status = Main(std::vector<std::string>(argv + 1, argv + argc));
    tam::cli::TellShiftJisOutput();
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  } catch (const std::length_error&) {
    OutOfMemory();
  }
  // Output that could not be written (a full disk, a closed stream) is a
  // failure, not a success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "tamberlo: cannot write the output: %s\n", std::strerror(errno));
    return tam::cli::kExitError;
  }
  return status;
}

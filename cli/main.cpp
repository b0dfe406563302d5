// tamberlo: runs reply programs and evaluates expressions outside the mail
// client.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/settings_cmd.h"

namespace {

const char* const kUsage =
    "usage: tamberlo COMMAND [options] ...\n"
    "\n"
    "commands:\n"
    "  run [--vars] [--on-error abort|ignore] [--utf8] [--now TIME] PROGRAM_FILE\n"
    "      runs a reply program (Shift-JIS text) with a fresh variable set.\n"
    "      --vars      print the variables after the run: NAME = TEXT (Type)\n"
    "      --on-error  abort (default) stops at the first run-time error;\n"
    "                  ignore skips the failing line and goes on\n"
    "      --utf8      read the program as UTF-8 and write UTF-8\n"
    "      --now \"YYYY-MM-DD HH:MM:SS[.mmm]\"\n"
    "                  fix the clock (local time) for the whole run\n"
    "      exit 0: done; 1: a run-time error happened; 2: a parse error or bad usage\n"
    "  run [options] [--mail FILE] PROGRAM_FILE, run [options] --bundle FILE\n"
    "      prepares and runs a reply as the plug-in does and prints it (the header,\n"
    "      an empty line, the body; --vars prints the variables instead)\n"
    "      --mail FILE        the referenced mail as stored (default: an empty mail)\n"
    "      --option TEXT      the option line\n"
    "      --account-title, --account-user, --account-address, --account-name TEXT\n"
    "      --bundle FILE      mail, program, option and account from a debug bundle\n"
    "      --tz-bias MINUTES  the time-zone bias of the Date line (Japan: -540)\n"
    "      any of these makes run a reply run\n"
    "  eval [--utf8] [--now TIME] EXPRESSION...\n"
    "      evaluates each expression with one shared variable set and prints\n"
    "      TEXT (Type) per result (one line per element of an array)\n"
    "  settings get|set|export|import ...\n"
    "      reads and writes the plug-in's settings file (tamberlo settings --help)\n"
    "  --help\n"
    "      shows this text\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return tam::cli::kExitUsage;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return tam::cli::kExitOk;
  }
  if (command == "run") return tam::cli::RunCommand(args);
  if (command == "eval") return tam::cli::EvalCommand(args);
  if (command == "settings") return tam::cli::SettingsCommand(args);
  std::fprintf(stderr, "tamberlo: unknown command '%s'\n\n%s", command.c_str(), kUsage);
  return tam::cli::kExitUsage;
}

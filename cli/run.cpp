// tamberlo run: prepares a reply from a mail, runs the reply program over it
// and prints the reply (or the variables).
#include <cstdio>
#include <exception>

#include "cli/cli.h"
#include "cli/environment.h"
#include "cli/run_reply.h"

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
  // Every run prepares a reply: from the given mail, or from an empty one.
  env.Install(out.utf8);
  return reply.Run(file, vars, ignore, out);
}

}  // namespace tam::cli

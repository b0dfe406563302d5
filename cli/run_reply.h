// tamberlo run as a reply run: the options that give the referenced mail,
// the option line, the account and the time-zone bias, and the run that
// prepares the reply, executes the program and prints the reply.
#pragma once

#include <string>
#include <vector>

#include "cli/cli.h"

namespace tam::cli {

class ReplyOptions {
 public:
  // Takes the option at args[i] (and its value) when it is one of ours;
  // returns false when it is not. Sets error on a bad value.
  bool Take(const std::vector<std::string>& args, std::size_t& i, std::string& error);
  // Whether any of our options was given: the run then prepares a reply.
  bool Active() const { return active_; }

  // Prepares and runs the reply of programFile (empty with --bundle) and
  // prints the reply, or the variables with vars. Returns the exit code.
  int Run(const std::string& programFile, bool vars, bool ignore, const Output& out) const;

 private:
  bool active_ = false;
  std::string mailFile_, bundleFile_;
  bool haveOption_ = false, haveAccount_[4] = {false, false, false, false};
  std::string option_, account_[4];
  bool haveBias_ = false;
  int bias_ = 0;
};

}  // namespace tam::cli

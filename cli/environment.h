// Options that set up the world a run sees: a fixed clock (--now) and the
// answers of dialogs (--answer). Installed for the whole command.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tam::cli {

class Environment {
 public:
  Environment();
  ~Environment();
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;

  // Takes the option at args[i] (and its value) when it is one of ours;
  // returns false when it is not. Sets error on a bad value.
  bool Take(const std::vector<std::string>& args, std::size_t& i, std::string& error);
  // Installs the platform that the options ask for; utf8: the answers were
  // given as UTF-8.
  void Install(bool utf8 = false);

 private:
  bool haveNow_ = false;
  LocalTime now_;
  std::vector<std::string> answers_;
  bool haveAnswers_ = false;
  std::vector<std::unique_ptr<Platform>> layers_;
};

}  // namespace tam::cli

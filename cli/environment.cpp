#include "cli/environment.h"

#include "platform/fixed_clock.h"

namespace tam::cli {

Environment::Environment() = default;

Environment::~Environment() { SetPlatform(nullptr); }

bool Environment::Take(const std::vector<std::string>& args, std::size_t& i, std::string& error) {
  const std::string& a = args[i];
  if (a == "--now") {
    if (i + 1 >= args.size() || !FixedClockPlatform::Parse(args[i + 1], now_)) {
      error = "--now takes \"YYYY-MM-DD HH:MM:SS[.mmm]\"";
      return true;
    }
    haveNow_ = true;
    ++i;
    return true;
  }
  return false;
}

void Environment::Install() {
  Platform* top = &DefaultPlatform();
  if (haveNow_) {
    layers_.push_back(std::make_unique<FixedClockPlatform>(*top, now_));
    top = layers_.back().get();
  }
  SetPlatform(top == &DefaultPlatform() ? nullptr : top);
}

}  // namespace tam::cli

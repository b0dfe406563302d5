#include "cli/environment.h"

#include "platform/answers.h"
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
  if (a == "--answer") {
    if (i + 1 >= args.size()) {
      error = "--answer takes a text";
      return true;
    }
    answers_.push_back(args[++i]);
    haveAnswers_ = true;
    return true;
  }
  return false;
}

void Environment::Install(bool utf8) {
  Platform* top = &DefaultPlatform();
  if (haveAnswers_) {
    std::vector<std::string> answers;
    for (const std::string& a : answers_) answers.push_back(utf8 ? Utf8ToSjis(a) : a);
    layers_.push_back(std::make_unique<AnswerPlatform>(*top, std::move(answers)));
    top = layers_.back().get();
  }
  if (haveNow_) {
    layers_.push_back(std::make_unique<FixedClockPlatform>(*top, now_));
    top = layers_.back().get();
  }
  SetPlatform(top == &DefaultPlatform() ? nullptr : top);
}

}  // namespace tam::cli

#include "tests/scripts/script_hooks.h"

#include "platform/answers.h"
#include "tests/scripts/clock_hooks.h"
#include "tests/scripts/mail_hooks.h"

namespace tam {

namespace {

// Under the prepared answers: every further dialog is cancelled, so that no
// test waits for a person.
class NoDialogPlatform : public ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;
  int MessageBox(const std::string&, const std::string&, unsigned) override { return 2; }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> SelectDirectory(const std::string&, bool) override { return std::nullopt; }
};

void AnswerDirective(const std::string& line, ScriptSetup& setup) {
  const std::string prefix = "' answer:";
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0) return;
  std::string value = line.substr(start + prefix.size());
  if (!value.empty() && value[0] == ' ') value.erase(0, 1);
  while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
  setup.directives["answer"].push_back(value);
}

}  // namespace

void ScriptDirective(const std::string& line, ScriptSetup& setup) {
  ClockDirective(line, setup);
  MailDirective(line, setup);
  AnswerDirective(line, setup);
}

ScriptEnvironment::ScriptEnvironment(const ScriptSetup& setup)
    : setup_(setup), clock_(std::make_unique<ClockScriptHook>(setup)) {
  auto given = setup.directives.find("answer");
  if (given == setup.directives.end()) return;
  std::vector<std::string> answers;
  for (const std::string& a : given->second) answers.push_back(Utf8ToSjis(a));
  beforeAnswers_ = &platform();
  noDialogs_ = std::make_unique<NoDialogPlatform>(*beforeAnswers_);
  answers_ = std::make_unique<AnswerPlatform>(*noDialogs_, std::move(answers));
  SetPlatform(answers_.get());
}

ScriptEnvironment::~ScriptEnvironment() {
  mail_.reset();
  if (beforeAnswers_) SetPlatform(beforeAnswers_);
}

void ScriptEnvironment::Install(TCalc& calc, TVariableSet& set) {
  mail_ = MailScriptHook::For(setup_);
  if (mail_) mail_->Install(calc, set);
}

void ScriptEnvironment::Collect(std::vector<std::string>& output) {
  if (mail_) mail_->Collect(output);
}

}  // namespace tam

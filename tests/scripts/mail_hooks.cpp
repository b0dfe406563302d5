#include "tests/scripts/mail_hooks.h"

#include <fstream>
#include <sstream>

#include "engine/text_lines.h"
#include "mail/mail_functions.h"
#include "mail/mail_text.h"
#include "mail/reply.h"

namespace tam {

namespace {

const char* const kNames[] = {"mail",         "option", "account-title", "account-user", "account-address",
                              "account-name", "tz-bias"};

// The clock of the Date line: the script's ' now: when it has one (the clock
// hook has installed it), else a fixed default; and the given bias.
class ClockAndZone : public FixedClockPlatform {
 public:
  ClockAndZone(Platform& inner, const LocalTime& now, int bias) : FixedClockPlatform(inner, now), bias_(bias) {}
  int TimeZoneBias() override { return bias_; }

 private:
  int bias_;
};

std::string Get(const ScriptSetup& setup, const std::string& name, const std::string& otherwise = "") {
  auto it = setup.directives.find(name);
  return it == setup.directives.end() || it->second.empty() ? otherwise : it->second.back();
}

// Under Wine the source tree is reached through drive Z:.
#ifdef _WIN32
constexpr const char* kSourceRoot = "Z:" TAM_SOURCE_DIR;
#else
constexpr const char* kSourceRoot = TAM_SOURCE_DIR;
#endif

std::string ReadMail(const ScriptSetup& setup, const std::string& name) {
  std::ifstream in(std::string(kSourceRoot) + "/" + setup.mailFolder + "/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return setup.utf8Mails ? Utf8ToSjis(s.str()) : s.str();
}

}  // namespace

bool MailDirective(const std::string& line, ScriptSetup& setup) {
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos || line.compare(start, 2, "' ") != 0) return false;
  for (const char* name : kNames) {
    const std::string prefix = std::string("' ") + name + ":";
    if (line.compare(start, prefix.size(), prefix) != 0) continue;
    std::string value = line.substr(start + prefix.size());
    if (!value.empty() && value[0] == ' ') value.erase(0, 1);
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    setup.directives[name].push_back(value);
    return true;
  }
  return false;
}

std::unique_ptr<MailScriptHook> MailScriptHook::For(const ScriptSetup& setup) {
  for (const char* name : kNames)
    if (setup.directives.count(name)) return std::make_unique<MailScriptHook>(setup);
  return nullptr;
}

MailScriptHook::MailScriptHook(const ScriptSetup& setup) : setup_(setup), previous_(&platform()) {
  LocalTime now;
  if (setup.directives.count("now"))
    now = previous_->Now();
  else
    FixedClockPlatform::Parse("2026-12-06 09:05:03", now);
  clock_ = std::make_unique<ClockAndZone>(*previous_, now, std::stoi(Get(setup, "tz-bias", "-540")));
  SetPlatform(clock_.get());
}

MailScriptHook::~MailScriptHook() { SetPlatform(previous_); }

void MailScriptHook::Install(TCalc& calc, TVariableSet& set) {
  const std::string file = Get(setup_, "mail");
  PrepareMail(mail_, SplitTextLines(file.empty() ? std::string() : ReadMail(setup_, file)));
  ReplyAccount account{Utf8ToSjis(Get(setup_, "account-title")), Utf8ToSjis(Get(setup_, "account-user")),
                       Utf8ToSjis(Get(setup_, "account-address")), Utf8ToSjis(Get(setup_, "account-name"))};
  DefinePredefinedVariables(set, Utf8ToSjis(Get(setup_, "option")), account);
  calc.SetFunctionHandler(MailFunctionHandler(mail_), MailFunctionResolver(mail_));
}

void MailScriptHook::Collect(std::vector<std::string>& output) {
  for (const std::string& line : StoredReply(mail_.ReplyHeader, mail_.ReplyBody)) {
    std::string shown;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n') ++i;
      shown += line[i] == '\r' || line[i] == '\n' ? std::string("\\n") : std::string(1, line[i]);
    }
    // An expected line loses its trailing blanks: a line that ends in one is
    // shown in brackets.
    const bool blankEnd = !shown.empty() && static_cast<unsigned char>(shown.back()) <= 0x20;
    if (blankEnd) shown = "[" + shown + "]";
    output.push_back(shown.empty() ? "reply:" : "reply: " + SjisToUtf8(shown));
  }
}

}  // namespace tam

#include "cli/run_reply.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "engine/text_lines.h"
#include "mail/reply.h"
#include "platform/forwarding.h"
#include "platform/platform.h"
#include "settings/debug_bundle.h"

namespace tam::cli {

namespace {

const char* const kAccountOptions[4] = {"--account-title", "--account-user", "--account-address", "--account-name"};

// The platform of the run with another time-zone bias.
class BiasPlatform : public ForwardingPlatform {
 public:
  BiasPlatform(Platform& inner, int bias) : ForwardingPlatform(inner), bias_(bias) {}
  int TimeZoneBias() override { return bias_; }

 private:
  int bias_;
};

bool ParseBias(const std::string& text, int& bias) {
  if (text.empty()) return false;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || v < -24 * 60 || v > 24 * 60) return false;
  bias = static_cast<int>(v);
  return true;
}

}  // namespace

bool ReplyOptions::Take(const std::vector<std::string>& args, std::size_t& i, std::string& error) {
  const std::string& a = args[i];
  std::string* target = nullptr;
  bool* flag = nullptr;
  if (a == "--mail") {
    target = &mailFile_;
  } else if (a == "--bundle") {
    target = &bundleFile_;
  } else if (a == "--option") {
    target = &option_;
    flag = &haveOption_;
  } else if (a == "--tz-bias") {
    if (i + 1 >= args.size() || !ParseBias(args[i + 1], bias_)) {
      error = "--tz-bias takes minutes between -1440 and 1440 (Japan: -540)";
      return true;
    }
    haveBias_ = active_ = true;
    ++i;
    return true;
  } else {
    for (int k = 0; k < 4; ++k)
      if (a == kAccountOptions[k]) {
        target = &account_[k];
        flag = &haveAccount_[k];
      }
    if (!target) return false;
  }
  if (i + 1 >= args.size()) {
    error = a + " takes a value";
    return true;
  }
  *target = args[++i];
  if (flag) *flag = true;
  active_ = true;
  return true;
}

int ReplyOptions::Run(const std::string& programFile, bool vars, bool ignore, const Output& out) const {
  const auto input = [&](const std::string& text) { return out.utf8 ? Utf8ToSjis(text) : text; };
  if (bundleFile_.empty() == programFile.empty()) {
    std::fprintf(stderr, "tamberlo run: give either a program file or --bundle FILE\n");
    return kExitUsage;
  }
  std::string program, mailText, option;
  ReplyAccount account;
  if (!bundleFile_.empty()) {
    std::string text, why;
    if (!ReadFile(bundleFile_, text, why)) {
      std::fprintf(stderr, "tamberlo run: cannot read '%s': %s\n", bundleFile_.c_str(), why.c_str());
      return kExitUsage;
    }
    DebugBundle b;
    ReadBundleText(input(text), b);
    program = JoinTextLines(b.program);
    mailText = JoinTextLines(b.mail);
    option = b.option;
    account = {b.accountTitle, b.accountUser, b.accountAddress, b.accountName};
  } else {
    std::string why;
    if (!ReadFile(programFile, program, why)) {
      std::fprintf(stderr, "tamberlo run: cannot read '%s': %s\n", programFile.c_str(), why.c_str());
      return kExitUsage;
    }
    program = out.utf8 ? Utf8ToSjis(DropByteOrderMark(program)) : program;
    if (!out.utf8 && LooksLikeUtf8(program))
      std::fprintf(stderr, "tamberlo run: '%s' looks like UTF-8 text, but is read as Shift-JIS: give --utf8\n",
                   programFile.c_str());
  }
  // The mail as the program reads it: the file's bytes in place, or a text
  // of the bundle or of the conversion.
  FileBytes mailBytes;
  std::string_view mail = mailText;
  if (!mailFile_.empty()) {
    std::string why;
    if (!mailBytes.Read(mailFile_, why)) {
      std::fprintf(stderr, "tamberlo run: cannot read '%s': %s\n", mailFile_.c_str(), why.c_str());
      return kExitUsage;
    }
    mail = mailBytes.View();
    if (out.utf8) {
      mailText = Utf8ToSjis(DropByteOrderMark(std::string(mail)));
      mailBytes.Close();
      mail = mailText;
    }
  }
  // Options given on the command line win over the bundle's values.
  if (haveOption_) option = input(option_);
  std::string* fields[4] = {&account.title, &account.user, &account.address, &account.name};
  for (int k = 0; k < 4; ++k)
    if (haveAccount_[k]) *fields[k] = input(account_[k]);

  BiasPlatform biased(platform(), bias_);
  Platform* previous = &platform();
  if (haveBias_) SetPlatform(&biased);

  // The mail's bytes outlive the session, which reads the body from them.
  TReplySession session;
  const std::string loadError = session.PrepareText(mail, program, option, account, true);
  if (!loadError.empty()) {
    SetPlatform(previous);
    out.Err(ToLf(loadError));
    return kExitUsage;
  }
  bool failed = false;
  const auto report = [&](int line, const std::string& message) {
    failed = true;
    out.Err(std::to_string(line) + "行目でエラーです。");
    out.Err(ToLf(message));
  };
  const ReplyRunReport run = session.RunInPlace([&](int line, const std::string& text) {
    report(line, text);
    return ignore ? ErrorChoice::kIgnore : ErrorChoice::kAbort;
  });
  SetPlatform(previous);
  if (run.faulted) report(run.faultLine, "Fault: " + run.fault);

  if (vars) {
    for (int i = 0; i < session.Variables.Count(); ++i)
      out.Out(session.Variables.GetName(i) + " = " + Describe(session.Variables.GetValueAt(i)));
  } else {
    // As the plug-in stores it: an empty line between header and body unless
    // the header is empty or already ends in one.
    const LineList& header = session.Mail.ReplyHeader;
    const LineStore& body = session.Mail.ReplyBody;
    out.OutLines(header);
    if (!header.empty() && !header.back().empty()) out.Out("");
    if (out.utf8 || body.Borrowed()) {
      out.OutLines(body);
    } else {
      out.OutText(body.Text());
    }
  }
  return failed ? kExitError : kExitOk;
}

}  // namespace tam::cli

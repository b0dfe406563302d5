#include <new>
#include <utility>

#include "engine/sjis.h"
#include "library/library.h"
#include "mail/header.h"
#include "mail/mail_functions.h"
#include "mail/part_walk.h"
#include "mail/reply.h"
#include "mail/reply_date.h"

namespace tam {

namespace {

void DefineReadOnly(TVariableSet& set, const std::string& name, const Value& value) {
  set.SetValue(name, value);
  set.SetReadOnly(name, true);
}

// walk(mail) fills the referenced-mail members from the caller's lines or text.
template <class Walk>
void PrepareMailWith(TMailState& mail, const Walk& walk) {
  mail.Clear();
  walk(mail);
  std::string to = LookupHeaderValue(mail.RefHeader, "REPLY-TO:");
  if (to.empty()) to = LookupHeaderValue(mail.RefHeader, "FROM:");
  mail.ReplyHeader.push_back("To: " + to);
  mail.ReplyHeader.push_back("Subject: Re: " + LookupHeaderValue(mail.RefHeader, "SUBJECT:"));
  mail.ReplyHeader.push_back("Date: " + ReplyDateNow());
}

// The mail is prepared; the variables are defined and the program loaded.
std::string LoadReplyProgram(TCalc& calc, TVariableSet& set, TMailState& mail, const std::string& program,
                             const std::string& optionLine, const ReplyAccount& account) {
  DefinePredefinedVariables(set, optionLine, account);
  calc.Reset();
  calc.LoadProgram(program);
  calc.SetVariables(&set);
  calc.SetFunctionHandler(MailFunctionHandler(mail), MailFunctionResolver(mail));
  calc.SetBuiltinHandler(BuiltinFunction, ResolveBuiltin);
  return calc.Error() ? calc.ErrorText() : std::string();
}

}  // namespace

void PrepareMail(TMailState& mail, const LineList& mailLines) {
  PrepareMailWith(mail, [&](TMailState& m) { WalkMail(mailLines, m); });
}

void PrepareMail(TMailState& mail, LineList&& mailLines) { PrepareMail(mail, static_cast<const LineList&>(mailLines)); }

void PrepareMailText(TMailState& mail, std::string_view mailText, bool keepsText) {
  PrepareMailWith(mail, [&](TMailState& m) { WalkMailText(mailText, m, keepsText); });
}

void DefinePredefinedVariables(TVariableSet& set, const std::string& optionLine, const ReplyAccount& account) {
  set.Clear();
  // Words are separated by blanks (runs of them count as one); a tab is part
  // of a word unless it stands at either end of the rest.
  std::string rest = Trim(optionLine);
  int count = 0;
  while (!rest.empty()) {
    const std::size_t blank = rest.find(' ');
    DefineReadOnly(set, "Option(" + std::to_string(count++) + ")", Value::Str(rest.substr(0, blank)));
    rest = blank == std::string::npos ? std::string() : Trim(rest.substr(blank + 1));
  }
  DefineReadOnly(set, "OptionCount", Value::Int(count));
  DefineReadOnly(set, "AccountTitle", Value::Str(account.title));
  DefineReadOnly(set, "AccountUser", Value::Str(account.user));
  DefineReadOnly(set, "AccountAddress", Value::Str(account.address));
  DefineReadOnly(set, "AccountName", Value::Str(account.name));
}

std::string PrepareReply(TCalc& calc, TVariableSet& set, TMailState& mail, const LineList& mailLines,
                         const std::string& program, const std::string& optionLine, const ReplyAccount& account) {
  try {
    PrepareMail(mail, mailLines);
  } catch (const std::bad_alloc&) {
    mail.Clear();
    return "Out of memory: the mail is too large to be read.";
  }
  return LoadReplyProgram(calc, set, mail, program, optionLine, account);
}

std::string PrepareReply(TCalc& calc, TVariableSet& set, TMailState& mail, LineList&& mailLines,
                         const std::string& program, const std::string& optionLine, const ReplyAccount& account) {
  return PrepareReply(calc, set, mail, static_cast<const LineList&>(mailLines), program, optionLine, account);
}

std::string PrepareReplyText(TCalc& calc, TVariableSet& set, TMailState& mail, std::string_view mailText,
                             const std::string& program, const std::string& optionLine, const ReplyAccount& account,
                             bool keepsText) {
  try {
    PrepareMailText(mail, mailText, keepsText);
  } catch (const std::bad_alloc&) {
    mail.Clear();
    throw;
  }
  return LoadReplyProgram(calc, set, mail, program, optionLine, account);
}

}  // namespace tam

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

// The walk copies or moves the body lines, as the caller's lines allow.
template <class Lines>
void PrepareMailFrom(TMailState& mail, Lines&& mailLines) {
  mail.Clear();
  WalkMail(std::forward<Lines>(mailLines), mail);
  std::string to = LookupHeaderValue(mail.RefHeader, "REPLY-TO:");
  if (to.empty()) to = LookupHeaderValue(mail.RefHeader, "FROM:");
  mail.ReplyHeader.push_back("To: " + to);
  mail.ReplyHeader.push_back("Subject: Re: " + LookupHeaderValue(mail.RefHeader, "SUBJECT:"));
  mail.ReplyHeader.push_back("Date: " + ReplyDateNow());
}

template <class Lines>
std::string PrepareReplyFrom(TCalc& calc, TVariableSet& set, TMailState& mail, Lines&& mailLines,
                             const std::string& program, const std::string& optionLine, const ReplyAccount& account) {
  try {
    PrepareMailFrom(mail, std::forward<Lines>(mailLines));
  } catch (const std::bad_alloc&) {
    mail.Clear();
    return "Out of memory: the mail is too large to be read.";
  }
  DefinePredefinedVariables(set, optionLine, account);
  calc.Reset();
  calc.LoadProgram(program);
  calc.SetVariables(&set);
  calc.SetFunctionHandler(MailFunctionHandler(mail), MailFunctionResolver(mail));
  calc.SetBuiltinHandler(BuiltinFunction, ResolveBuiltin);
  return calc.Error() ? calc.ErrorText() : std::string();
}

}  // namespace

void PrepareMail(TMailState& mail, const LineList& mailLines) { PrepareMailFrom(mail, mailLines); }

void PrepareMail(TMailState& mail, LineList&& mailLines) { PrepareMailFrom(mail, std::move(mailLines)); }

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
  return PrepareReplyFrom(calc, set, mail, mailLines, program, optionLine, account);
}

std::string PrepareReply(TCalc& calc, TVariableSet& set, TMailState& mail, LineList&& mailLines,
                         const std::string& program, const std::string& optionLine, const ReplyAccount& account) {
  return PrepareReplyFrom(calc, set, mail, std::move(mailLines), program, optionLine, account);
}

}  // namespace tam

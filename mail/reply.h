// One referenced mail and one reply program give one reply: the preparation
// (mail walked, reply started, predefined variables defined, program loaded)
// and the run (program executed, run-time errors decided by the caller).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/calc.h"
#include "engine/variables.h"
#include "mail/mail_state.h"

namespace tam {

// Data of the mail client's current account.
struct ReplyAccount {
  std::string title, user, address, name;
};

// Empties the state, walks the mail and writes the To, Subject and Date lines
// of the reply.
void PrepareMail(TMailState& mail, const LineList& mailLines);
void PrepareMail(TMailState& mail, LineList&& mailLines);
// The same from the stored mail's text (lines end in CR LF, CR or LF), read
// in place. keepsText: the caller keeps the text unchanged until the state is
// cleared or prepared again, and the body's lines are read from it where they
// stand instead of copied.
void PrepareMailText(TMailState& mail, std::string_view mailText, bool keepsText = false);

// Deletes every variable, then defines Option(0), Option(1), ... from the
// words of the option line, OptionCount and the four account variables, all
// read-only.
void DefinePredefinedVariables(TVariableSet& set, const std::string& optionLine, const ReplyAccount& account);

// The whole preparation: PrepareMail, DefinePredefinedVariables, then the
// program loaded into calc with set and the mail functions installed.
// Returns the engine's error text when the program does not parse (or when
// the mail could not be held in memory), else the empty text.
std::string PrepareReply(TCalc& calc, TVariableSet& set, TMailState& mail, const LineList& mailLines,
                         const std::string& program, const std::string& optionLine, const ReplyAccount& account);
std::string PrepareReply(TCalc& calc, TVariableSet& set, TMailState& mail, LineList&& mailLines,
                         const std::string& program, const std::string& optionLine, const ReplyAccount& account);
// The same from the stored mail's text; memory that runs out while the mail
// is read passes on as std::bad_alloc (the state emptied).
std::string PrepareReplyText(TCalc& calc, TVariableSet& set, TMailState& mail, std::string_view mailText,
                             const std::string& program, const std::string& optionLine, const ReplyAccount& account,
                             bool keepsText = false);

// What the user decides on a run-time error: end the run, run the failing
// line again, or go on after it.
enum class ErrorChoice { kAbort, kRetry, kIgnore };
// Asked with the number of the failing line (from 1) and the error text.
using ErrorDecision = std::function<ErrorChoice(int lineNumber, const std::string& errorText)>;

// The plug-in's question: a task-modal message box with Abort, Retry and
// Ignore (Retry the default) through platform().MessageBox. A box that could
// not be shown counts as Abort.
ErrorChoice AskByMessageBox(int lineNumber, const std::string& errorText);
// The same box with the caller's own text.
ErrorChoice AskRunTimeError(const std::string& text);

// How a run ended. A fault is an exception that passed out of the engine (an
// arithmetic fault, memory exhausted, ...): it ends the run at faultLine.
struct ReplyRunReport {
  bool faulted = false;
  int faultLine = 0;
  std::string fault;
};

// Called with true before the engine runs and with false when it stops (also
// when a fault ends the run): the plug-in shows the hourglass cursor.
using BusyIndicator = std::function<void(bool busy)>;

// Runs the prepared program until it finishes, asking decide on every
// run-time error; then header and body receive copies of the reply's lines,
// also after a fault.
ReplyRunReport RunReply(TCalc& calc, const TMailState& mail, LineList& header, LineList& body,
                        const ErrorDecision& decide, const BusyIndicator& busy = nullptr);
// The same for a caller that is done with the state after the run: the
// reply's header lines are moved out of it, its body lines leave it.
ReplyRunReport RunReplyTakingLines(TCalc& calc, TMailState& mail, LineList& header, LineList& body,
                                   const ErrorDecision& decide, const BusyIndicator& busy = nullptr);

// Runs the prepared program until it finishes as RunReply does; the reply
// stays in the mail state, where the caller reads it.
ReplyRunReport RunReplyInPlace(TCalc& calc, const ErrorDecision& decide, const BusyIndicator& busy = nullptr);

// The engine, variable set and mail state that serve one reply after the
// other (the plug-in keeps one for its whole life).
struct TReplySession {
  TVariableSet Variables;
  TMailState Mail;
  TCalc Calc;  // last: it goes first and refers to the two above

  std::string Prepare(const LineList& mailLines, const std::string& program, const std::string& optionLine,
                      const ReplyAccount& account) {
    return PrepareReply(Calc, Variables, Mail, mailLines, program, optionLine, account);
  }
  std::string Prepare(LineList&& mailLines, const std::string& program, const std::string& optionLine,
                      const ReplyAccount& account) {
    return PrepareReply(Calc, Variables, Mail, std::move(mailLines), program, optionLine, account);
  }
  std::string PrepareText(std::string_view mailText, const std::string& program, const std::string& optionLine,
                          const ReplyAccount& account, bool keepsText = false) {
    return PrepareReplyText(Calc, Variables, Mail, mailText, program, optionLine, account, keepsText);
  }
  ReplyRunReport Run(LineList& header, LineList& body, const ErrorDecision& decide,
                     const BusyIndicator& busy = nullptr) {
    return RunReply(Calc, Mail, header, body, decide, busy);
  }
  // The last run of the session: the reply's lines leave Mail.
  ReplyRunReport RunTakingLines(LineList& header, LineList& body, const ErrorDecision& decide,
                                const BusyIndicator& busy = nullptr) {
    return RunReplyTakingLines(Calc, Mail, header, body, decide, busy);
  }
  // A run whose reply is read from Mail afterwards.
  ReplyRunReport RunInPlace(const ErrorDecision& decide, const BusyIndicator& busy = nullptr) {
    return RunReplyInPlace(Calc, decide, busy);
  }
};

// One reply from texts, for the command-line tool: the stored mail (lines end
// in CR LF, CR or LF), the program, the option line and the account.
struct ReplyResult {
  std::string loadError;  // not empty: the program did not load and nothing ran
  LineList header, body;
  ReplyRunReport run;
};
ReplyResult ComposeReplyFromText(std::string mailText, const std::string& program, const std::string& optionLine,
                                 const ReplyAccount& account, const ErrorDecision& decide);

}  // namespace tam

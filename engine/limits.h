// Every bound the engine imposes, in one place. A program or a mail that
// reaches one of them ends in an ordinary run-time error, never a crash.
//
// The bounds that live with their own code elsewhere, and what reaching them
// gives (tests/engine/limits_test.cpp and the tests named reach each one):
//
// Engine
// - kStackBudget below: expressions nested in parentheses, operators, calls
//   and EVALUATE, and user function calls made where an expression cannot
//   wait for them (loop bounds, element names, EVALUATE, CITE, the host)
//   -> kTooDeepText.
// - kMaxCallDepth below: user function calls running at once; those made by
//   assignments, IF conditions and RESULT run as frames of the statement loop
//   without taking stack -> kTooDeepText.
// - kCompileWork below: splitting one expression text -> kTooDeepText.
// - Loop passes: a FOR or DO loop without MAX stops after TCalc::MaxLoop()
//   passes (100 unless the host sets another); with MAX after that many.
// - kMaxCiteElements below: the range of one CITE -> kNoMemoryText.
// - TCalc::SetStatementBudget: statements (and CITE's element reads) of one
//   run, for hosts that must not wait (the fuzzers); the plug-in and the
//   debugger set none -> kBudgetText.
// - Memory: std::bad_alloc inside a statement -> kNoMemoryText.
// - eval.cpp kMaxStoredExpressions: compiled expressions kept per program;
//   beyond it texts are compiled again, nothing observable.
//
// Library
// - text.cpp kMaxTextResult (64 MB): a text result of STRINGREPEAT, INTTOHEXN
//   and the other text builders -> kNoMemoryText.
// - formatdate.h kMaxDateText (256 bytes): FORMATDATETIME's output is cut;
//   kMaxDayCount (1e9 days): farther dates have no calendar; the date
//   functions that read one raise invalid operation.
// - formatfloat.cpp kMaxDigits (18): digits a number picture shows.
// - mask.cpp kMatchBudget (20 million steps): a mask and name that would take
//   longer fail the matching with an engine fault.
// - listing.cpp kMaxDepth (4096): folder levels a recursive listing descends.
//
// Mail and plug-in
// - The MIME walk has no depth bound: it runs without recursion in time linear
//   in the mail (tests/mail/hostile_mail_test.cpp). A mail too large to hold
//   fails the preparation with "Out of memory: the mail is too large to be
//   read." (mail/reply_prepare.cpp).
// - debug_bundle.cpp: a bundle file too large to hold reads as missing.
// - mailbox.cpp kMaxSelected (100000): selected entries read from the host.
// - reply_command.cpp kMaxMails (10): mails one reply command takes (more is
//   refused with a message); reply_settings.h kMaxPrograms (100) and
//   kMaxOptionLines (99): menu items; host_windows.cpp kMaxTopLevel (65536):
//   windows searched for the main window; send_watch.cpp kAddressLimit (10):
//   characters of a send window's address field read to recognise it.
// - posix_dialogs.cpp kMaxAnswer (64 KB): an answer typed to a dialog of the
//   command-line tool is cut.
#pragma once

#include <cstddef>
#include <stdexcept>

namespace tam {

// Stack the engine may use below its outermost entry (Step, Run, Evaluate),
// counting every nested expression, parenthesis and user function call. The
// plug-in runs on the mail client's thread, whose stack is 1 MB on Windows.
constexpr std::size_t kStackBudget = 384 * 1024;

// User function calls that may run at once. A frame takes its locals and
// loop records on the heap; the bound keeps a runaway recursion small.
constexpr int kMaxCallDepth = 4000;

// Characters that the splitting of one expression text may scan, counting
// the texts inside its parentheses and arguments again, so that a deeply
// nested text cannot take quadratic time.
constexpr std::size_t kCompileWork = 8 * 1024 * 1024;

// Elements that one CITE may read; a longer range is kNoMemoryText at once
// (an array that long would take gigabytes and hours to build).
constexpr std::size_t kMaxCiteElements = 1u << 20;

// Text of the run-time error when a budget is exhausted.
constexpr const char* kTooDeepText = "Program nested too deeply (expressions or function calls).";
// Text of the run-time error when memory runs out inside a statement.
constexpr const char* kNoMemoryText = "Out of memory.";

// Text of the run-time error when a host's statement budget is spent
// (TCalc::SetStatementBudget; the plug-in and the debugger set none).
constexpr const char* kBudgetText = "Statement budget exhausted.";

// Thrown when the statement budget is spent; it passes up like NestingTooDeep.
struct BudgetExhausted : std::runtime_error {
  BudgetExhausted() : std::runtime_error(kBudgetText) {}
};

// Thrown when the stack budget is exhausted; it passes through nested
// engines and becomes a run-time error of the outermost engine's line.
struct NestingTooDeep : std::runtime_error {
  NestingTooDeep() : std::runtime_error(kTooDeepText) {}
};

// Marks the outermost engine entry of this thread for the stack budget.
class StackGuard {
 public:
  StackGuard();
  ~StackGuard();
  StackGuard(const StackGuard&) = delete;
  StackGuard& operator=(const StackGuard&) = delete;

 private:
  bool outermost_;
};

// Throws NestingTooDeep when the stack budget is exhausted.
void CheckStack();

}  // namespace tam

// Every bound the engine imposes, in one place. A program or a mail that
// reaches one of them ends in an ordinary run-time error, never a crash.
#pragma once

#include <cstddef>
#include <stdexcept>

namespace tam {

// Stack the engine may use below its outermost entry (Step, Run, Evaluate),
// counting every nested expression, parenthesis and user function call. The
// plug-in runs on the mail client's thread, whose stack is 1 MB on Windows.
constexpr std::size_t kStackBudget = 384 * 1024;

// Characters that the splitting of one expression text may scan, counting
// the texts inside its parentheses and arguments again, so that a deeply
// nested text cannot take quadratic time.
constexpr std::size_t kCompileWork = 8 * 1024 * 1024;

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

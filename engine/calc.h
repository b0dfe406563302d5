// TCalc: the engine object that loads, parses and runs one reply program.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/statements.h"
#include "engine/value.h"
#include "engine/variables.h"

namespace tam {

// Library calling convention: (name as written, arguments, var result,
// var found) -> success. Arguments are Empty for "()", Integer 0 for a bare
// word, otherwise an array.
using FunctionLibrary = std::function<bool(const std::string& name, const Value& args, Value& result, bool& found)>;

struct Expr;
struct Program;
class ExternalLibraries;

class TCalc {
 public:
  TCalc();
  ~TCalc();
  TCalc(const TCalc&) = delete;
  TCalc& operator=(const TCalc&) = delete;

  void SetVariables(TVariableSet* set);
  TVariableSet* Variables() const { return Outermost(&CallerState::vars, vars_); }
  void SetOnBeforeSet(BeforeSetHandler h);
  void SetOnChange(ChangeHandler h);
  void SetFunctionHandler(FunctionLibrary h) { functionHandler_ = std::move(h); }
  // The built-in library, consulted last (the engine does not link it itself).
  void SetBuiltinHandler(FunctionLibrary h) { builtinHandler_ = std::move(h); }
  const FunctionLibrary& FunctionHandler() const { return functionHandler_; }
  const FunctionLibrary& BuiltinHandler() const { return builtinHandler_; }
  void SetMaxLoop(int n);
  int MaxLoop() const { return maxLoop_; }
  // Bounds the statements that this engine and the user functions it calls
  // may still execute, CITE's element reads counted as statements (0: no
  // bound); past it every statement is the run-time error kBudgetText. For
  // hosts that must never wait long, such as fuzzers.
  void SetStatementBudget(long long n);
  // Asks poll after every `every` statements of this engine and the user
  // functions it calls, CITE's element reads counted as under the budget.
  // While poll answers true the run goes on; false ends the statement as the
  // run-time error kBudgetText. For a host that lets the user stop a run.
  // Replaces any budget; every <= 0 or an empty poll sets neither.
  void SetStatementPoll(long long every, std::function<bool()> poll);
  // Searches the folder for external function libraries (none when empty);
  // the folder is kept ending in the path delimiter.
  void SetExternalFolder(const std::string& path);
  const std::string& ExternalFolder() const { return externalFolder_; }

  void LoadProgram(const std::string& text);
  void Reset();
  void Step();
  void Run();
  void Stop();
  void Retry();
  void Skip();

  Value Evaluate(const std::string& text);
  Value EvaluateStatement(const std::string& text);
  bool CallFunction(const std::string& name, const Value& args, Value& result);
  // The variable name of a written reference such as T(I, J+1).
  std::string ElementName(const std::string& text);

  // The state of the program's own statements, also while a user function
  // it called runs.
  int CurrentLine() const { return Outermost(&CallerState::currentLine, currentLine_); }
  int NextLine() const { return Outermost(&CallerState::nextLine, nextLine_); }
  bool Error() const { return Outermost(&CallerState::error, error_); }
  const std::string& ErrorText() const { return Outermost(&CallerState::errorText, errorText_); }
  bool Finished() const { return Outermost(&CallerState::finished, finished_); }
  const Value& Result() const { return Outermost(&CallerState::result, result_); }
  int LineCount() const;
  const std::vector<std::string>& Lines() const;
  const std::vector<TFrameInfo>& Frames() const;

  // Error state as the evaluator sets it. SetErrorOnce keeps an earlier text;
  // SetErrorReplace replaces it.
  void SetErrorOnce(const std::string& text);
  void SetErrorReplace(const std::string& text);

 private:
  // Run-time state of a loop record: its passes and bounds, and where its
  // variable was found.
  struct LoopState {
    unsigned Call = 0;  // the call whose record this is
    VarSlot Slot;
    int Passes = 0;
    int Limit = 0;
    Value StepValue;
    Value EndValue;
  };

  explicit TCalc(std::shared_ptr<Program> program);

  // What a user function call sets aside of its caller while it runs.
  struct CallerState {
    TVariableSet* vars = nullptr;
    int currentLine = 0;
    int nextLine = 0;
    bool error = false;
    bool finished = false;
    std::string errorText;
    Value result;
    unsigned call = 0;
  };
  // A user function call runs as a frame of this engine: its locals and loop
  // records, kept for the next call at the same depth, and its caller's state.
  struct CallFrame {
    TVariableSet locals;
    std::vector<LoopState> loops;
    CallerState caller;
  };
  class EnterCall;

  template <class T>
  const T& Outermost(T CallerState::*field, const T& own) const {
    return callDepth_ > 0 ? frames_[0]->caller.*field : own;
  }

  void ExecuteGuarded();
  void ExecuteOne();
  void ExecuteAssignment(const TLetStatement& let);
  void ExecuteDo(const TDoLoop& loop, LoopState& state);
  void ExecuteLoop(const TDoLoop& loop, LoopState& state);
  void ExecuteFor(const TForLoop& loop, LoopState& state);
  void ExecuteNext(const TForLoop& loop, LoopState& state);
  void ExecuteIf(int line);
  void ExecuteResult(int line);
  bool ConditionTrue(const std::string& cond);
  LoopState& StateOf(int index);
  // CallFunction with the name already trimmed and upper-cased.
  bool CallNamed(const std::string& name, const std::string& upper, const Value& args, Value& result);
  bool CallUserFunction(const TFunctionBlock& fn, const std::string& name, const Value& args, Value& result);
  void InstallErrorHandler();
  // The budget is spent: asks the poll whether to go on, else throws.
  void BudgetSpent();

  // Evaluation of a compiled expression.
  Value Eval(const Expr& e);
  Value EvalOperand(const Expr& e);
  const Value* Peek(const Expr& e);
  Value ArgumentValue(const std::vector<std::unique_ptr<Expr>>& args);
  std::shared_ptr<const Expr> Compiled(const std::string& text);
  Value EvaluateCompiled(const std::string& text);
  // EvaluateStatement of a text that the program's statements own.
  Value EvaluateStored(const std::string& text);
  Value Settle(const std::string& trimmed, const Expr* expr);

  std::shared_ptr<Program> program_;
  std::vector<LoopState> loops_;  // run-time state of the loop records

  TVariableSet ownVars_;  // used until a set is bound
  TVariableSet* vars_ = &ownVars_;
  BeforeSetHandler onBeforeSet_;
  ChangeHandler onChange_;
  FunctionLibrary functionHandler_;
  FunctionLibrary builtinHandler_;
  std::string externalFolder_;
  std::shared_ptr<ExternalLibraries> externals_;

  int currentLine_ = 0;
  int nextLine_ = 0;
  int maxLoop_ = 100;
  bool stepMode_ = false;
  bool error_ = false;
  bool finished_ = false;
  std::string errorText_;
  Value result_;
  int callDepth_ = 0;  // user function calls running
  std::vector<std::unique_ptr<CallFrame>> frames_;
  unsigned call_ = 0;                                  // the running call, 0 for the program's own statements
  unsigned calls_ = 0;                                 // calls made so far
  std::shared_ptr<long long> budget_;                  // statements left, shared with nested engines
  std::shared_ptr<const std::function<bool()>> poll_;  // refills the budget while it answers true
  long long pollEvery_ = 0;
};

}  // namespace tam

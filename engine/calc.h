// TCalc: the engine object that loads, parses and runs one reply program.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/callable.h"
#include "engine/statements.h"
#include "engine/value.h"
#include "engine/variables.h"

namespace tam {

// Library calling convention: (name as written, arguments, var result,
// var found) -> success. Arguments are Empty for "()", Integer 0 for a bare
// word, otherwise an array.
using FunctionLibrary = std::function<bool(const std::string& name, const Value& args, Value& result, bool& found)>;

struct ElementTarget;
struct Expr;
struct Instr;
struct Program;
struct StoredExpr;
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
  // A handler given with a resolver is asked ahead which names it has, and
  // its callables are called directly; one without is asked by name (as
  // written) on every call.
  void SetFunctionHandler(FunctionLibrary h, FunctionResolver resolve = nullptr);
  // The built-in library, consulted last (the engine does not link it itself).
  void SetBuiltinHandler(FunctionLibrary h, FunctionResolver resolve = nullptr);
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
  int LineCount() const { return lineCount_; }
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
    int Index = -1;     // the loop's statement
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
    bool resultOne = false;
  };
  // A user function call runs as a frame of this engine: its locals and loop
  // records, kept for the next call at the same depth, and its caller's state.
  struct CallFrame {
    TVariableSet locals;
    std::vector<LoopState> loops;
    CallerState caller;
    const std::string* name = nullptr;  // the called name as written
  };
  // An operand of an expression being evaluated: a value of its own, or a
  // literal or variable read in place until a call could change it.
  // An operand marked one is the one-element list of its value, kept as the
  // value itself: a call's result from a RESULT of one plain value, a lone
  // result of a library function found ahead, and what operators make of
  // such a value with plain values.
  struct Operand {
    const Value* ref = nullptr;
    Value own;
    bool one = false;
  };
  // The operands of the expressions being evaluated: a stack that makes an
  // operand where it stands and ends it when popped, without the general
  // bookkeeping of a vector.
  class OperandStack {
   public:
    OperandStack() = default;
    OperandStack(const OperandStack&) = delete;
    OperandStack& operator=(const OperandStack&) = delete;
    ~OperandStack();
    std::size_t size() const { return size_; }
    Operand& operator[](std::size_t i) { return slots_[i]; }
    Operand& back() { return slots_[size_ - 1]; }
    // A new operand on top, as Operand{} is.
    Operand& emplace_back() {
      if (size_ == capacity_) Grow();
      return *new (slots_ + size_++) Operand();
    }
    // A new operand on top read in place.
    void PushRef(const Value* v) {
      if (size_ == capacity_) Grow();
      new (slots_ + size_++) Operand{v, Value(), false};
    }
    void pop_back() { slots_[--size_].~Operand(); }
    // Drops the operands from n on (none when n is above the top).
    void resize(std::size_t n) {
      while (size_ > n) pop_back();
    }
    // The same for n at most the size, the top first: ending an operand
    // never reaches the stack.
    void DropFrom(std::size_t n) {
      Operand* const slots = slots_;
      for (std::size_t i = size_; i > n;) slots[--i].~Operand();
      size_ = n;
    }

   private:
    void Grow();

    Operand* slots_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
  };
  // The statement of one call depth whose expression waits for a user
  // function call that runs as the next frame.
  struct Pending {
    enum Kind : unsigned char { kLet, kIf, kResult } kind = kLet;
    const TLetStatement* let = nullptr;        // kLet
    int line = 0;                              // kIf: the branch
    const TResultStatement* result = nullptr;  // kResult
    std::size_t item = 0;                      // kResult
    const Expr* root = nullptr;                // the expression
    const std::string* text = nullptr;         // its trimmed text
    std::size_t pc = 0;                        // the call step it waits at
    std::size_t base = 0;                      // its operands start here
    std::size_t top = 0;                       // and end here while it waits
  };

  template <class T>
  const T& Outermost(T CallerState::*field, const T& own) const {
    return callDepth_ > 0 ? frames_[0]->caller.*field : own;
  }

  void ExecuteGuarded(bool on = false);
  void RunCalls(int base);
  void Unwind(int base, std::exception_ptr fault);
  void ExecuteOne(bool on = false);
  // The statement at nextLine_ alone (kOneStatement), or with those after it
  // while the program's run (kProgramRun) or the calls above base
  // (kCallRun) go on: a statement that waits for a call goes on in the
  // call's frame, and a call that ends returns into the statement waiting
  // for it, until the calls are done down to base.
  enum { kOneStatement, kProgramRun, kCallRun };
  template <int kMode>
  void ExecuteStatements(int base = 0);
  void RunProgramStatements();
  void EndStatement();
  bool ExecuteAssignment(const TLetStatement& let);
  void Assign(const TLetStatement& let, Value&& v);
  void ExecuteDo(const TDoLoop& loop, LoopState& state);
  void ExecuteLoop(const TDoLoop& loop, LoopState& state);
  void ExecuteFor(const TForLoop& loop, LoopState& state);
  void ExecuteNext(const TForLoop& loop, LoopState& state);
  bool ExecuteIf(int line, bool resumed);
  bool ExecuteResult(const TResultStatement& result);
  [[gnu::noinline]] bool ExecuteIfApart(int line);
  [[gnu::noinline]] bool ExecuteAssignmentApart(const TLetStatement& let);
  [[gnu::noinline]] bool ExecuteResultApart(const TResultStatement& result);
  bool ResultItems(std::size_t from);
  bool ConditionTrue(const std::string& cond);
  LoopState& StateOf(int index) {
    // The program's own loop records, the usual case, stand by statement.
    if (callDepth_ == 0 && static_cast<std::size_t>(index) < loops_.size()) {
      LoopState& s = loops_[index];
      if (s.Call == call_ && s.Index == index) return s;
    }
    return StateAfresh(index);
  }
  LoopState& StateAfresh(int index);
  Pending& Pend(Pending::Kind kind) {
    pend_->kind = kind;
    return *pend_;
  }
  // ElementName of a target text that the program's statements own, its
  // index texts compiled once.
  std::string TargetName(const std::string& text);
  const ElementTarget& TargetOf(const std::string& text);
  // Assignment of a value to the target text.
  void AssignElement(const std::string& text, Value&& v);
  std::string NameOf(const std::string& text, const ElementTarget& target);
  // NameOf with the target's indexes on the stack from base on; takes them off.
  std::string NameAt(const std::string& text, const ElementTarget& target, std::size_t base);
  // CallFunction with the name already trimmed and upper-cased.
  bool CallNamed(const std::string& name, const std::string& upper, const Value& args, Value& result);
  // Where a call of the upper-cased name goes under the present handlers.
  CallRoute Resolve(const std::string& upper) const;
  // The call of a name by its route, or of the user function when user >= 0.
  bool CallRouted(int user, const CallRoute& route, const std::string& name, const Value& args, Value& result);
  // Within a catch: the error of a call that failed as a conversion does
  // (false); rethrows any other fault.
  bool CallFailed(const std::string& name);
  // The route of a call site, worked out again under changed handlers; true
  // when it goes straight to a callable found ahead.
  bool DirectRoute(const Expr& e);
  // A call whose route goes straight to a callable found ahead, with the
  // arguments where they stand; false when they do not fit its list.
  bool CallStraight(const Instr& in, std::size_t first, std::size_t n);
  bool CallUserFunction(const TFunctionBlock& fn, const std::string& name, const Value& args, Value& result);
  // Frames of user function calls: entering one, leaving it with its result
  // (false after an error, which the caller then has), leaving it on a fault.
  void PushCall(const TFunctionBlock& fn, const std::string& name, const Value& args);
  // Frames stay for later calls at their depth, and none is made past the
  // deepest nesting allowed: a kept one is within it.
  CallFrame& PrepareFrame() {
    if (static_cast<std::size_t>(callDepth_) < frames_.size()) return *frames_[callDepth_];
    return NewFrame();
  }
  CallFrame& NewFrame();
  // Given laidOut, the locals hold the layout of their function already.
  void EnterFrame(CallFrame& frame, const TFunctionBlock& fn, const std::string& name, bool laidOut = false);
  // True when the parameter entries of the call before at this depth were
  // reused: the locals hold their function's layout.
  bool BindArguments(TVariableSet& locals, const TFunctionBlock& fn, std::size_t first, std::size_t n);
  // A call step's call of the user function of e that runs as the next
  // frame, its n arguments the operands from first, the statement's from
  // base: the parameters are bound and the statement waits at pc (false,
  // as a call step that waits answers).
  bool EnterCall(const Expr& e, std::size_t first, std::size_t n, std::size_t pc, std::size_t base);
  bool EnterBound(CallFrame& f, const TFunctionBlock& fn, const Expr& e, std::size_t first, std::size_t pc,
                  std::size_t base, bool laidOut);
  // The same for every case, the function of e given.
  [[gnu::noinline]] bool EnterAnyCall(const TFunctionBlock& fn, const Expr& e, std::size_t first, std::size_t n,
                                      std::size_t pc, std::size_t base);
  bool PopCall(Value& result);
  void DropCall();
  void SetAside(CallFrame& frame);
  void Restore(CallFrame& frame);
  void ReturnFromCall();
  void InstallErrorHandler();
  // The budget is spent: asks the poll whether to go on, else throws.
  void BudgetSpent();

  // Evaluation of a compiled expression.
  Value Eval(const Expr& root);
  bool RunCode(const Expr& root, std::size_t& pc, std::size_t base, bool suspend) {
    return suspend ? RunSteps<true>(root, pc, base) : RunSteps<false>(root, pc, base);
  }
  template <bool kSuspend>
  bool RunSteps(const Expr& root, std::size_t& pc, std::size_t base);
  bool CallStep(const Instr& in, std::size_t pc, std::size_t base, bool suspend);
  // The call steps that neither go straight to a library callable nor run a
  // user function as a frame with the arguments where they stand.
  [[gnu::noinline]] bool CallOther(const Instr& in, std::size_t pc, std::size_t base, bool suspend);
  // A string literal with a lone inner quote: its error, and its value pushed.
  [[gnu::noinline, gnu::cold]] void BadString(const Expr& e);
  void FinishCall(const Instr& in, bool ok, Value&& result, bool one);
  void FailedCall(const Instr& in, Operand& o, Value&& result);
  void Binary(const Expr& e);
  void ApplyTo(Operand& l, const Value& rv, bool rOne, const Expr& e);
  void ApplyGenerally(Operand& l, const Value& lv, const Value& rv, bool rOne, const Expr& e);
  void ApplyPlain(Operand& l, const Value& rv, const Expr& e);
  void ApplyOne(Operand& l, const Value& lv, const Value& rv, const Expr& e);
  static void ListOfOne(Value& v);
  static void ListOfOne(Operand& o);
  void OperatorFailed(const Expr& e);
  void AppendResult(Value v, std::size_t items);
  // A RESULT of items values in a call that has no result yet: one plain
  // value is kept as it is, the caller taking it as its one-element list.
  bool LoneResult(std::size_t items) const { return items == 1 && callDepth_ > 0 && result_.isEmpty(); }
  void Materialize(std::size_t from);
  void Truncate(std::size_t size) { stack_.resize(size); }
  Value TakeResult(std::size_t base);
  Value Pack(std::size_t first, std::size_t n);
  // Evaluates the arguments onto the operands; returns where they start.
  std::size_t PushArguments(const std::vector<std::unique_ptr<Expr>>& args);
  Value ArgumentValue(const std::vector<std::unique_ptr<Expr>>& args);
  std::shared_ptr<const Expr> Compiled(const std::string& text);
  // The kept form of a text that the program's statements own; nullptr when
  // the store is full, with the text compiled into temp.
  const StoredExpr* StoredText(const std::string& text, std::shared_ptr<const Expr>& temp, std::string& trimmed);
  // EvaluateStatement of a text that the program's statements own.
  Value EvaluateStored(const std::string& text);
  // The same for the statements that let a user function call run as a
  // frame, leaving the value as the operand at pend_->base, for Outcome or
  // TakeOutcome: false when the statement waits for it (Pend set first).
  bool StartStatement(const std::string& text, const StoredExpr*& form);
  // The same for a text not yet compiled.
  bool StartFirst(const std::string& text, const StoredExpr*& form);
  // RunStatement of an expression of the simplest kinds: its value pushed
  // without running its steps where it can be.
  bool QuickStatement(Pending& p);
  bool QuickValue(const Expr& root, Value& scratch, const Value*& out);
  // An IF condition that compares a variable with a literal, both Integers:
  // 1 or 0 as it holds, without a value built; -1 for every other case.
  int QuickTest(const Expr& root);
  // The truth of an IF condition of the simplest kinds (1 or 0) where it can
  // be had without running its steps; -1 when it cannot. QuickTest first.
  int QuickCondition(const Expr& root);
  // Runs the statement's expression on from p.pc: true when it is done, its
  // value the operand at p.base; false when it waits for a call. The failure
  // categories become run-time errors as in Settle, wherever in the
  // expression they arise, the value then Empty.
  bool RunStatement(Pending& p);
  // A statement's value at base: a one-element result stands for its
  // element. TakeOutcome also drops the operands from base on.
  const Value& Outcome(std::size_t base);
  Value TakeOutcome(std::size_t base);
  // The waiting statement runs on past its call step, whose value stands on
  // the operands.
  void RunOn();
  void ResumeStatement(bool ok, Value result);
  void ResumeAfterFault(std::exception_ptr fault);
  // The rest of the statement once its expression's value stands at p.base;
  // false when it waits for a call again.
  bool ContinueStatement(Pending& p);
  Value Settle(const std::string& trimmed, const Expr* expr);

  // First, so that it ends last, after every value the engine holds.
  ItemPoolUser itemPool_;
  std::shared_ptr<Program> program_;
  int lineCount_ = 0;             // the lines of the program
  std::vector<LoopState> loops_;  // run-time state of the program's own loop records

  TVariableSet ownVars_;  // used until a set is bound
  TVariableSet* vars_ = &ownVars_;
  BeforeSetHandler onBeforeSet_;
  ChangeHandler onChange_;
  FunctionLibrary functionHandler_;
  FunctionLibrary builtinHandler_;
  FunctionResolver functionResolver_;
  FunctionResolver builtinResolver_;
  // Changes whenever a handler or the external folder does: call sites worked
  // out under another one work their route out again. Unique among engines.
  std::uint64_t generation_ = 0;
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
  // In a call: its result is the one-element list of the value result_
  // holds (a RESULT of one plain value), and the caller's expression takes
  // it so.
  bool resultOne_ = false;
  int callDepth_ = 0;  // user function calls running
  std::vector<std::unique_ptr<CallFrame>> frames_;
  std::vector<std::unique_ptr<Pending>> pending_;      // by call depth
  Pending* pend_ = nullptr;                            // the one of this depth
  OperandStack stack_;                                 // operands of the expressions being evaluated
  unsigned call_ = 0;                                  // the running call, 0 for the program's own statements
  unsigned calls_ = 0;                                 // calls made so far
  std::shared_ptr<long long> budget_;                  // statements left, shared with nested engines
  std::shared_ptr<const std::function<bool()>> poll_;  // refills the budget while it answers true
  long long pollEvery_ = 0;
};

// Operands read in place get values of their own before anything runs that
// could change a variable.
inline void TCalc::Materialize(std::size_t from) {
  for (std::size_t i = from; i < stack_.size(); ++i) {
    Operand& o = stack_[i];
    if (o.ref) {
      o.own = *o.ref;
      o.ref = nullptr;
    }
  }
}

inline const Value& TCalc::Outcome(std::size_t base) {
  const Operand& o = stack_[base];
  if (o.one) return o.own;
  const Value& v = o.ref ? *o.ref : o.own;
  // A one-element result stands for its element.
  if (v.isArray() && v.items().size() == 1) return v.items()[0];
  return v;
}

inline Value TCalc::TakeOutcome(std::size_t base) {
  // The operands go also when the copy fails.
  struct Drop {
    OperandStack& stack;
    std::size_t base;
    ~Drop() { stack.resize(base); }
  } drop{stack_, base};
  Operand& o = stack_[base];
  if (o.ref) return Outcome(base);
  if (!o.one && o.own.isArray() && o.own.items().size() == 1) return std::move(o.own.items()[0]);
  return std::move(o.own);
}

}  // namespace tam

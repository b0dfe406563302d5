// The engine's life cycle and its statements.
#include "engine/calc.h"

#include <atomic>
#include <cstdint>
#include <new>
#include <stdexcept>

#include "engine/expression.h"
#include "engine/external.h"
#include "engine/failure.h"
#include "engine/limits.h"
#include "engine/operators.h"
#include "engine/program.h"
#include "engine/scanner.h"
#include "engine/sjis.h"

namespace tam {

namespace {
// Setups of all engines are numbered alike: a call site shared by engines
// tells whose setup it was worked out for.
std::atomic<std::uint64_t> g_generations{0};
std::uint64_t NextGeneration() { return ++g_generations; }
}  // namespace

TCalc::TCalc() : TCalc(ParseProgram("")) {}

TCalc::TCalc(std::shared_ptr<Program> program) : program_(std::move(program)), generation_(NextGeneration()) {
  lineCount_ = static_cast<int>(program_->lines.size());
  pending_.push_back(std::make_unique<Pending>());
  pend_ = pending_[0].get();
  InstallErrorHandler();
  Reset();
}

TCalc::~TCalc() {
  if (vars_ && vars_ != &ownVars_) vars_->OnError = nullptr;
}

const std::vector<std::string>& TCalc::Lines() const { return program_->lines; }
const std::vector<TFrameInfo>& TCalc::Frames() const { return program_->frames; }

void TCalc::InstallErrorHandler() {
  vars_->OnError = [this](TVariableSet&, const std::string& message) { SetErrorReplace(message); };
}

void TCalc::SetVariables(TVariableSet* set) {
  if (vars_ && vars_ != &ownVars_) vars_->OnError = nullptr;
  vars_ = set ? set : &ownVars_;
  if (onBeforeSet_) vars_->OnBeforeSet = onBeforeSet_;
  if (onChange_) vars_->OnChange = onChange_;
  InstallErrorHandler();
}

void TCalc::SetOnBeforeSet(BeforeSetHandler h) {
  onBeforeSet_ = std::move(h);
  if (vars_ != &ownVars_) vars_->OnBeforeSet = onBeforeSet_;
  for (auto& f : frames_) f->locals.OnBeforeSet = onBeforeSet_;
}

void TCalc::SetOnChange(ChangeHandler h) {
  onChange_ = std::move(h);
  if (vars_ != &ownVars_) vars_->OnChange = onChange_;
  for (auto& f : frames_) f->locals.OnChange = onChange_;
}

void TCalc::SetFunctionHandler(FunctionLibrary h, FunctionResolver resolve) {
  functionHandler_ = std::move(h);
  functionResolver_ = functionHandler_ ? std::move(resolve) : nullptr;
  generation_ = NextGeneration();
}

void TCalc::SetBuiltinHandler(FunctionLibrary h, FunctionResolver resolve) {
  builtinHandler_ = std::move(h);
  builtinResolver_ = builtinHandler_ ? std::move(resolve) : nullptr;
  generation_ = NextGeneration();
}

void TCalc::SetMaxLoop(int n) {
  maxLoop_ = n;
  error_ = false;
  errorText_.clear();
}

void TCalc::SetStatementBudget(long long n) {
  budget_ = n > 0 ? std::make_shared<long long>(n) : nullptr;
  poll_ = nullptr;
}

void TCalc::SetStatementPoll(long long every, std::function<bool()> poll) {
  if (every <= 0 || !poll) {
    SetStatementBudget(0);
    return;
  }
  budget_ = std::make_shared<long long>(every);
  poll_ = std::make_shared<const std::function<bool()>>(std::move(poll));
  pollEvery_ = every;
}

void TCalc::BudgetSpent() {
  if (poll_ && (*poll_)()) {
    *budget_ = pollEvery_;
    return;
  }
  throw BudgetExhausted();
}

void TCalc::SetExternalFolder(const std::string& path) {
  externals_ = nullptr;
  externalFolder_ = ExternalFolderPath(path);
  if (!externalFolder_.empty()) externals_ = std::make_shared<ExternalLibraries>(externalFolder_);
  generation_ = NextGeneration();
}

void TCalc::SetErrorOnce(const std::string& text) {
  if (error_) return;
  error_ = true;
  errorText_ = text;
}

void TCalc::SetErrorReplace(const std::string& text) {
  error_ = true;
  errorText_ = text;
}

void TCalc::LoadProgram(const std::string& text) {
  error_ = false;
  errorText_.clear();
  program_ = ParseProgram(text);
  lineCount_ = static_cast<int>(program_->lines.size());
  loops_.clear();
  if (program_->error) SetErrorReplace(program_->errorText);
}

void TCalc::Reset() {
  currentLine_ = nextLine_ = 0;
  error_ = false;
  errorText_.clear();
  finished_ = LineCount() == 0;
}

void TCalc::Step() {
  stepMode_ = true;
  if (!finished_) ExecuteGuarded();
}

void TCalc::Run() {
  stepMode_ = false;
  while (!finished_ && !error_) ExecuteGuarded(true);
}

void TCalc::Stop() {
  nextLine_ = LineCount();
  finished_ = true;
}

void TCalc::Retry() {
  error_ = false;
  errorText_.clear();
  nextLine_ = currentLine_;
  if (stepMode_)
    Step();
  else
    Run();
}

void TCalc::Skip() {
  error_ = false;
  errorText_.clear();
  nextLine_ = currentLine_ + 1;
  if (nextLine_ >= LineCount()) {
    finished_ = true;
    return;
  }
  if (stepMode_)
    Step();
  else
    Run();
}

// Runs one statement with the user function calls it makes, and with on
// those after it until the run finishes or fails. Too deep
// nesting and exhausted memory become a run-time error of the outermost
// engine's line; calls within expressions that cannot wait for a frame pass
// them up at once so that nothing else runs on the way out.
void TCalc::ExecuteGuarded(bool on) {
  StackGuard guard;
  const int base = callDepth_;
  try {
    do {
      if (nextLine_ < 0 || nextLine_ >= LineCount()) {
        nextLine_ = LineCount();
        finished_ = true;
        return;
      }
      ExecuteOne(on);
      if (callDepth_ > base) RunCalls(base);
    } while (on && !finished_ && !error_);
  } catch (const NestingTooDeep&) {
    if (callDepth_ > 0) throw;
    nextLine_ = currentLine_;
    SetErrorReplace(kTooDeepText);
  } catch (const BudgetExhausted&) {
    if (callDepth_ > 0) throw;
    nextLine_ = currentLine_;
    SetErrorReplace(kBudgetText);
  } catch (const std::bad_alloc&) {
    if (callDepth_ > 0) throw;
    nextLine_ = currentLine_;
    SetErrorReplace(kNoMemoryText);
  } catch (const std::length_error&) {
    if (callDepth_ > 0) throw;
    nextLine_ = currentLine_;
    SetErrorReplace(kNoMemoryText);
  } catch (...) {
    // A fault leaves the statement unfinished.
    nextLine_ = currentLine_;
    throw;
  }
}

// Runs the user function calls running as frames above base until they are
// done: the statements of the innermost call, or its return into the
// statement that waits for it.
void TCalc::RunCalls(int base) {
  while (callDepth_ > base) {
    try {
      do {
        if (finished_ || error_) {
          ReturnFromCall();
        } else if (nextLine_ < 0 || nextLine_ >= LineCount()) {
          nextLine_ = LineCount();
          finished_ = true;
        } else {
          ExecuteStatements<kCallRun>(base);
        }
      } while (callDepth_ > base);
    } catch (...) {
      Unwind(base, std::current_exception());
    }
  }
}

// A fault raised by the statement of the innermost call leaves its frame and
// reaches the statement that waits for the call, which takes it as the call
// and its expression would; what it does not take goes on outwards.
void TCalc::Unwind(int base, std::exception_ptr fault) {
  for (;;) {
    if (callDepth_ == base) std::rethrow_exception(fault);
    DropCall();
    try {
      ResumeAfterFault(fault);
      return;
    } catch (...) {
      fault = std::current_exception();
    }
  }
}

void TCalc::ResumeAfterFault(std::exception_ptr fault) {
  Pending& p = *pend_;
  const Instr& in = CodeOf(*p.root)[p.pc];
  const std::string& name = in.code == Instr::kCall ? in.e->name : in.e->text;
  Truncate(p.top);
  try {
    std::rethrow_exception(fault);
  } catch (const ConvertError&) {
    SetErrorOnce("Convert error: " + name);
  } catch (const StringListError&) {
    SetErrorOnce("String list error: " + name);
  } catch (const VariantError&) {
    SetErrorOnce("Variant error: " + name);
  } catch (const InvalidOp&) {
    Truncate(p.base);
    SetErrorOnce("Invalid operation: " + *p.text);
    stack_.emplace_back();
    if (ContinueStatement(p)) EndStatement();
    return;
  } catch (const ScriptFailure&) {
    Truncate(p.base);
    SetErrorOnce("Convert error: " + *p.text);
    stack_.emplace_back();
    if (ContinueStatement(p)) EndStatement();
    return;
  } catch (...) {
    Truncate(p.base);
    throw;
  }
  ResumeStatement(false, Value());
}

[[gnu::always_inline]] inline void TCalc::RunOn() {
  Pending& p = *pend_;
  ++p.pc;
  if (!RunStatement(p)) return;
  if (ContinueStatement(p)) EndStatement();
}

void TCalc::ResumeStatement(bool ok, Value result) {
  Pending& p = *pend_;
  try {
    FinishCall(CodeOf(*p.root)[p.pc], ok, std::move(result), false);
  } catch (...) {
    Truncate(p.base);
    throw;
  }
  RunOn();
}

// The innermost call is done. Its result goes straight onto the operands of
// the statement that waits for it, which runs on past the call step.
[[gnu::always_inline]] inline void TCalc::ReturnFromCall() {
  if (error_) {
    Value result;
    const bool ok = PopCall(result);
    ResumeStatement(ok, std::move(result));
    return;
  }
  Operand& o = stack_.emplace_back();
  // The call's result is left Empty: nothing to drop as the frame goes.
  o.own.swap(result_);
  o.one = resultOne_;
  DropCall();
  RunOn();
}

[[gnu::always_inline]] inline bool TCalc::ContinueStatement(Pending& p) {
  switch (p.kind) {
    case Pending::kLet:
      Assign(*p.let, TakeOutcome(p.base));
      return true;
    case Pending::kIf:
      return ExecuteIf(p.line, true);
    case Pending::kResult: {
      // A call's RESULT of one plain value takes the operand's value as it
      // stands.
      Operand& o = stack_[p.base];
      const std::size_t n = p.result->Items.size();
      if (LoneResult(n) && !o.ref && !o.own.isArray()) {
        result_.swap(o.own);
        resultOne_ = true;
        stack_.resize(p.base);
        return true;
      }
      AppendResult(TakeOutcome(p.base), n);
      return ResultItems(p.item + 1);
    }
  }
  return true;
}

TCalc::LoopState& TCalc::StateAfresh(int index) {
  LoopState* state = nullptr;
  if (callDepth_ == 0) {
    if (loops_.size() < program_->statements.size()) loops_.resize(program_->statements.size());
    state = &loops_[index];
  } else {
    // A call keeps records of the loops it runs only, found by their
    // statement: thousands of nested calls must not each hold a record for
    // every statement of the program. The records stay in the frame for the
    // next call at its depth.
    std::vector<LoopState>& loops = frames_[callDepth_ - 1]->loops;
    for (LoopState& s : loops)
      if (s.Index == index) {
        state = &s;
        break;
      }
    if (!state) state = &loops.emplace_back();
  }
  if (state->Call != call_ || state->Index != index) {
    // A record left by an earlier call at this depth: each call starts afresh.
    *state = LoopState();
    state->Call = call_;
    state->Index = index;
  }
  return *state;
}

// Runs the statement at nextLine_. Within a user function call the next ones
// follow here while the call runs on, each counted under the budget: only the
// program's own statements are steps that a host sees. A statement of the
// program's own that waits for a call returns at once.
// With on, the program's own statements follow one another here too, while
// the run goes on.
void TCalc::ExecuteOne(bool on) {
  if (callDepth_ > 0) {
    // The calls this run enters go on here too: a fault in one of them
    // reaches the statement waiting for it as in RunCalls.
    const int base = callDepth_;
    try {
      ExecuteStatements<kCallRun>(base);
    } catch (...) {
      Unwind(base, std::current_exception());
    }
  } else if (on) {
    RunProgramStatements();
  } else {
    ExecuteStatements<kOneStatement>();
  }
}

// Apart from ExecuteOne, whose fault handling would cost its loop registers.
[[gnu::noinline]] void TCalc::RunProgramStatements() { ExecuteStatements<kProgramRun>(); }

template <int kMode>
void TCalc::ExecuteStatements(int base) {
  for (;;) {
    if constexpr (kMode == kCallRun) {
      // Lines that only lead on are passed over at once, each counted.
      const FlowStep& flow = program_->flow[nextLine_];
      if (flow.lines > 0) {
        if (budget_)
          for (int i = 0; i < flow.lines; ++i)
            if (--*budget_ < 0) BudgetSpent();
        currentLine_ = flow.last;
        nextLine_ = flow.to;
        if (nextLine_ >= LineCount()) {
          finished_ = true;
          goto next;
        }
      }
    }
    {
      currentLine_ = nextLine_;
      if (budget_ && --*budget_ < 0) BudgetSpent();
      const int line = currentLine_;
      nextLine_ = line + 1;
      const TFrameInfo frame = program_->frames[line];
      auto& statements = program_->statements;
      switch (frame.Kind) {
        case kLet:
          if (!(kMode == kProgramRun
                    ? ExecuteAssignment(static_cast<const TLetStatement&>(*statements[frame.Index]))
                    : ExecuteAssignmentApart(static_cast<const TLetStatement&>(*statements[frame.Index]))))
            goto waits;
          break;
        case kDo: {
          const auto& loop = static_cast<const TDoLoop&>(*statements[frame.Index]);
          ExecuteDo(loop, StateOf(frame.Index));
          break;
        }
        case kLoop: {
          const auto& loop = static_cast<const TDoLoop&>(*statements[frame.Index]);
          ExecuteLoop(loop, StateOf(frame.Index));
          break;
        }
        case kExitDo:
          nextLine_ = static_cast<const TDoLoop&>(*statements[frame.Index]).LoopLine + 1;
          break;
        case kFor: {
          const auto& loop = static_cast<const TForLoop&>(*statements[frame.Index]);
          ExecuteFor(loop, StateOf(frame.Index));
          break;
        }
        case kNext: {
          const auto& loop = static_cast<const TForLoop&>(*statements[frame.Index]);
          ExecuteNext(loop, StateOf(frame.Index));
          break;
        }
        case kExitFor: {
          const auto& loop = static_cast<const TForLoop&>(*statements[frame.Index]);
          nextLine_ = loop.ForNextLine + 1;
          vars_->SetReadOnly(loop.Variable, false);
          break;
        }
        case kIf:
          if (!(kMode != kOneStatement ? ExecuteIf(line, false) : ExecuteIfApart(line))) goto waits;
          break;
        case kElseIf: {
          // A taken branch ran into the next one: the block is done. The walk
          // passes over every further branch, also those of enclosing blocks
          // that end right after this one, in one step.
          int n = static_cast<const TIfBlock&>(*statements[frame.Index]).NextBranch;
          while (n >= 0 && n < LineCount() &&
                 (program_->frames[n].Kind == kElseIf || program_->frames[n].Kind == kElse))
            n = static_cast<const TIfBlock&>(*statements[program_->frames[n].Index]).NextBranch;
          nextLine_ = n;
          break;
        }
        case kElse:
          nextLine_ = static_cast<const TIfBlock&>(*statements[frame.Index]).NextBranch;
          break;
        case kFunction:
          nextLine_ = program_->functions[frame.Index]->EndLine + 1;
          break;
        case kResult:
          if (!(kMode != kOneStatement
                    ? ExecuteResult(static_cast<const TResultStatement&>(*statements[frame.Index]))
                    : ExecuteResultApart(static_cast<const TResultStatement&>(*statements[frame.Index]))))
            goto waits;
          break;
        case kExitFunction:
        case kEndFunction:
        case kExitProgram:
        case kEnd:
          nextLine_ = LineCount();
          break;
        default:
          break;  // comments, ENDIF and lines left unparsed advance
      }
      EndStatement();
    }
  next:
    if constexpr (kMode == kCallRun) {
      // A call that ends returns into the statement waiting for it, which
      // runs on; the calls at base and below are not this loop's.
      while (finished_ && !error_) {
        if (callDepth_ <= base) return;
        ReturnFromCall();
        if (callDepth_ <= base) return;
      }
    }
    if (kMode == kOneStatement || finished_ || error_ || nextLine_ < 0) return;
    continue;
  waits:
    // The statement waits for a call: in a call's run the call's statements
    // follow here.
    if constexpr (kMode != kCallRun) return;
    goto next;
  }
}

void TCalc::EndStatement() {
  if (nextLine_ >= LineCount() && !error_) finished_ = true;
}

[[gnu::always_inline]] inline bool TCalc::ExecuteAssignment(const TLetStatement& let) {
  Pend(Pending::kLet).let = &let;
  if (!StartStatement(let.Expression, let.ExpressionForm)) return false;
  const std::size_t base = pend_->base;
  if (let.SingleTarget && !error_) {
    // The usual assignment, without callbacks to a variable where it was
    // found before: the value goes from its operand into the variable.
    if (Value* dest = vars_->StoreSlot(let.TargetSlot)) {
      Operand& o = stack_[base];
      const Value* v = o.one || !o.ref ? &o.own : o.ref;
      if (!v->isArray()) {
        if (v == &o.own)
          *dest = std::move(o.own);
        else if (v != dest)
          *dest = *v;
        stack_.resize(base);
        return true;
      }
    }
  }
  // The value goes from its operand to the target: at once to a plain one.
  Value v = TakeOutcome(base);
  if (let.SingleTarget && !error_ && !v.isArray()) {
    vars_->SetValue(let.Targets[0], std::move(v), let.TargetSlot);
    return true;
  }
  Assign(let, std::move(v));
  return true;
}

void TCalc::Assign(const TLetStatement& let, Value&& v) {
  if (error_ || let.Target.empty()) return;
  const auto& targets = let.Targets;
  if (!v.isArray()) {
    const std::string& target = targets.empty() ? let.Target : targets[0];
    if (let.PlainTarget) {
      vars_->SetValue(target, std::move(v), let.TargetSlot);
      return;
    }
    AssignElement(target, std::move(v));
    return;
  }
  const auto& items = v.items();
  for (std::size_t i = 0; i < targets.size() && i < items.size(); ++i) {
    const std::string name = TargetName(targets[i]);
    if (error_) return;
    if (items[i].isArray()) {
      const auto& inner = items[i].items();
      for (std::size_t k = 0; k < inner.size(); ++k) vars_->SetValue(name + "(" + std::to_string(k) + ")", inner[k]);
    } else {
      vars_->SetValue(name, items[i]);
    }
  }
}

// Conditions and limits of loops are outside any expression; a value that
// cannot take part in them is a fault that passes on.
namespace {
template <class Fn>
auto LoopControl(Fn fn) -> decltype(fn()) {
  try {
    return fn();
  } catch (const ScriptFailure& e) {
    throw EngineFault(std::string("Invalid loop control value: ") + e.what());
  }
}
}  // namespace

bool TCalc::ConditionTrue(const std::string& cond) {
  if (cond.empty()) return false;
  Value v = EvaluateStored(cond);
  if (error_) return false;
  return LoopControl([&] { return ToBoolean(v); });
}

void TCalc::ExecuteDo(const TDoLoop& loop, LoopState& state) {
  const Value m1 = loop.DoMax.empty() ? Value::Int(maxLoop_) : EvaluateStored(loop.DoMax);
  const Value m2 = loop.LoopMax.empty() ? Value::Int(maxLoop_) : EvaluateStored(loop.LoopMax);
  if (error_) return;
  state.Limit = LoopControl([&] { return CompareValues(m1, m2) < 0 ? ToInteger(m1) : ToInteger(m2); });
  state.Passes = 0;
  if (ConditionTrue(loop.DoCondition)) nextLine_ = loop.LoopLine + 1;
}

void TCalc::ExecuteLoop(const TDoLoop& loop, LoopState& state) {
  ++state.Passes;
  if (state.Passes >= state.Limit || ConditionTrue(loop.LoopCondition) || ConditionTrue(loop.DoCondition))
    nextLine_ = loop.LoopLine + 1;
  else if (!error_)
    nextLine_ = loop.DoLine + 1;
}

void TCalc::ExecuteFor(const TForLoop& loop, LoopState& state) {
  if (loop.MaxExpr.empty()) {
    state.Limit = maxLoop_;
  } else {
    const Value m = EvaluateStored(loop.MaxExpr);
    if (error_) return;
    state.Limit = LoopControl([&] { return ToInteger(m); });
  }
  state.Passes = 0;
  const Value start = EvaluateStored(loop.StartExpr);
  if (error_) return;
  vars_->SetValue(loop.Variable, Value(start), state.Slot);
  if (error_) return;
  state.EndValue = EvaluateStored(loop.EndExpr);
  state.StepValue = EvaluateStored(loop.StepExpr);
  if (error_) return;
  const Value* found = vars_->Find(loop.Variable, state.Slot);
  const Value current = found ? *found : Value::Int(0);
  const bool leave = LoopControl([&] {
    const int dir = CompareValues(state.StepValue, Value::Int(0));
    return state.Passes >= state.Limit || (dir > 0 && CompareValues(current, state.EndValue) > 0) ||
           (dir < 0 && CompareValues(current, state.EndValue) < 0);
  });
  if (leave)
    nextLine_ = loop.ForNextLine + 1;
  else
    vars_->SetReadOnly(loop.Variable, true, state.Slot);
}

void TCalc::ExecuteNext(const TForLoop& loop, LoopState& state) {
  ++state.Passes;
  bool leave = state.Passes >= state.Limit;
  Value v;
  if (!leave) {
    const Value& step = state.StepValue;
    const Value& end = state.EndValue;
    // Where the variable was found before, its next value may go in place.
    TVariantObject* entry = vars_->LoopEntry(state.Slot);
    const Value* found = entry ? &entry->Value_ : vars_->Find(loop.Variable, state.Slot);
    const bool integers = found && found->type() == vtInteger && step.type() == vtInteger && end.type() == vtInteger;
    const long long next = integers ? 0LL + found->i() + step.i() : 0;
    if (integers && next >= INT32_MIN && next <= INT32_MAX) {
      // Integers all through, the usual loop: the general rules below give
      // the same.
      leave = (step.i() > 0 && next > end.i()) || (step.i() < 0 && next < end.i());
      if (!leave && entry) {
        entry->Value_.SetInt(static_cast<std::int32_t>(next));
        entry->ReadOnly = true;
        nextLine_ = loop.ForLine + 1;
        return;
      }
      v = Value::Int(static_cast<std::int32_t>(next));
    } else {
      leave = LoopControl([&] {
        v = Combine(Op::kAdd, found ? *found : Value::Int(0), step);
        const int dir = CompareValues(step, Value::Int(0));
        return (dir > 0 && CompareValues(v, end) > 0) || (dir < 0 && CompareValues(v, end) < 0);
      });
    }
  }
  if (leave) {
    vars_->SetReadOnly(loop.Variable, false, state.Slot);
    nextLine_ = loop.ForNextLine + 1;
    return;
  }
  vars_->SetLocked(loop.Variable, std::move(v), state.Slot);
  nextLine_ = loop.ForLine + 1;
}

[[gnu::always_inline]] inline bool TCalc::RunStatement(Pending& p) {
  try {
    return RunCode(*p.root, p.pc, p.base, true);
  } catch (const InvalidOp&) {
    Truncate(p.base);
    SetErrorOnce("Invalid operation: " + *p.text);
  } catch (const ScriptFailure&) {
    Truncate(p.base);
    SetErrorOnce("Convert error: " + *p.text);
  } catch (...) {
    Truncate(p.base);
    throw;
  }
  stack_.emplace_back();
  return true;
}

bool TCalc::StartStatement(const std::string& text, const StoredExpr*& form) {
  const StoredExpr* s = form;
  if (!s) return StartFirst(text, form);
  Pending& p = *pend_;
  p.root = s->expr.get();
  p.text = &s->trimmed;
  p.base = stack_.size();
  p.pc = 0;
  if (p.root->shape != Expr::kOtherShape) return QuickStatement(p);
  return RunStatement(p);
}

// The most common expressions of statements, a variable, a literal, or a
// variable and a literal under an operator on two numbers, give their value
// here: the variable or the literal itself, or the operator's result in
// scratch. False when the steps must run, as for these when a name is no
// variable or the operator needs its general rules.
inline bool TCalc::QuickValue(const Expr& root, Value& scratch, const Value*& out) {
  const Instr* code = root.code.data();
  switch (root.shape) {
    case Expr::kLiteralShape:
      out = &code[0].e->value;
      return true;
    case Expr::kNameShape:
      out = vars_->Find(code[0].e->text, code[0].e->slot);
      return out != nullptr;
    case Expr::kNameLiteralShape: {
      const Value* v = vars_->Find(code[1].e->text, code[1].e->slot);
      if (!v || !QuickNumbers(code[0].e->op, *v, code[2].e->value, scratch)) return false;
      out = &scratch;
      return true;
    }
    case Expr::kOtherShape:
      break;
  }
  return false;
}

[[gnu::always_inline]] inline int TCalc::QuickTest(const Expr& root) {
  if (root.shape != Expr::kNameLiteralShape) return -1;
  const Instr* code = root.code.data();
  const Value& right = code[2].e->value;
  const Value* v = vars_->Find(code[1].e->text, code[1].e->slot);
  if (!v || v->type() != vtInteger || right.type() != vtInteger) return -1;
  const std::int32_t a = v->i(), b = right.i();
  switch (code[0].e->op) {
    case Op::kNe:
      return a != b;
    case Op::kLe:
      return a <= b;
    case Op::kGe:
      return a >= b;
    case Op::kLt:
      return a < b;
    case Op::kEq:
      return a == b;
    case Op::kGt:
      return a > b;
    default:
      return -1;
  }
}

int TCalc::QuickCondition(const Expr& root) {
  Value scratch;
  const Value* c;
  if (!QuickValue(root, scratch, c) || c->isArray()) return -1;
  return c->type() == vtBoolean && c->b();
}

bool TCalc::QuickStatement(Pending& p) {
  Value scratch;
  const Value* v;
  if (!QuickValue(*p.root, scratch, v)) return RunStatement(p);
  if (v == &scratch)
    stack_.emplace_back().own.swap(scratch);
  else
    stack_.PushRef(v);
  return true;
}

// Runs the IF chain from the branch at line; resumed when the condition's
// value stands on the operands, a call it waited for having given it. False
// when it waits for a call.
[[gnu::always_inline]] inline bool TCalc::ExecuteIf(int line, bool resumed) {
  const auto& statements = program_->statements;
  for (;;) {
    const TFrameInfo& f = program_->frames[line];
    const auto& block = static_cast<const TIfBlock&>(*statements[f.Index]);
    bool taken = f.Kind == kElse;
    if (!taken) {
      const StoredExpr* form = block.ConditionForm;
      int quick = -1;
      if (!resumed && form && form->expr->shape != Expr::kOtherShape) {
        quick = QuickTest(*form->expr);
        if (quick < 0) quick = QuickCondition(*form->expr);
      }
      if (quick >= 0) {
        taken = quick != 0;
      } else {
        if (!resumed) {
          Pend(Pending::kIf).line = line;
          if (!StartStatement(block.Condition, block.ConditionForm)) return false;
        }
        resumed = false;
        const std::size_t base = pend_->base;
        const Value& value = Outcome(base);
        taken = value.type() == vtBoolean && value.b();
        stack_.resize(base);
        if (error_) return true;
      }
    }
    if (taken) {
      nextLine_ = line + 1;
      return true;
    }
    if (!block.NextIsBranch) {
      nextLine_ = block.NextBranch;
      return true;
    }
    line = block.NextBranch;
  }
}

[[gnu::always_inline]] inline bool TCalc::ExecuteResult(const TResultStatement& result) {
  if (!result_.isEmpty()) result_ = Value();
  resultOne_ = false;
  Pend(Pending::kResult).result = &result;
  return ResultItems(0);
}

// Appends a RESULT item's value to the result. In a call, a RESULT of one
// plain value keeps it as it is: the caller takes it as its one-element list.
void TCalc::AppendResult(Value v, std::size_t items) {
  if (LoneResult(items) && !v.isArray()) {
    result_ = std::move(v);
    resultOne_ = true;
    return;
  }
  result_.append(std::move(v));
}

// Evaluates the RESULT items from the one at from on, appending each.
[[gnu::always_inline]] inline bool TCalc::ResultItems(std::size_t from) {
  const TResultStatement& items = *pend_->result;
  const std::size_t n = items.Items.size();
  for (std::size_t i = from; i < n; ++i) {
    const StoredExpr* form = items.Forms[i];
    Value scratch;
    const Value* v;
    if (form && form->expr->shape != Expr::kOtherShape && QuickValue(*form->expr, scratch, v) && !v->isArray()) {
      if (LoneResult(n)) {
        Value copy(*v);  // a copy of scratch too, which holds a number
        result_.swap(copy);
        resultOne_ = true;
      } else {
        AppendResult(v == &scratch ? std::move(scratch) : Value(*v), n);
      }
      continue;
    }
    Pending& p = Pend(Pending::kResult);
    p.item = i;
    if (!StartStatement(items.Items[i], items.Forms[i])) return false;
    AppendResult(TakeOutcome(p.base), n);
  }
  return true;
}

// Out of line, so that the statement loops that do not run a statement
// over and over stay small: IF and RESULT when the program's statements run
// one at a time, assignments everywhere but in the program's run.
bool TCalc::ExecuteIfApart(int line) { return ExecuteIf(line, false); }
bool TCalc::ExecuteAssignmentApart(const TLetStatement& let) { return ExecuteAssignment(let); }
bool TCalc::ExecuteResultApart(const TResultStatement& result) { return ExecuteResult(result); }

// The caller's state is set aside in the frame; the frame keeps no error
// text or result of its own while no call runs in it, so that mostly there
// is nothing to move.
[[gnu::always_inline]] inline void TCalc::SetAside(CallFrame& frame) {
  CallerState& s = frame.caller;
  s.vars = vars_;
  s.currentLine = currentLine_;
  s.nextLine = nextLine_;
  s.error = error_;
  s.finished = finished_;
  s.call = call_;
  s.resultOne = resultOne_;
  if (!errorText_.empty()) s.errorText.swap(errorText_);
  if (!result_.isEmpty()) s.result.swap(result_);
}

// The caller's state comes back; the call's error text and result are
// dropped.
[[gnu::always_inline]] inline void TCalc::Restore(CallFrame& frame) {
  CallerState& s = frame.caller;
  vars_ = s.vars;
  currentLine_ = s.currentLine;
  nextLine_ = s.nextLine;
  error_ = s.error;
  finished_ = s.finished;
  call_ = s.call;
  resultOne_ = s.resultOne;
  if (!s.errorText.empty() || !errorText_.empty()) {
    errorText_.swap(s.errorText);
    s.errorText.clear();
  }
  if (!s.result.isEmpty() || !result_.isEmpty()) {
    result_.swap(s.result);
    s.result = Value();
  }
}

void TCalc::PushCall(const TFunctionBlock& fn, const std::string& name, const Value& args) {
  CallFrame& frame = PrepareFrame();
  TVariableSet& locals = frame.locals;
  locals.Recycle();
  if (args.isArray()) {
    for (std::size_t i = 0; i < fn.Parameters.size() && i < args.items().size(); ++i)
      locals.Bind(fn.Parameters[i], args.items()[i]);
  } else if (!fn.Parameters.empty()) {
    locals.Bind(fn.Parameters[0], args);
  }
  EnterFrame(frame, fn, name);
}

// The frame of the next call depth; its locals are emptied as the parameters
// are bound, without callbacks.
TCalc::CallFrame& TCalc::NewFrame() {
  if (callDepth_ >= kMaxCallDepth) throw NestingTooDeep();
  if (frames_.size() <= static_cast<std::size_t>(callDepth_)) {
    auto frame = std::make_unique<CallFrame>();
    frame->locals.OnError = [this](TVariableSet&, const std::string& message) { SetErrorReplace(message); };
    frame->locals.OnBeforeSet = onBeforeSet_;
    frame->locals.OnChange = onChange_;
    frames_.push_back(std::move(frame));
    // A statement of the call's depth may wait for a call in turn.
    pending_.push_back(std::make_unique<Pending>());
  }
  return *frames_[callDepth_];
}

// Binds the parameters as Pack would give the arguments: one argument's
// array spreads, of several an array gives its first element, no argument
// is Empty for the first parameter.
[[gnu::always_inline]] inline bool TCalc::BindArguments(TVariableSet& locals, const TFunctionBlock& fn,
                                                        std::size_t first, std::size_t n) {
  const std::size_t count = fn.Parameters.size();
  if (n == 1 && count > 0) {
    // One plain argument, the commonest call.
    Operand& o = stack_[first];
    if (!(o.ref ? *o.ref : o.own).isArray() && locals.Reuse(fn.LayoutBase + 1, 1)) {
      locals.BindAt(0, o.ref ? Value(*o.ref) : std::move(o.own));
      return true;
    }
  } else if (fn.DistinctParameters && n > 0 && n <= count) {
    // The usual call, plain values for the first n parameters: when the call
    // before at this depth bound the same, its parameter entries are reused
    // where they stand.
    bool plain = true;
    for (std::size_t i = first; i < first + n && plain; ++i) {
      const Operand& o = stack_[i];
      plain = !(o.ref ? *o.ref : o.own).isArray();
    }
    const int k = static_cast<int>(n);
    if (plain && locals.Reuse(fn.LayoutBase + n, k)) {
      // The operands are dropped next: an own value moves.
      for (int i = 0; i < k; ++i) {
        Operand& o = stack_[first + i];
        locals.BindAt(i, o.ref ? Value(*o.ref) : std::move(o.own));
      }
      return true;
    }
  }
  locals.Recycle();
  if (n == 0) {
    if (count > 0) locals.Bind(fn.Parameters[0], Value());
    return false;
  }
  std::size_t k = 0;
  for (std::size_t i = first; i < first + n && k < count; ++i) {
    const Operand& o = stack_[i];
    const Value& v = o.ref ? *o.ref : o.own;
    if (!v.isArray()) {
      locals.Bind(fn.Parameters[k++], v);
    } else if (n == 1) {
      for (const Value& item : v.items()) {
        if (k == count) break;
        locals.Bind(fn.Parameters[k++], item);
      }
    } else if (!v.items().empty()) {
      locals.Bind(fn.Parameters[k++], v.items()[0]);
    }
  }
  return false;
}

[[gnu::always_inline]] inline void TCalc::EnterFrame(CallFrame& frame, const TFunctionBlock& fn,
                                                     const std::string& name, bool laidOut) {
  // Its parameters stand where they stand in every call of the function.
  if (fn.LayoutBase && !laidOut) frame.locals.ShareLayout(fn.LayoutBase + frame.locals.Count());
  // The call starts without error text or result (both were set aside).
  SetAside(frame);
  ++callDepth_;
  pend_ = pending_[callDepth_].get();
  frame.name = &name;
  resultOne_ = false;
  vars_ = &frame.locals;
  call_ = ++calls_;
  error_ = false;
  currentLine_ = 0;
  nextLine_ = fn.FunctionLine + 1;
  finished_ = nextLine_ >= LineCount();
}

// The arguments from first on are bound: they go, and the statement waits.
inline bool TCalc::EnterBound(CallFrame& f, const TFunctionBlock& fn, const Expr& e, std::size_t first, std::size_t pc,
                              std::size_t base, bool laidOut) {
  Truncate(first);
  Materialize(base);
  Pending& p = *pend_;
  p.pc = pc;
  p.top = stack_.size();
  EnterFrame(f, fn, e.name, laidOut);
  return false;
}

bool TCalc::EnterCall(const Expr& e, std::size_t first, std::size_t n, std::size_t pc, std::size_t base) {
  const TFunctionBlock& fn = *program_->functions[e.userFunction];
  // The commonest entry, kept short: one plain argument, into the frame the
  // call before at this depth left holding the function's layout with its
  // one entry (so the function has a parameter).
  if (n == 1 && static_cast<std::size_t>(callDepth_) < frames_.size()) {
    CallFrame& f = *frames_[callDepth_];
    Operand& o = stack_[first];
    if (!(o.ref ? *o.ref : o.own).isArray() && f.locals.Holds(fn.LayoutBase + 1, 1)) {
      // The operand is dropped next, and the parameter's old value with it.
      if (o.ref) o.own = *o.ref;
      f.locals.BindAt(0, o.own);
      return EnterBound(f, fn, e, first, pc, base, true);
    }
  }
  return EnterAnyCall(fn, e, first, n, pc, base);
}

bool TCalc::EnterAnyCall(const TFunctionBlock& fn, const Expr& e, std::size_t first, std::size_t n, std::size_t pc,
                         std::size_t base) {
  CallFrame& f = PrepareFrame();
  const bool laidOut = BindArguments(f.locals, fn, first, n);
  return EnterBound(f, fn, e, first, pc, base, laidOut);
}

bool TCalc::PopCall(Value& result) {
  CallFrame& frame = *frames_[callDepth_ - 1];
  if (error_) {
    const std::string failure = "Function runtime error: " + *frame.name + "\r\n" + errorText_;
    DropCall();
    SetErrorReplace(failure);
    return false;
  }
  if (!resultOne_) {
    result = std::move(result_);
  } else {
    result = Value();
    result.append(std::move(result_));
  }
  DropCall();
  return true;
}

[[gnu::always_inline]] inline void TCalc::DropCall() {
  --callDepth_;
  pend_ = pending_[callDepth_].get();
  Restore(*frames_[callDepth_]);
}

// A call made where the expression cannot wait for a frame: it runs here.
bool TCalc::CallUserFunction(const TFunctionBlock& fn, const std::string& name, const Value& args, Value& result) {
  CheckStack();
  if (program_->error) {
    SetErrorReplace("Function runtime error: " + name + "\r\n" + program_->errorText);
    return false;
  }
  PushCall(fn, name, args);
  try {
    while (!finished_ && !error_) ExecuteGuarded(true);
  } catch (...) {
    DropCall();
    throw;
  }
  return PopCall(result);
}

bool TCalc::CallFunction(const std::string& name, const Value& args, Value& result) {
  return CallNamed(name, UpperCase(Trim(name)), args, result);
}

bool TCalc::CallNamed(const std::string& name, const std::string& upper, const Value& args, Value& result) {
  StackGuard guard;
  auto fit = program_->functionIndex.find(upper);
  if (fit != program_->functionIndex.end()) return CallRouted(fit->second, CallRoute(), name, args, result);
  return CallRouted(-1, Resolve(upper), name, args, result);
}

// The lookup order: user function, function handler, external libraries,
// EVALUATE, CITE, built-in library.
CallRoute TCalc::Resolve(const std::string& upper) const {
  CallRoute r;
  r.generation = generation_;
  if (functionHandler_) {
    if (!functionResolver_) {
      r.askHandler = true;
    } else if (DirectFunction f = functionResolver_(upper)) {
      r.target = f;
      r.straight = true;
      return r;
    }
  }
  r.askExternals = externals_ != nullptr;
  if (upper == "EVALUATE") {
    r.special = CallRoute::kEvaluate;
    return r;
  }
  if (upper == "CITE") r.special = CallRoute::kCite;
  if (builtinHandler_) {
    if (builtinResolver_)
      r.target = builtinResolver_(upper);
    else
      r.askBuiltin = true;
  }
  r.straight = r.target && !r.askHandler && !r.askExternals && r.special == CallRoute::kNone;
  return r;
}

namespace {
// A callable found ahead, its result as every caller by name takes it: a
// lone value the list of it, also when the call fails on the way.
bool CallTarget(const DirectFunction& f, const Value& args, Value& result) {
  if (!f.lone) return f.call(f, args, result);
  bool ok;
  try {
    ok = f.call(f, args, result);
  } catch (...) {
    ListLoneResult(result);
    throw;
  }
  ListLoneResult(result);
  return ok;
}
}  // namespace

bool TCalc::CallRouted(int user, const CallRoute& route, const std::string& name, const Value& args, Value& result) {
  result = Value();
  try {
    if (user >= 0) return CallUserFunction(*program_->functions[user], name, args, result);
    bool found = false;
    if (route.askHandler && functionHandler_) {
      const bool ok = functionHandler_(name, args, result, found);
      if (found) return ok;
      result = Value();
    }
    if (route.askExternals && externals_) {
      const bool ok = externals_->Call(name, args, result, found);
      if (found) return ok;
      result = Value();
    }
    if (route.special == CallRoute::kEvaluate) {
      auto once = [&](const Value& item) {
        const Value first = Evaluate(ToText(item));
        result.append(Evaluate(ToText(first)));
      };
      if (args.isArray())
        for (const Value& item : args.items()) once(item);
      else
        once(args);
      return true;
    }
    if (route.special == CallRoute::kCite && args.isArray() && args.items().size() >= 3) {
      // The base text with "(", the number and ")" appended: CITE("A", 1, 3)
      // reads A(1), A(2) and A(3).
      const std::string base = ToText(args.items()[0]);
      const std::int32_t from = ToInteger(args.items()[1]), to = ToInteger(args.items()[2]);
      // A range longer than any array a program could hold is refused at once,
      // as if memory had run out, rather than read for hours.
      if (static_cast<long long>(to) - from >= static_cast<long long>(kMaxCiteElements)) throw std::bad_alloc();
      for (long long n = from; n <= to; ++n) {
        if (budget_ && --*budget_ < 0) BudgetSpent();
        result.append(Evaluate(base + "(" + std::to_string(n) + ")"));
      }
      return true;
    }
    if (route.target) return CallTarget(route.target, args, result);
    if (route.askBuiltin && builtinHandler_) {
      const bool ok = builtinHandler_(name, args, result, found);
      if (found) return ok;
      result = Value();
    }
  } catch (...) {
    return CallFailed(name);
  }
  SetErrorReplace("No such function: " + name);
  return false;
}

// A call that failed as a conversion does is an error of its name; any
// other fault passes on.
bool TCalc::CallFailed(const std::string& name) {
  try {
    throw;
  } catch (const ConvertError&) {
    SetErrorOnce("Convert error: " + name);
  } catch (const StringListError&) {
    SetErrorOnce("String list error: " + name);
  } catch (const VariantError&) {
    SetErrorOnce("Variant error: " + name);
  }
  return false;
}

}  // namespace tam

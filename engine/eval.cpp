// Evaluation of expressions: operators, literals, variables, array elements
// and calls. Errors set the engine's error state; evaluation goes on to the
// end of the expression with whatever values result.
#include <charconv>
#include <cstring>

#include "engine/calc.h"
#include "engine/expression.h"
#include "engine/failure.h"
#include "engine/limits.h"
#include "engine/operators.h"
#include "engine/program.h"
#include "engine/scanner.h"
#include "engine/sjis.h"

namespace tam {

namespace {
// Texts evaluated from values (EVALUATE, CITE) are not kept: only the
// program's own texts are, so the store stays bounded by the program.
constexpr std::size_t kMaxStoredExpressions = 100000;
}  // namespace

std::shared_ptr<const Expr> TCalc::Compiled(const std::string& text) {
  auto& store = program_->expressions;
  auto it = store.find(text);
  if (it != store.end()) return it->second;
  std::shared_ptr<const Expr> e = CompileExpression(text);
  if (store.size() < kMaxStoredExpressions) store.emplace(text, e);
  return e;
}

Value TCalc::Evaluate(const std::string& text) {
  StackGuard guard;
  CheckStack();
  const std::unique_ptr<Expr> e = CompileExpression(text);
  return Eval(*e);
}

Value TCalc::EvaluateStatement(const std::string& text) {
  StackGuard guard;
  return Settle(Trim(text), nullptr);
}

const StoredExpr* TCalc::StoredText(const std::string& text, std::shared_ptr<const Expr>& temp, std::string& trimmed) {
  auto& stored = program_->stored;
  auto it = stored.find(&text);
  if (it != stored.end()) return &it->second;
  trimmed = Trim(text);
  temp = Compiled(trimmed);
  auto e = program_->expressions.find(trimmed);
  if (e == program_->expressions.end()) return nullptr;
  return &stored.emplace(&text, StoredExpr{std::move(trimmed), e->second}).first->second;
}

Value TCalc::EvaluateStored(const std::string& text) {
  StackGuard guard;
  std::shared_ptr<const Expr> temp;
  std::string trimmed;
  if (const StoredExpr* s = StoredText(text, temp, trimmed)) return Settle(s->trimmed, s->expr.get());
  return Settle(trimmed, temp.get());
}

namespace {
// A one-element result stands for its element.
Value Unwrapped(Value v) {
  if (v.isArray() && v.items().size() == 1) {
    Value only = std::move(v.items()[0]);
    return only;
  }
  return v;
}
}  // namespace

// Evaluates the trimmed text (by its compiled form when given), turns the
// failure categories into run-time errors and unwraps a one-element result.
Value TCalc::Settle(const std::string& t, const Expr* expr) {
  Value v;
  try {
    v = expr ? Eval(*expr) : Eval(*Compiled(t));
  } catch (const InvalidOp&) {
    SetErrorOnce("Invalid operation: " + t);
    return Value();
  } catch (const ScriptFailure&) {
    SetErrorOnce("Convert error: " + t);
    return Value();
  }
  return Unwrapped(std::move(v));
}

bool TCalc::StartFirst(const std::string& text, const StoredExpr*& form) {
  std::shared_ptr<const Expr> temp;
  std::string trimmed;
  if (const StoredExpr* s = StoredText(text, temp, trimmed)) {
    form = s;
    return StartStatement(text, form);
  }
  // Beyond the store the text's structure is not kept: its calls nest.
  Value v = Settle(trimmed, temp.get());
  pend_->base = stack_.size();
  Operand& o = stack_.emplace_back();
  o.own = std::move(v);
  // Settle has unwrapped it already: the value is taken as it is.
  o.one = true;
  return true;
}

Value TCalc::Eval(const Expr& root) {
  const std::size_t base = stack_.size();
  std::size_t pc = 0;
  try {
    RunCode(root, pc, base, false);
  } catch (...) {
    Truncate(base);
    throw;
  }
  return TakeResult(base);
}

void TCalc::OperandStack::Grow() {
  const std::size_t capacity = capacity_ ? 2 * capacity_ : 64;
  Operand* slots = static_cast<Operand*>(::operator new(capacity * sizeof(Operand)));
  for (std::size_t i = 0; i < size_; ++i) {
    new (slots + i) Operand(std::move(slots_[i]));
    slots_[i].~Operand();
  }
  ::operator delete(slots_);
  slots_ = slots;
  capacity_ = capacity;
}

TCalc::OperandStack::~OperandStack() {
  resize(0);
  ::operator delete(slots_);
}

Value TCalc::TakeResult(std::size_t base) {
  Operand& o = stack_[base];
  Value v = o.ref ? *o.ref : std::move(o.own);
  // A value marked one is the one-element list of it.
  if (o.one) ListOfOne(v);
  Truncate(base);
  return v;
}

// The argument value of a call from its n evaluated arguments: Empty for
// none; one argument's array spreads into the arguments; of several, an
// array gives its first element.
Value TCalc::Pack(std::size_t first, std::size_t n) {
  if (n == 0) return Value();
  Value out = Value::Array();
  std::vector<Value>& items = out.items();
  items.reserve(n);
  for (std::size_t i = first; i < first + n; ++i) {
    Operand& o = stack_[i];
    const Value& v = o.ref ? *o.ref : o.own;
    if (!v.isArray()) {
      if (o.ref)
        items.push_back(v);
      else
        items.push_back(std::move(o.own));
    } else if (n == 1) {
      if (o.ref)
        items.insert(items.end(), v.items().begin(), v.items().end());
      else
        for (Value& item : o.own.items()) items.push_back(std::move(item));
    } else if (!v.items().empty()) {
      if (o.ref)
        items.push_back(v.items()[0]);
      else
        items.push_back(std::move(o.own.items()[0]));
    }
  }
  return out;
}

std::size_t TCalc::PushArguments(const std::vector<std::unique_ptr<Expr>>& args) {
  const std::size_t base = stack_.size();
  try {
    for (const auto& a : args) {
      Value v = Eval(*a);
      stack_.emplace_back().own = std::move(v);
    }
  } catch (...) {
    Truncate(base);
    throw;
  }
  return base;
}

Value TCalc::ArgumentValue(const std::vector<std::unique_ptr<Expr>>& args) {
  const std::size_t base = PushArguments(args);
  Value out = Pack(base, args.size());
  Truncate(base);
  return out;
}

namespace {
// Appends the i-th of k indexes of an element name: "(" before the first,
// "," before the others, ")" after the last.
// WriteIndex writes it at out (at most 13 bytes) and returns its end.
char* WriteIndex(char* out, std::int32_t index, std::size_t i, std::size_t k) {
  *out = i == 0 ? '(' : ',';
  char* end = std::to_chars(out + 1, out + 12, index).ptr;
  if (i + 1 == k) *end++ = ')';
  return end;
}

void AppendIndex(std::string& out, std::int32_t index, std::size_t i, std::size_t k) {
  char piece[16];
  out.append(piece, WriteIndex(piece, index, i, k));
}

// The value of the i-th operand of a stack.
template <class Stack>
const Value* ValueOn(Stack& stack, std::size_t i) {
  const auto& o = stack[i];
  return o.ref ? o.ref : &o.own;
}

// An upper-cased element name built in place, without a string: the base
// and the Integer indexes, when the name is short.
class ElementKey {
 public:
  // The upper-cased base and "(i,j)" for k indexes, valueAt(i) giving the
  // i-th; false when one is missing (nullptr) or not an Integer, or when
  // the name would not fit.
  template <class ValueAt>
  bool Build(const std::string& upperBase, std::size_t k, ValueAt valueAt) {
    if (k == 0 || upperBase.size() + 13 * k > sizeof text_) return false;
    char* end = std::copy(upperBase.begin(), upperBase.end(), text_);
    for (std::size_t i = 0; i < k; ++i) {
      const Value* v = valueAt(i);
      if (!v || v->type() != vtInteger) return false;
      end = WriteIndex(end, v->i(), i, k);
    }
    size_ = static_cast<std::size_t>(end - text_);
    return true;
  }
  std::string_view View() const { return {text_, size_}; }

 private:
  char text_[96];
  std::size_t size_ = 0;
};

// Appends "(i,j)" for the k operands from first when each is a plain
// Integer; false (with text appended) otherwise.
template <class Stack>
bool AppendIntegerSuffix(Stack& stack, std::size_t first, std::size_t k, std::string& out) {
  for (std::size_t i = 0; i < k; ++i) {
    const Value& v = *ValueOn(stack, first + i);
    if (v.type() != vtInteger) return false;
    AppendIndex(out, v.i(), i, k);
  }
  return true;
}

// name(i,j) when the first k elements of an argument value are Integers.
bool ElementSuffix(const Value& args, std::size_t k, std::string& suffix) {
  if (k == 0 || !args.isArray() || args.items().size() < k) return false;
  suffix.clear();
  for (std::size_t i = 0; i < k; ++i) {
    const Value& v = args.items()[i];
    if (v.type() != vtInteger) return false;
    AppendIndex(suffix, v.i(), i, k);
  }
  return true;
}
}  // namespace

// The operator on the operand and a right operand, marked one as rOne, the
// result in the operand.
inline void TCalc::ApplyTo(Operand& l, const Value& rv, bool rOne, const Expr& e) {
  const Value& lv = l.ref ? *l.ref : l.own;
  // Two numbers: an operand marked one makes the result so marked.
  if (QuickNumbers(e.op, lv, rv, l.own)) {
    l.ref = nullptr;
    if (rOne) l.one = true;
    return;
  }
  ApplyGenerally(l, lv, rv, rOne, e);
}

// An operator step on the two operands on top of the stack.
inline void TCalc::Binary(const Expr& e) {
  Operand& r = stack_.back();
  ApplyTo((&r)[-1], r.ref ? *r.ref : r.own, r.one, e);
  stack_.pop_back();
}

void TCalc::ApplyGenerally(Operand& l, const Value& lv, const Value& rv, bool rOne, const Expr& e) {
  if (l.one || rOne) {
    if (!lv.isArray() && !rv.isArray()) {
      ApplyOne(l, lv, rv, e);
      return;
    }
    // Beside a longer list: the marked operands become their lists.
    if (l.one) ListOfOne(l);
    if (rOne) {
      Value list;
      list.append(rv);
      ApplyPlain(l, list, e);
      return;
    }
  }
  ApplyPlain(l, rv, e);
}

// Neither operand marked one.
void TCalc::ApplyPlain(Operand& l, const Value& rv, const Expr& e) {
  bool ok;
  if (l.ref) {
    // The left operand is read in place: its own value takes the result.
    ok = ApplyOperator(e.op, *l.ref, rv, l.own);
    l.ref = nullptr;
  } else {
    Value result;
    ok = ApplyOperator(e.op, l.own, rv, result);
    l.own = std::move(result);
  }
  if (!ok) OperatorFailed(e);
}

// A one-element list beside a plain value or another such list: the list of
// the one result, as the operator gives it element by element.
void TCalc::ApplyOne(Operand& l, const Value& lv, const Value& rv, const Expr& e) {
  Value result;
  const bool ok = ApplyOperator(e.op, lv, rv, result);
  l.ref = nullptr;
  l.own = std::move(result);
  l.one = ok;
  if (ok && l.own.isArray()) {
    ListOfOne(l.own);
    l.one = false;
  }
  if (!ok) OperatorFailed(e);
}

void TCalc::ListOfOne(Value& v) {
  Value list;
  list.append(std::move(v));
  v = std::move(list);
}

void TCalc::ListOfOne(Operand& o) {
  ListOfOne(o.own);
  o.one = false;
}

void TCalc::OperatorFailed(const Expr& e) { SetErrorOnce("Invalid expression: " + e.Text()); }

// A call step: an array element named by the call, else the call. A user
// function's call runs as a frame when suspend allows (false), else within.
[[gnu::always_inline]] inline bool TCalc::CallStep(const Instr& in, std::size_t pc, std::size_t base, bool suspend) {
  const Expr& e = *in.e;
  if (e.resolvedIn == program_.get() && !vars_->HasElements()) {
    if (e.userFunction >= 0) {
      // A user function's call that runs as a frame: no element can have
      // the call's name, so the arguments go to the parameters straight
      // from the operands.
      if (suspend && in.code == Instr::kCall && !program_->error) {
        const std::size_t n = e.args.size();
        return EnterCall(e, stack_.size() - n, n, pc, base);
      }
    } else if (e.route.generation == generation_ && e.route.straight) {
      // A library call whose route holds for this program and setup, the
      // commonest call: straight to its callable.
      if (in.code != Instr::kCall) return CallStraight(in, stack_.size(), 0);
      CheckStack();
      const std::size_t n = e.args.size();
      if (CallStraight(in, stack_.size() - n, n)) return true;
    }
  }
  return CallOther(in, pc, base, suspend);
}

// Runs the steps of an expression from pc, its operands on the stack above
// base; at the end the value is the one operand there. With kSuspend, a call
// of a user function pushes its frame and returns false with pc at the call:
// the statement loop runs the function and ResumeStatement goes on here.
template <bool kSuspend>
bool TCalc::RunSteps(const Expr& root, std::size_t& at, std::size_t base) {
  const std::vector<Instr>& code = CodeOf(root);
  const Instr* const start = code.data();
  const Instr* const end = start + code.size();
  for (const Instr* step = start + at; step != end; ++step) {
    const Instr& in = *step;
    const Expr& e = *in.e;
    switch (in.code) {
      case Instr::kLiteral:
        stack_.PushRef(&e.value);
        break;
      case Instr::kBadString:
        BadString(e);
        break;
      case Instr::kEmpty:
        stack_.emplace_back();
        break;
      case Instr::kName:
        if (const Value* v = vars_->Find(e.text, e.slot)) {
          stack_.PushRef(v);
          break;
        }
        [[fallthrough]];
      case Instr::kCall: {
        const std::size_t pc = static_cast<std::size_t>(step - start);
        if (!CallStep(in, pc, base, kSuspend)) {
          at = pc;
          return false;
        }
        break;
      }
      case Instr::kBinary:
        Binary(e);
        break;
      case Instr::kNameLiteral:
        if (const Value* v = vars_->Find(step[1].e->text, step[1].e->slot)) {
          Operand& o = stack_.emplace_back();
          if (!ApplyOperator(e.op, *v, step[2].e->value, o.own)) OperatorFailed(e);
          step += 3;
        }
        break;
      case Instr::kNameName: {
        const Value* l = vars_->Find(step[1].e->text, step[1].e->slot);
        const Value* r = l ? vars_->Find(step[2].e->text, step[2].e->slot) : nullptr;
        if (r) {
          Operand& o = stack_.emplace_back();
          if (!ApplyOperator(e.op, *l, *r, o.own)) OperatorFailed(e);
          step += 3;
        }
        break;
      }
      case Instr::kTopName:
        if (const Value* v = vars_->Find(step[1].e->text, step[1].e->slot)) {
          ApplyTo(stack_.back(), *v, false, e);
          step += 2;
        }
        break;
      case Instr::kTopLiteral:
        ApplyTo(stack_.back(), step[1].e->value, false, e);
        ++step;
        break;
      default:
        __builtin_unreachable();
    }
  }
  at = static_cast<std::size_t>(end - start);
  return true;
}

template bool TCalc::RunSteps<false>(const Expr& root, std::size_t& at, std::size_t base);
template bool TCalc::RunSteps<true>(const Expr& root, std::size_t& at, std::size_t base);

void TCalc::BadString(const Expr& e) {
  SetErrorReplace("Invalid string: " + e.text);
  stack_.PushRef(&e.value);
}

bool TCalc::CallOther(const Instr& in, std::size_t pc, std::size_t base, bool suspend) {
  const Expr& e = *in.e;
  if (e.resolvedIn != program_.get()) {
    auto fit = program_->functionIndex.find(e.upper);
    e.userFunction = fit == program_->functionIndex.end() ? -1 : fit->second;
    e.resolvedIn = program_.get();
  }
  const bool frame = suspend && e.userFunction >= 0 && !program_->error;
  Value args;
  const std::string* name = &e.text;
  if (in.code == Instr::kCall) {
    name = &e.name;
    const std::size_t n = e.args.size(), first = stack_.size() - n;
    if (frame && !vars_->HasElements()) return EnterCall(e, first, n, pc, base);
    bool sought = false;
    if (vars_->HasElements()) {
      // Integer indexes, the usual element read: its name is built upper-cased
      // in place and found without upper-casing it again. (A name too long
      // to be built so is sought below.)
      ElementKey key;
      sought = key.Build(e.upper, n, [&](std::size_t i) { return ValueOn(stack_, first + i); });
      if (sought) {
        if (const Value* v = vars_->FindUpper(key.View())) {
          Truncate(first);
          stack_.PushRef(v);
          return true;
        }
      }
    }
    // A call made here may take C stack; one that runs as a frame, or an
    // element read, takes none.
    CheckStack();
    if (!frame && e.userFunction < 0 && !vars_->HasElements() && DirectRoute(e) && CallStraight(in, first, n))
      return true;
    args = Pack(first, n);
    Truncate(first);
    std::string suffix;
    if (!sought && vars_->HasElements() && ElementSuffix(args, n, suffix)) {
      if (const Value* v = vars_->Find(e.name + suffix)) {
        stack_.PushRef(v);
        return true;
      }
    }
  } else {
    if (!frame && e.userFunction < 0 && DirectRoute(e)) return CallStraight(in, stack_.size(), 0);
    args = Value::Int(0);
  }
  Materialize(base);
  if (frame) {
    CheckStack();
    Pending& p = *pend_;
    p.pc = pc;
    p.top = stack_.size();
    PushCall(*program_->functions[e.userFunction], *name, args);
    return false;
  }
  // The route is copied: the call may run this expression again under
  // other handlers.
  if (e.userFunction < 0 && e.route.generation != generation_) e.route = Resolve(e.upper);
  const CallRoute route = e.route;
  Value result;
  const bool ok = CallRouted(e.userFunction, route, *name, args, result);
  FinishCall(in, ok, std::move(result), false);
  return true;
}

bool TCalc::DirectRoute(const Expr& e) {
  if (e.route.generation != generation_) e.route = Resolve(e.upper);
  return e.route.straight;
}

namespace {
// The longest list of arguments passed where they stand.
constexpr std::size_t kStraightArguments = 8;
const Value kNoArguments;
const Value kBareWord = Value::Int(0);
}  // namespace

// The arguments are spread as Pack would spread them. The callee neither
// runs the engine nor changes a variable, so the operands read in place
// stay as they are.
bool TCalc::CallStraight(const Instr& in, std::size_t first, std::size_t n) {
  const Expr& e = *in.e;
  const Value* list[kStraightArguments];
  std::size_t k = 0;
  // The operands' own values are dropped after the call: the callee may take them.
  unsigned owned = 0;
  for (std::size_t i = first; i < first + n; ++i) {
    const Operand& o = stack_[i];
    const Value& v = o.ref ? *o.ref : o.own;
    if (!v.isArray()) {
      if (k == kStraightArguments) return false;
      if (!o.ref) owned |= 1u << k;
      list[k++] = &v;
    } else if (n == 1) {
      if (v.items().size() > kStraightArguments) return false;
      for (const Value& item : v.items()) list[k++] = &item;
    } else if (!v.items().empty()) {
      if (k == kStraightArguments) return false;
      list[k++] = &v.items()[0];
    }
  }
  const DirectFunction& f = e.route.target;
  const bool bare = in.code == Instr::kName;
  const Args args = bare ? Args(kBareWord) : n == 0 ? Args(kNoArguments) : Args(list, k, owned);
  Value result;
  bool ok;
  try {
    ok = f.call(f, args, result);
  } catch (...) {
    ok = CallFailed(bare ? e.text : e.name);
  }
  stack_.DropFrom(first);
  if (ok) {
    Operand& o = stack_.emplace_back();
    // A lone value stands for its one-element list: the operand is so marked.
    o.one = f.lone && !result.isEmpty() && !result.isArray();
    o.own.swap(result);
    return true;
  }
  if (f.lone) ListLoneResult(result);
  FinishCall(in, false, std::move(result), false);
  return true;
}

// Pushes what a call step gives once the call is done.
void TCalc::FinishCall(const Instr& in, bool ok, Value&& result, bool one) {
  Operand& o = stack_.emplace_back();
  if (!ok) {
    FailedCall(in, o, std::move(result));
    return;
  }
  o.one = one;
  o.own = std::move(result);
}

// A call that failed gives what it gave, with its error, or a bare word that
// named nothing gives its own text.
void TCalc::FailedCall(const Instr& in, Operand& o, Value&& result) {
  const Expr& e = *in.e;
  if (in.code == Instr::kCall) {
    SetErrorOnce("Invalid function call: " + e.text);
    o.own = std::move(result);
  } else {
    o.own = Value::Str(e.text);
  }
}

namespace {
ElementTarget ParseTarget(const std::string& text) {
  ElementTarget target;
  const std::string t = Trim(text);
  const std::size_t paren = FindOnBoundary(t, "(");
  if (paren == std::string::npos || t.empty() || t.back() != ')') return target;
  target.element = true;
  target.base = Trim(t.substr(0, paren));
  target.upperBase = UpperCase(target.base);
  target.args = CompileArguments(Trim(t.substr(paren + 1, t.size() - paren - 2)));
  return target;
}
}  // namespace

std::string TCalc::ElementName(const std::string& text) {
  StackGuard guard;
  return NameOf(text, ParseTarget(text));
}

const ElementTarget& TCalc::TargetOf(const std::string& text) {
  auto& targets = program_->targets;
  auto it = targets.find(&text);
  if (it == targets.end()) {
    StackGuard guard;
    it = targets.emplace(&text, ParseTarget(text)).first;
  }
  return it->second;
}

std::string TCalc::TargetName(const std::string& text) {
  StackGuard guard;
  return NameOf(text, TargetOf(text));
}

void TCalc::AssignElement(const std::string& text, Value&& v) {
  const ElementTarget& target = TargetOf(text);
  if (!target.element) {
    if (!error_) vars_->SetValue(text, v);
    return;
  }
  // Integer indexes, the usual target: the name is built upper-cased in
  // place, and as written only if the set needs it. Indexes that are all
  // variables are read where they stand (nothing runs between the reads).
  const std::size_t n = target.args.size();
  ElementKey key;
  if (key.Build(target.upperBase, n, [&](std::size_t i) -> const Value* {
        const Expr& a = *target.args[i];
        return a.kind == Expr::kName ? vars_->Find(a.text, a.slot) : nullptr;
      })) {
    if (!error_) vars_->SetElement(key.View(), target.base, std::move(v));
    return;
  }
  StackGuard guard;
  const std::size_t base = PushArguments(target.args);
  if (key.Build(target.upperBase, n, [&](std::size_t i) { return ValueOn(stack_, base + i); })) {
    Truncate(base);
    if (!error_) vars_->SetElement(key.View(), target.base, std::move(v));
    return;
  }
  const std::string name = NameAt(text, target, base);
  if (!error_) vars_->SetValue(name, v);
}

std::string TCalc::NameOf(const std::string& text, const ElementTarget& target) {
  if (!target.element) return text;
  return NameAt(text, target, PushArguments(target.args));
}

std::string TCalc::NameAt(const std::string& text, const ElementTarget& target, std::size_t base) {
  const std::size_t n = target.args.size();
  // Integer indexes, the usual target: the name is built from the operands.
  std::string name = target.base;
  const bool plain = n > 0 && AppendIntegerSuffix(stack_, base, n, name);
  const Value v = plain ? Value() : Pack(base, n);
  Truncate(base);
  if (plain) return name;
  std::string suffix;
  if (!v.isArray() || v.items().empty() || !ElementSuffix(v, v.items().size(), suffix)) return text;
  return target.base + suffix;
}

}  // namespace tam

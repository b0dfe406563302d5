// Evaluation of expressions: operators, literals, variables, array elements
// and calls. Errors set the engine's error state; evaluation goes on to the
// end of the expression with whatever values result.
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

Value TCalc::EvaluateCompiled(const std::string& text) {
  const std::shared_ptr<const Expr> e = Compiled(text);
  return Eval(*e);
}

Value TCalc::EvaluateStatement(const std::string& text) {
  StackGuard guard;
  return Settle(Trim(text), nullptr);
}

Value TCalc::EvaluateStored(const std::string& text) {
  StackGuard guard;
  auto& stored = program_->stored;
  auto it = stored.find(&text);
  if (it != stored.end()) return Settle(it->second.trimmed, it->second.expr.get());
  std::string t = Trim(text);
  Value v = Settle(t, nullptr);
  auto e = program_->expressions.find(t);
  if (e != program_->expressions.end()) program_->stored.emplace(&text, Program::Stored{std::move(t), e->second});
  return v;
}

// Evaluates the trimmed text (by its compiled form when given), turns the
// failure categories into run-time errors and unwraps a one-element result.
Value TCalc::Settle(const std::string& t, const Expr* expr) {
  Value v;
  try {
    v = expr ? Eval(*expr) : EvaluateCompiled(t);
  } catch (const InvalidOp&) {
    SetErrorOnce("Invalid operation: " + t);
    return Value();
  } catch (const ScriptFailure&) {
    SetErrorOnce("Convert error: " + t);
    return Value();
  }
  if (v.isArray() && v.items().size() == 1) {
    Value only = std::move(v.items()[0]);
    return only;
  }
  return v;
}

// The value of an operand that can be read in place, without a copy and
// without any effect: a literal or a variable. nullptr for anything else.
const Value* TCalc::Peek(const Expr& e) {
  switch (e.kind) {
    case Expr::kString:
    case Expr::kNumber:
      return &e.value;
    case Expr::kName:
      return vars_->Find(e.text, e.slot);
    default:
      return nullptr;
  }
}

Value TCalc::Eval(const Expr& e) {
  if (e.kind != Expr::kBinary) return EvalOperand(e);
  CheckStack();
  Value held, right;
  const Value* left = Peek(*e.left);
  if (!left) {
    held = Eval(*e.left);
    left = &held;
  }
  const Value* r = Peek(*e.right);
  if (!r) {
    // Evaluating the right side may call functions that change variables:
    // the left side keeps the value it had before.
    if (left != &held && e.left->kind == Expr::kName) {
      held = *left;
      left = &held;
    }
    right = Eval(*e.right);
    r = &right;
  }
  Value result;
  if (!ApplyOperator(e.op, *left, *r, result)) SetErrorOnce("Invalid expression: " + e.Text());
  return result;
}

Value TCalc::ArgumentValue(const std::vector<std::unique_ptr<Expr>>& args) {
  if (args.empty()) return Value();
  Value out = Value::Array();
  out.items().reserve(args.size());
  if (args.size() == 1) {
    Value v = Eval(*args[0]);
    if (v.isArray()) {
      for (Value& item : v.items()) out.append(std::move(item));
    } else {
      out.append(std::move(v));
    }
    return out;
  }
  for (const auto& a : args) {
    Value v = Eval(*a);
    if (!v.isArray()) {
      out.append(std::move(v));
    } else if (!v.items().empty()) {
      out.append(std::move(v.items()[0]));
    }
  }
  return out;
}

namespace {
// name(i,j) when the first k elements of an argument value are Integers.
bool ElementSuffix(const Value& args, std::size_t k, std::string& suffix) {
  if (k == 0 || !args.isArray() || args.items().size() < k) return false;
  suffix = "(";
  for (std::size_t i = 0; i < k; ++i) {
    const Value& v = args.items()[i];
    if (v.type() != vtInteger) return false;
    if (i) suffix += ',';
    suffix += std::to_string(v.i());
  }
  suffix += ')';
  return true;
}
}  // namespace

Value TCalc::EvalOperand(const Expr& e) {
  switch (e.kind) {
    case Expr::kParen:
      CheckStack();
      return Eval(*e.left);
    case Expr::kString:
    case Expr::kNumber:
      return e.value;
    case Expr::kBadString:
      SetErrorReplace("Invalid string: " + e.text);
      return e.value;
    case Expr::kEmpty:
      return Value();
    case Expr::kCall: {
      CheckStack();
      const Value args = ArgumentValue(e.args);
      std::string suffix;
      if (vars_->HasElements() && ElementSuffix(args, e.args.size(), suffix))
        if (const Value* v = vars_->Find(e.name + suffix)) return *v;
      Value result;
      if (!CallNamed(e.name, e.upper, args, result)) SetErrorOnce("Invalid function call: " + e.text);
      return result;
    }
    case Expr::kName: {
      if (const Value* v = vars_->Find(e.text, e.slot)) return *v;
      Value result;
      if (!CallNamed(e.text, e.upper, Value::Int(0), result)) return Value::Str(e.text);
      return result;
    }
    default:
      return Value();
  }
}

std::string TCalc::ElementName(const std::string& text) {
  StackGuard guard;
  const std::string t = Trim(text);
  const std::size_t paren = FindOnBoundary(t, "(");
  if (paren == std::string::npos || t.empty() || t.back() != ')') return text;
  const std::string base = Trim(t.substr(0, paren));
  const std::string index = Trim(t.substr(paren + 1, t.size() - paren - 2));
  const std::vector<std::unique_ptr<Expr>> args = CompileArguments(index);
  const Value v = ArgumentValue(args);
  if (!v.isArray() || v.items().empty()) return text;
  std::string suffix;
  if (!ElementSuffix(v, v.items().size(), suffix)) return text;
  return base + suffix;
}

}  // namespace tam

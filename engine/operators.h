// The script's operators: the operator table by precedence level and the
// rules that combine two values.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "engine/value.h"

namespace tam {

enum class Op {
  kNe,
  kLe,
  kGe,
  kLt,
  kEq,
  kGt,
  kAdd,
  kSub,
  kJoin,
  kOr,
  kXor,
  kNor,
  kMul,
  kDiv,
  kIntDiv,
  kMod,
  kAnd,
  kNand,
  kPow,
  kNot,
};

struct OperatorForm {
  const char* text;  // written form, upper case
  Op op;
};

constexpr int kLevelCount = 5;
// Number of written forms in a level, and the form at a position.
int OperatorCount(int level);
const OperatorForm& OperatorAt(int level, int position);

// Combines two values (not arrays). Throws the failure categories when the
// kinds do not allow the operation; other faults are EngineFault.
Value Combine(Op op, const Value& left, const Value& right);

// Applies an operator with the array rules; false when any combination
// failed with one of the failure categories. ApplyOperator works out the
// pairs of numbers and of texts joined itself (QuickNumbers, QuickJoin) and
// leaves the rest to ApplyOperatorGenerally.
bool ApplyOperatorGenerally(Op op, const Value& left, const Value& right, Value& result);

// A comparison's answer as a Boolean; false for the other operators.
inline bool PutComparison(Op op, int c, Value& out) {
  switch (op) {
    case Op::kNe:
      out.SetBool(c != 0);
      return true;
    case Op::kLe:
      out.SetBool(c <= 0);
      return true;
    case Op::kGe:
      out.SetBool(c >= 0);
      return true;
    case Op::kLt:
      out.SetBool(c < 0);
      return true;
    case Op::kEq:
      out.SetBool(c == 0);
      return true;
    case Op::kGt:
      out.SetBool(c > 0);
      return true;
    default:
      return false;
  }
}

// Two Integers on the direct path: sums, differences, products, MOD,
// integer division and comparisons; false for any other operator, a divisor
// of 0 or -1 and a result beyond an Integer, which the general rules take.
inline bool QuickIntegers(Op op, long long a, long long b, Value& result) {
  long long r;
  switch (op) {
    case Op::kAdd:
    case Op::kJoin:
      r = a + b;
      break;
    case Op::kSub:
      r = a - b;
      break;
    case Op::kMul:
      r = a * b;
      break;
    case Op::kMod:
    case Op::kIntDiv:
      if (b == 0 || b == -1) return false;
      r = op == Op::kMod ? a % b : a / b;
      break;
    default:
      return PutComparison(op, a < b ? -1 : (b < a ? 1 : 0), result);
  }
  if (r < INT32_MIN || r > INT32_MAX) return false;
  result.SetInt(static_cast<std::int32_t>(r));
  return true;
}
// Two numbers as Doubles: a non-finite result and the dividing operators go
// to the general rules.
inline bool QuickReal(Op op, double a, double b, Value& out) {
  double x;
  switch (op) {
    case Op::kAdd:
    case Op::kJoin:
      x = a + b;
      break;
    case Op::kSub:
      x = a - b;
      break;
    case Op::kMul:
      x = a * b;
      break;
    case Op::kDiv:
    case Op::kIntDiv:
    case Op::kMod:
      return false;
    default:
      return PutComparison(op, a < b ? -1 : (b < a ? 1 : 0), out);
  }
  if (std::isnan(x) || std::isinf(x)) return false;
  out.SetDbl(x);
  return true;
}
// Integers and Doubles on the direct paths. The operands are read before
// the result is written, so that the result may be one of them.
inline bool QuickNumbers(Op op, const Value& left, const Value& right, Value& result) {
  const std::uint16_t l = left.type(), r = right.type();
  if (l == vtInteger) {
    if (r == vtInteger) return QuickIntegers(op, left.i(), right.i(), result);
    if (r == vtDouble) return QuickReal(op, left.i(), right.d(), result);
  } else if (l == vtDouble) {
    if (r == vtDouble) return QuickReal(op, left.d(), right.d(), result);
    if (r == vtInteger) return QuickReal(op, left.d(), right.i(), result);
  }
  return false;
}
// Two Strings joined by & or +, the commonest pair after numbers; false for
// any other.
inline bool QuickJoin(Op op, const Value& left, const Value& right, Value& result) {
  if ((op != Op::kJoin && op != Op::kAdd) || left.type() != vtString || right.type() != vtString) return false;
  result.SetJoined(left, right);
  return true;
}
inline bool ApplyOperator(Op op, const Value& left, const Value& right, Value& result) {
  return QuickNumbers(op, left, right, result) || QuickJoin(op, left, right, result) ||
         ApplyOperatorGenerally(op, left, right, result);
}

// The comparison rule: -1, 0 or 1 (Null below everything, equal to Null).
int CompareValues(const Value& left, const Value& right);

}  // namespace tam

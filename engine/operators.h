// The script's operators: the operator table by precedence level and the
// rules that combine two values.
#pragma once

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
// pairs of two Integers itself (QuickIntegers) and leaves the rest to
// ApplyOperatorGenerally.
bool ApplyOperatorGenerally(Op op, const Value& left, const Value& right, Value& result);
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
    case Op::kNe:
      result.SetBool(a != b);
      return true;
    case Op::kLe:
      result.SetBool(a <= b);
      return true;
    case Op::kGe:
      result.SetBool(a >= b);
      return true;
    case Op::kLt:
      result.SetBool(a < b);
      return true;
    case Op::kEq:
      result.SetBool(a == b);
      return true;
    case Op::kGt:
      result.SetBool(a > b);
      return true;
    default:
      return false;
  }
  if (r < INT32_MIN || r > INT32_MAX) return false;
  result.SetInt(static_cast<std::int32_t>(r));
  return true;
}
inline bool ApplyOperator(Op op, const Value& left, const Value& right, Value& result) {
  if (left.type() == vtInteger && right.type() == vtInteger && QuickIntegers(op, left.i(), right.i(), result))
    return true;
  return ApplyOperatorGenerally(op, left, right, result);
}

// The comparison rule: -1, 0 or 1 (Null below everything, equal to Null).
int CompareValues(const Value& left, const Value& right);

}  // namespace tam

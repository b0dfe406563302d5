// The script's operators: the operator table by precedence level and the
// rules that combine two values.
#pragma once

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
// failed with one of the failure categories.
bool ApplyOperator(Op op, const Value& left, const Value& right, Value& result);

// The comparison rule: -1, 0 or 1 (Null below everything, equal to Null).
int CompareValues(const Value& left, const Value& right);

}  // namespace tam

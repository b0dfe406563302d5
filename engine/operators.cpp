#include "engine/operators.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/failure.h"

namespace tam {

namespace {

// -1, 0 or 1 as x is below, equal to or above y.
template <class T>
int Sign(T x, T y) {
  return x < y ? -1 : (y < x ? 1 : 0);
}

const OperatorForm kLevel0[] = {{"<>", Op::kNe}, {"><", Op::kNe}, {"!=", Op::kNe}, {"<=", Op::kLe}, {"=<", Op::kLe},
                                {">=", Op::kGe}, {"=>", Op::kGe}, {"<", Op::kLt},  {"=", Op::kEq},  {">", Op::kGt}};
const OperatorForm kLevel1[] = {{"+", Op::kAdd},   {"-", Op::kSub},   {"&", Op::kJoin}, {"OR", Op::kOr},
                                {"EOR", Op::kXor}, {"XOR", Op::kXor}, {"NOR", Op::kNor}};
const OperatorForm kLevel2[] = {{"*", Op::kMul},   {"/", Op::kDiv},   {"\\", Op::kIntDiv}, {"DIV", Op::kIntDiv},
                                {"MOD", Op::kMod}, {"AND", Op::kAnd}, {"NAND", Op::kNand}};
const OperatorForm kLevel3[] = {{"^", Op::kPow}};
const OperatorForm kLevel4[] = {{"NOT", Op::kNot}};

struct Level {
  const OperatorForm* forms;
  int count;
};
const Level kLevels[kLevelCount] = {{kLevel0, 10}, {kLevel1, 7}, {kLevel2, 7}, {kLevel3, 1}, {kLevel4, 1}};

// Operand classes of the pair table.
enum Cls { E, N, I, R, C, S, B, D, X };
// Operation classes.
enum Kind { kErr, kNull, kInt, kReal, kCur, kStr, kBool, kDate };

Cls ClassOf(const Value& v) {
  switch (v.type()) {
    case vtEmpty:
      return E;
    case vtNull:
      return N;
    case vtSmallInt:
    case vtInteger:
    case vtByte:
      return I;
    case vtSingle:
    case vtDouble:
      return R;
    case vtCurrency:
      return C;
    case vtString:
    case vtOleStr:
      return S;
    case vtBoolean:
      return B;
    case vtDate:
      return D;
    default:
      return X;
  }
}

Kind PairKind(Cls l, Cls r) {
  if (l == X || r == X || l == E || r == E) return kErr;
  if (l == N || r == N) return kNull;
  if (l == D || r == D) return kDate;
  if (l == C || r == C) return kCur;
  if (l == R || r == R) return kReal;
  if (l == I && (r == I || r == B)) return kInt;
  if (l == B && r == I) return kInt;
  if (l == S && r == S) return kStr;
  if (l == I || r == I) return kReal;  // integer with string
  return kBool;                        // string or Boolean with Boolean
}

[[noreturn]] void Mismatch() { throw VariantError("Invalid variant operation"); }

double Real(const Value& v) { return ToDouble(v); }

double DateNumber(const Value& v) { return v.isString() ? ToDate(v) : ToDouble(v); }

Value FromWide(long long r) {
  if (r >= INT32_MIN && r <= INT32_MAX) return Value::Int(static_cast<std::int32_t>(r));
  return Value::Dbl(static_cast<double>(r));
}

double Divide(long double a, long double b) {
  if (b == 0) {
    if (a == 0 || std::isnan(a)) throw InvalidOp("Invalid floating point operation");
    throw EngineFault("Floating point division by zero");
  }
  return CheckFloat(static_cast<double>(a / b));
}

// The one quotient that does not fit an Integer, the smallest Integer divided
// by -1, falls back to a Double as the other integer operators do on overflow.
Value IntDivide(Op op, std::int32_t a, std::int32_t b) {
  if (b == 0) throw EngineFault("Division by zero");
  if (b == -1) return op == Op::kMod ? Value::Int(0) : FromWide(-static_cast<long long>(a));
  return Value::Int(op == Op::kMod ? a % b : a / b);
}

std::int64_t CurCheck(long double v) {
  if (!(v > -9.2233720368547758e18L && v < 9.2233720368547758e18L)) throw VariantError("Currency overflow");
  return static_cast<std::int64_t>(std::nearbyint(static_cast<double>(v)));
}

// Operators that work on integers whatever the operand class.
Value IntegerOp(Op op, std::int32_t a, std::int32_t b) {
  switch (op) {
    case Op::kIntDiv:
    case Op::kMod:
      return IntDivide(op, a, b);
    case Op::kAnd:
      return Value::Int(a & b);
    case Op::kOr:
      return Value::Int(a | b);
    case Op::kXor:
      return Value::Int(a ^ b);
    default:
      Mismatch();
  }
}

Value RealOp(Op op, const Value& l, const Value& r) {
  switch (op) {
    case Op::kAdd:
    case Op::kJoin:
      return Value::Dbl(CheckFloat(Real(l) + Real(r)));
    case Op::kSub:
      return Value::Dbl(CheckFloat(Real(l) - Real(r)));
    case Op::kMul:
      return Value::Dbl(CheckFloat(Real(l) * Real(r)));
    case Op::kDiv:
      return Value::Dbl(Divide(Real(l), Real(r)));
    default:
      return IntegerOp(op, ToInteger(l), ToInteger(r));
  }
}

Value IntOp(Op op, const Value& l, const Value& r) {
  const long long a = ToInteger(l), b = ToInteger(r);
  switch (op) {
    case Op::kAdd:
    case Op::kJoin:
      return FromWide(a + b);
    case Op::kSub:
      return FromWide(a - b);
    case Op::kMul:
      return FromWide(a * b);
    case Op::kDiv:
      return Value::Dbl(Divide(static_cast<long double>(a), static_cast<long double>(b)));
    default:
      return IntegerOp(op, static_cast<std::int32_t>(a), static_cast<std::int32_t>(b));
  }
}

Value CurOp(Op op, const Value& l, const Value& r) {
  const long double a = static_cast<long double>(ToCurrency(l)), b = static_cast<long double>(ToCurrency(r));
  switch (op) {
    case Op::kAdd:
    case Op::kJoin:
      return Value::Cur(CurCheck(a + b));
    case Op::kSub:
      return Value::Cur(CurCheck(a - b));
    case Op::kMul:
      return Value::Cur(CurCheck(a * b / 10000.0L));
    case Op::kDiv:
      if (b == 0) {
        if (a == 0) throw InvalidOp("Invalid floating point operation");
        throw EngineFault("Floating point division by zero");
      }
      return Value::Cur(CurCheck(a * 10000.0L / b));
    default:
      return IntegerOp(op, ToInteger(l), ToInteger(r));
  }
}

Value DateOp(Op op, const Value& l, const Value& r) {
  switch (op) {
    case Op::kAdd:
    case Op::kJoin:
      return Value::DateVal(CheckFloat(DateNumber(l) + DateNumber(r)));
    case Op::kSub: {
      double d = CheckFloat(DateNumber(l) - DateNumber(r));
      if (l.type() == vtDate && r.type() == vtDate) return Value::Dbl(d);
      return Value::DateVal(d);
    }
    default:
      return RealOp(op, l, r);
  }
}

Value BoolOp(Op op, const Value& l, const Value& r) {
  switch (op) {
    case Op::kAnd:
      return Value::Bool(ToBoolean(l) && ToBoolean(r));
    case Op::kOr:
      return Value::Bool(ToBoolean(l) || ToBoolean(r));
    case Op::kXor:
      return Value::Bool(ToBoolean(l) != ToBoolean(r));
    default:
      return RealOp(op, l, r);
  }
}

// Two texts joined in one reservation.
Value JoinTexts(std::string_view a, std::string_view b) {
  if (a.size() + b.size() == 0) return Value::Str({});
  char* to;
  Value r = Value::StrOfSize(a.size() + b.size(), to);
  if (!a.empty()) std::memcpy(to, a.data(), a.size());
  if (!b.empty()) std::memcpy(to + a.size(), b.data(), b.size());
  return r;
}

Value Arithmetic(Op op, const Value& l, const Value& r) {
  switch (PairKind(ClassOf(l), ClassOf(r))) {
    case kErr:
      Mismatch();
    case kNull:
      return Value::Null();
    case kInt:
      return IntOp(op, l, r);
    case kReal:
      return RealOp(op, l, r);
    case kCur:
      return CurOp(op, l, r);
    case kStr:
      if (op == Op::kAdd || op == Op::kJoin) return JoinTexts(l.str(), r.str());
      return RealOp(op, l, r);
    case kBool:
      return BoolOp(op, l, r);
    case kDate:
      return DateOp(op, l, r);
  }
  Mismatch();
}

Value Negate(const Value& v) {
  switch (v.type()) {
    case vtSmallInt:
    case vtInteger:
    case vtByte:
    case vtBoolean:
      return FromWide(-static_cast<long long>(ToInteger(v)));
    case vtSingle:
    case vtDouble:
    case vtString:
    case vtOleStr:
      return Value::Dbl(-ToDouble(v));
    case vtCurrency:
      return Value::Cur(CurCheck(-static_cast<long double>(v.cy())));
    case vtDate:
      return Value::DateVal(-v.d());
    case vtNull:
      return Value::Null();
    default:
      Mismatch();
  }
}

Value Power(const Value& l, const Value& r) {
  if (l.type() == vtNull || r.type() == vtNull) return Value::Null();
  if (PairKind(R, ClassOf(r)) == kErr || ClassOf(l) == E || ClassOf(l) == X) Mismatch();
  const long double base = ToDouble(l);
  if (base < 0) throw InvalidOp("Invalid floating point operation");
  if (base == 0) throw EngineFault("Zero base of ^");
  // Computed in extended precision, so that 2 ^ 3 is exactly 8.
  const long double p = std::log(base) * static_cast<long double>(ToDouble(r));
  return Value::Dbl(CheckFloat(static_cast<double>(std::exp(p))));
}

Value Not(const Value& v) {
  switch (v.type()) {
    case vtBoolean:
      return Value::Bool(!v.b());
    case vtNull:
      return Value::Null();
    case vtEmpty:
      Mismatch();
    default:
      if (v.isArray()) Mismatch();
      return Value::Int(~ToInteger(v));
  }
}

// The common pairs of like operands, Integer, Double and String, worked out
// directly; they give what the general pair rules give. False leaves the
// pair, and every case that fails or overflows, to those rules.
bool QuickCombine(Op op, const Value& l, const Value& r, Value& out) {
  // An Integer beside a Double combines as two Doubles.
  if (QuickNumbers(op, l, r, out)) return true;
  if (l.type() != vtString || r.type() != vtString) return false;
  if (op == Op::kAdd || op == Op::kJoin) {
    out.SetJoined(l, r);
    return true;
  }
  return PutComparison(op, l.str().compare(r.str()), out);
}

}  // namespace

int OperatorCount(int level) { return level >= 0 && level < kLevelCount ? kLevels[level].count : 0; }

const OperatorForm& OperatorAt(int level, int position) { return kLevels[level].forms[position]; }

int CompareValues(const Value& lv, const Value& rv) {
  if (lv.type() == rv.type()) {
    if (lv.type() == vtInteger) return Sign(lv.i(), rv.i());
    if (lv.type() == vtDouble) return Sign(lv.d(), rv.d());
  }
  Value a = lv.isEmpty() ? Value::Str("") : lv;
  Value b = rv.isEmpty() ? Value::Str("") : rv;
  Cls ca = ClassOf(a), cb = ClassOf(b);
  if (ca == N || cb == N) {
    if (ca == X || cb == X) Mismatch();
    if (ca == N && cb == N) return 0;
    return ca == N ? -1 : 1;
  }
  switch (PairKind(ca, cb)) {
    case kErr:
    case kNull:
      Mismatch();
    case kInt:
      return Sign(ToInteger(a), ToInteger(b));
    case kReal:
      return Sign(ToDouble(a), ToDouble(b));
    case kCur:
      return Sign(ToCurrency(a), ToCurrency(b));
    case kStr: {
      int c = a.str().compare(b.str());
      return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case kBool:
      return Sign(ToBoolean(a) ? 1 : 0, ToBoolean(b) ? 1 : 0);
    case kDate:
      return Sign(DateNumber(a), DateNumber(b));
  }
  Mismatch();
}

Value Combine(Op op, const Value& l, const Value& r) {
  Value quick;
  if (QuickCombine(op, l, r, quick)) return quick;
  switch (op) {
    case Op::kNe:
      return Value::Bool(CompareValues(l, r) != 0);
    case Op::kLe:
      return Value::Bool(CompareValues(l, r) <= 0);
    case Op::kGe:
      return Value::Bool(CompareValues(l, r) >= 0);
    case Op::kLt:
      return Value::Bool(CompareValues(l, r) < 0);
    case Op::kEq:
      return Value::Bool(CompareValues(l, r) == 0);
    case Op::kGt:
      return Value::Bool(CompareValues(l, r) > 0);
    case Op::kAdd:
      if (l.isEmpty()) return r;
      if (r.isEmpty()) return l;
      return Arithmetic(op, l, r);
    case Op::kSub:
      if (l.isEmpty()) return Negate(r);
      return Arithmetic(op, l, r);
    case Op::kJoin:
      return Arithmetic(Op::kAdd, l.isEmpty() ? Value::Str("") : l, r.isEmpty() ? Value::Str("") : r);
    case Op::kNor:
      return Not(Arithmetic(Op::kOr, l, r));
    case Op::kNand:
      return Not(Arithmetic(Op::kAnd, l, r));
    case Op::kPow:
      return Power(l, r);
    case Op::kNot:
      return Not(r);
    default:
      return Arithmetic(op, l, r);
  }
}

bool ApplyOperatorGenerally(Op op, const Value& left, const Value& right, Value& result) {
  if (QuickCombine(op, left, right, result)) return true;
  result = Value();
  try {
    if (left.isArray() && right.isArray()) {
      const auto& a = left.items();
      const auto& b = right.items();
      for (std::size_t i = 0; i < a.size(); ++i)
        if (i < b.size()) result.append(Combine(op, a[i], b[i]));
    } else if (left.isArray()) {
      for (const Value& v : left.items()) result.append(Combine(op, v, right));
    } else if (right.isArray()) {
      for (const Value& v : right.items()) result.append(Combine(op, left, v));
    } else {
      result = Combine(op, left, right);
    }
  } catch (const ScriptFailure&) {
    result = Value();
    return false;
  }
  return true;
}

}  // namespace tam

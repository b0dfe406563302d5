// The arithmetic and mathematical functions. They compute in extended
// precision and deliver every floating-point result as a Double; functions
// that truncate or round deliver an Integer.
#include "library/number.h"

#include <cmath>
#include <cstdint>

#include "engine/failure.h"
#include "engine/operators.h"
#include "library/number_trig.h"
#include "library/random.h"
#include "platform/platform.h"

namespace tam {

namespace {

using Real = long double;

[[noreturn]] void InvalidOperation() { throw InvalidOp("Invalid floating point operation"); }
[[noreturn]] void Overflow() { throw EngineFault("Floating point overflow"); }

// An extended result as a Double: NaN is an invalid operation, a value beyond
// the Double range an overflow that passes on.
Value Dbl(Real r) { return Value::Dbl(CheckFloat(static_cast<double>(r))); }

Real Divide(Real a, Real b) {
  if (b == 0) {
    if (a == 0 || std::isnan(a)) InvalidOperation();
    throw EngineFault("Floating point division by zero");
  }
  return a / b;
}

// Logarithms exist for positive numbers only.
Real Positive(Real x) {
  if (!(x > 0)) InvalidOperation();
  return x;
}
Real Ln(Real x) { return std::log(Positive(x)); }

std::int32_t ToInt32(Real t) {
  if (!(t >= -2147483648.0L && t <= 2147483647.0L)) InvalidOperation();
  return static_cast<std::int32_t>(t);
}

// base ^ n by repeated squaring; a negative n gives the reciprocal.
Real IntPower(Real base, long long n) {
  Real result = 1;
  for (unsigned long long y = n < 0 ? 0ull - static_cast<unsigned long long>(n) : n; y; y >>= 1) {
    if (y & 1) result *= base;
    if (y > 1) base *= base;
  }
  if (std::isinf(result)) Overflow();
  return n < 0 ? Divide(1, result) : result;
}

constexpr Real kLn2 = 0.693147180559945309417232121458176568L;
constexpr Real kTanhLimit = 5678.2224944132199997L;

Real ArcCosh(Real x) {
  if (x <= 1) return 0;
  if (x > 1e10L) return Ln(x) + kLn2;
  return Ln(x + std::sqrt((x - 1) * (x + 1)));
}

Real ArcSinh(Real x) {
  if (x == 0) return 0;
  const Real a = std::fabs(x);
  const Real r = a > 1e10L ? Ln(a) + kLn2 : std::log1p(a + a * a / (std::sqrt(a * a + 1) + 1));
  return x < 0 ? -r : r;
}

Real ArcTanh(Real x) {
  if (x == 0) return 0;
  const Real a = std::fabs(x);
  if (a >= 1) Overflow();  // the largest extended value, which no Double holds
  const Real r = 0.5L * std::log1p(2 * a / (1 - a));
  return x < 0 ? -r : r;
}

Real Tanh(Real x) {
  if (x > kTanhLimit) return 1;
  if (x < -kTanhLimit) return -1;
  const Real e = std::exp(2 * x);
  return (e - 1) / (e + 1);
}

// Element-wise functions of one number.
using Unary = Real (*)(Real);

template <Unary F>
bool Apply(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Dbl(F(shape::Number(a))));
    return true;
  });
}

template <Unary F>
bool ApplyInt(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Int(ToInt32(F(shape::Number(a)))));
    return true;
  });
}

Real Abs(Real x) { return std::fabs(x); }
Real ArcCos(Real x) { return std::atan2(std::sqrt(1 - x * x), x); }
Real ArcSin(Real x) { return std::atan2(x, std::sqrt(1 - x * x)); }
Real ArcTan(Real x) { return std::atan(x); }
Real Cos(Real x) { return TrigCos(static_cast<double>(x)); }
Real Cosh(Real x) { return (std::exp(x) + std::exp(-x)) / 2; }
Real Cotan(Real x) { return Divide(1, TrigTan(static_cast<double>(x))); }
Real CycleToRad(Real x) { return x * 6.283185307179586477L; }
Real DegToRad(Real x) { return x * 0.017453292519943295769L; }
Real Exp(Real x) { return std::exp(x); }
Real Floor(Real x) { return std::floor(x); }
Real Frac(Real x) { return x - std::trunc(x); }
Real GradToRad(Real x) { return x * 0.015707963267948966192L; }
Real Trunc(Real x) { return std::trunc(x); }
Real Log10(Real x) { return std::log10(Positive(x)); }
Real Log2(Real x) { return std::log2(Positive(x)); }
Real RadToCycle(Real x) { return x / 6.283185307179586477L; }
Real RadToDeg(Real x) { return x * 57.295779513082320877L; }
Real RadToGrad(Real x) { return x * 63.661977236758134305L; }
Real Sin(Real x) { return TrigSin(static_cast<double>(x)); }
Real Sinh(Real x) { return (std::exp(x) - std::exp(-x)) / 2; }
Real Sqrt(Real x) { return std::sqrt(x); }
Real Tan(Real x) { return TrigTan(static_cast<double>(x)); }

// Nearest integer, a half going to the even neighbour.
Real RoundBankers(Real x) {
  Real r = std::floor(x);
  const Real diff = x - r;
  if (diff > 0.5L || (diff == 0.5L && std::fmod(r, 2) != 0)) r += 1;
  return r;
}

bool ArcTan2(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const Real y = shape::Number((*a)[0]);
  result.append(Dbl(std::atan2(y, static_cast<Real>(shape::Number((*a)[1])))));
  return true;
}

bool LogN(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const Real base = shape::Number((*a)[0]);
  const Real x = shape::Number((*a)[1]);
  result.append(Dbl(Divide(Ln(x), Ln(base))));
  return true;
}

bool Power(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const Real base = shape::Number((*a)[0]);
  const Value& exponent = (*a)[1];
  Real r;
  if (exponent.type() == vtInteger) {
    r = IntPower(base, exponent.i());
  } else {
    const Real e = shape::Number(exponent);
    if (e == 0)
      r = 1;
    else if (base == 0 && e > 0)
      r = 0;
    else if (std::trunc(e) == e && std::fabs(e) <= 2147483647.0L)
      r = IntPower(base, static_cast<long long>(e));
    else
      r = std::exp(e * Ln(base));
  }
  result.append(Dbl(r));
  return true;
}

// ROUND adds the Currency 0.5 by the script's addition and floors the sum, so
// a Double is first rounded to four decimal places.
bool Round(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    if (a.isArray()) throw VariantError("Invalid variant type conversion");
    const Value sum = Combine(Op::kAdd, a, Value::Cur(5000));
    Real floored;
    if (sum.type() == vtCurrency) {
      const std::int64_t cy = sum.cy();
      floored = static_cast<Real>(cy / 10000 - (cy % 10000 < 0 ? 1 : 0));
    } else {
      floored = std::floor(static_cast<Real>(ToDouble(sum)));
    }
    r.append(Value::Int(ToInt32(floored)));
    return true;
  });
}

// A negative colour names a system colour by its low byte.
bool ColorToRgb(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    const std::int32_t colour = shape::Integer(a);
    r.append(Value::Int(colour < 0 ? static_cast<std::int32_t>(platform().SystemColor(colour & 0xFF)) : colour));
    return true;
  });
}

// ---- random numbers ----

bool Random(const Args& args, Value& result) {
  if (!args.isArray() || args.items().empty()) {
    result.append(Value::Dbl(random::NextReal()));
    return true;
  }
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    const std::uint32_t n = static_cast<std::uint32_t>(shape::Integer(a));
    r.append(Value::Int(static_cast<std::int32_t>(random::NextBelow(n))));
    return true;
  });
}

// Polar method: two draws in the unit disc (excluding its centre).
bool RandomGauss(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const Real mean = shape::Number((*a)[0]);
  const Real deviation = shape::Number((*a)[1]);
  Real u1, u2, s;
  do {
    u1 = 2 * static_cast<Real>(random::NextReal()) - 1;
    u2 = 2 * static_cast<Real>(random::NextReal()) - 1;
    s = u1 * u1 + u2 * u2;
  } while (s >= 1 || s == 0);
  result.append(Dbl(std::sqrt(-2 * std::log(s) / s) * u1 * deviation + mean));
  return true;
}

bool Randomize(const Args& args, Value&) {
  const Value* first = nullptr;
  if (!args.isArray())
    first = &args.value();
  else if (!args.empty())
    first = &args[0];
  if (first && first->type() == vtInteger)
    random::SetSeed(static_cast<std::uint32_t>(first->i()));
  else
    random::SeedFromClock();
  return true;
}

}  // namespace

void AddNumberFunctions(Catalogue& c) {
  c["ABS"] = Apply<Abs>;
  c["ARCCOS"] = Apply<ArcCos>;
  c["ARCCOSH"] = Apply<ArcCosh>;
  c["ARCSIN"] = Apply<ArcSin>;
  c["ARCSINH"] = Apply<ArcSinh>;
  c["ARCTAN"] = Apply<ArcTan>;
  c["ARCTAN2"] = ArcTan2;
  c["ARCTANH"] = Apply<ArcTanh>;
  c["COLORTORGB"] = ColorToRgb;
  c["COS"] = Apply<Cos>;
  c["COSH"] = Apply<Cosh>;
  c["COTAN"] = Apply<Cotan>;
  c["CYCLETORAD"] = Apply<CycleToRad>;
  c["DEGTORAD"] = Apply<DegToRad>;
  c["EXP"] = Apply<Exp>;
  c["FLOOR"] = ApplyInt<Floor>;
  c["FRAC"] = Apply<Frac>;
  c["GRADTORAD"] = Apply<GradToRad>;
  c["INT"] = ApplyInt<Trunc>;
  c["LN"] = c["LOGE"] = Apply<Ln>;
  c["LOG"] = c["LOG10"] = Apply<Log10>;
  c["LOG2"] = Apply<Log2>;
  c["LOGN"] = LogN;
  c["POWER"] = Power;
  c["RADTOCYCLE"] = Apply<RadToCycle>;
  c["RADTODEG"] = Apply<RadToDeg>;
  c["RADTOGRAD"] = Apply<RadToGrad>;
  c["RANDOM"] = Random;
  c["RANDOMGAUSS"] = RandomGauss;
  c["RANDOMIZE"] = Randomize;
  c["ROUND"] = Round;
  c["ROUNDBANKERS"] = ApplyInt<RoundBankers>;
  c["SIN"] = Apply<Sin>;
  c["SINH"] = Apply<Sinh>;
  c["SQRT"] = Apply<Sqrt>;
  c["TAN"] = Apply<Tan>;
  c["TANH"] = Apply<Tanh>;
  AddAggregateFunctions(c);
  AddNumberTextFunctions(c);
}

}  // namespace tam

#include "library/number_trig.h"

#include <cmath>
#include <cstdint>

namespace tam {

namespace {

// The bits of 2/pi after the binary point, 32 to a word, the first word
// holding the bits of weight 2^-1 to 2^-32. Enough for the largest Double:
// its reduction reads up to bit 1226.
constexpr std::uint32_t kTwoOverPi[] = {
    0xA2F9836E, 0x4E441529, 0xFC2757D1, 0xF534DDC0, 0xDB629599, 0x3C439041, 0xFE5163AB, 0xDEBBC561, 0xB7246E3A,
    0x424DD2E0, 0x06492EEA, 0x09D1921C, 0xFE1DEB1C, 0xB129A73E, 0xE88235F5, 0x2EBB4484, 0xE99C7026, 0xB45F7E41,
    0x3991D639, 0x835339F4, 0x9C845F8B, 0xBDF9283B, 0x1FF897FF, 0xDE05980F, 0xEF2F118B, 0x5A0A6D1F, 0x6D367ECF,
    0x27CB09B7, 0x4F463F66, 0x9E5FEA2D, 0x7527BAC7, 0xEBE5F17B, 0x3D0739F7, 0x8A5292EA, 0x6BFB5FB1, 0x1F8D5D08,
    0x56033046, 0xFC7B6BAB, 0xF0CFBC20, 0x9AF4361D, 0xA9E39161, 0x5EE61B08};
constexpr int kTableBits = 32 * static_cast<int>(sizeof kTwoOverPi / sizeof kTwoOverPi[0]);

constexpr long double kPiOver4 = 0.785398163397448309615660845819875721L;
// pi/2 as the nearest extended number and what remains.
constexpr long double kPiOver2 = 1.57079632679489661923132169163975144L;
constexpr long double kPiOver2Rest = -2.50827880633416601177866354016537851e-20L;

constexpr int kWindowWords = 8;                  // bits of 2/pi taken: 256
constexpr int kProductWords = kWindowWords + 3;  // the window times a 53-bit mantissa, and room

// A number as the unevaluated sum of two extended numbers, the second far
// smaller than the first: 64 more bits than an extended number holds.
struct Pair {
  long double hi, lo;
};

// a + b exactly, for |a| >= |b| or a == 0.
Pair FastTwoSum(long double a, long double b) {
  const long double s = a + b;
  return {s, b - (s - a)};
}

// a * b exactly: each factor split into halves of 32 bits, whose products
// are exact.
Pair TwoProduct(long double a, long double b) {
  constexpr long double kSplit = 4294967297.0L;  // 2^32 + 1
  const auto split = [](long double v, long double& high, long double& low) {
    const long double t = kSplit * v;
    high = t - (t - v);
    low = v - high;
  };
  long double ah, al, bh, bl;
  split(a, ah, al);
  split(b, bh, bl);
  const long double p = a * b;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

// The Double nearest to hi + lo. Rounding hi alone would round twice when hi
// lies exactly halfway between two Doubles; lo then decides.
double Nearest(const Pair& v) {
  const auto d = static_cast<double>(v.hi);
  if (v.lo == 0 || static_cast<long double>(d) == v.hi) return d;
  const double other = std::nextafter(d, v.hi > d ? HUGE_VAL : -HUGE_VAL);
  if ((static_cast<long double>(d) + other) / 2 != v.hi) return d;
  return (v.lo > 0) == (other > d) ? other : d;
}

bool Bit(const std::uint32_t* p, int n) { return (p[n / 32] >> (n % 32)) & 1u; }

// The 32 bits of 2/pi from bit g on (bit 0 has the weight 2^-1); 0 beyond
// the table.
std::uint32_t Word(int g) {
  std::uint32_t w = 0;
  const int first = g / 32, shift = g % 32;
  if (first < kTableBits / 32) w = kTwoOverPi[first] << shift;
  if (shift != 0 && first + 1 < kTableBits / 32) w |= kTwoOverPi[first + 1] >> (32 - shift);
  return w;
}

// Keeps the lowest s bits of the number in f.
void KeepLow(std::uint32_t* f, int s) {
  for (int j = 0; j < kProductWords; ++j) {
    const int low = 32 * j;
    if (low >= s)
      f[j] = 0;
    else if (s - low < 32)
      f[j] &= (1u << (s - low)) - 1;
  }
}

// x (finite, above pi/4) = (4k + quadrant) * pi/2 + r with |r| <= pi/4.
void Reduce(double x, int& quadrant, Pair& r) {
  int exponent = 0;
  const double mantissa = std::frexp(x, &exponent);
  const auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));  // x = m * 2^e
  const int e = exponent - 53;
  // Bits of 2/pi of weight 2^-i with i <= e - 2 only add multiples of 4 to
  // x * 2/pi: the window of bits starts after them.
  const int first = e - 1 > 1 ? e - 1 : 1;
  std::uint32_t window[kWindowWords];  // least significant word first
  for (int k = 0; k < kWindowWords; ++k) window[kWindowWords - 1 - k] = Word(first - 1 + 32 * k);
  std::uint32_t p[kProductWords] = {};
  const std::uint32_t parts[2] = {static_cast<std::uint32_t>(m), static_cast<std::uint32_t>(m >> 32)};
  for (int part = 0; part < 2; ++part) {
    std::uint64_t carry = 0;
    for (int j = 0; j < kWindowWords; ++j) {
      const std::uint64_t t = static_cast<std::uint64_t>(window[j]) * parts[part] + p[j + part] + carry;
      p[j + part] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    for (int j = kWindowWords + part; carry != 0 && j < kProductWords; ++j) {
      const std::uint64_t t = static_cast<std::uint64_t>(p[j]) + carry;
      p[j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
  }
  // x * 2/pi = p * 2^-s (mod 4): s bits after the binary point, the two
  // above them give the quadrant.
  const int s = first + 32 * kWindowWords - 1 - e;
  quadrant = (Bit(p, s) ? 1 : 0) + (Bit(p, s + 1) ? 2 : 0);
  KeepLow(p, s);
  const bool negative = Bit(p, s - 1);
  if (negative) {  // a fraction of a half or more counts back from the next quadrant
    quadrant = (quadrant + 1) & 3;
    std::uint64_t carry = 1;
    for (int j = 0; j < kProductWords; ++j) {
      const std::uint64_t t = static_cast<std::uint64_t>(~p[j]) + carry;
      p[j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    KeepLow(p, s);
  }
  int top = s - 1;
  while (top >= 0 && !Bit(p, top)) --top;
  if (top < 0) {
    r = {0, 0};
    return;
  }
  // The fraction's first 128 bits as two extended numbers.
  long double halves[2];
  for (int h = 0; h < 2; ++h) {
    std::uint64_t bits = 0;
    const int high = top - 64 * h, low = high - 63;
    for (int n = high; n >= low; --n) bits = bits << 1 | (n >= 0 && Bit(p, n) ? 1u : 0u);
    halves[h] = std::ldexp(static_cast<long double>(bits), low - s);
  }
  const Pair product = TwoProduct(halves[0], kPiOver2);
  r = FastTwoSum(product.hi, product.lo + (halves[0] * kPiOver2Rest + halves[1] * kPiOver2));
  if (negative) r = {-r.hi, -r.lo};
}

// sin(r) and cos(r) for |r| <= pi/4 by their Taylor series; the terms left
// out are below 2^-80 of the result. The leading terms are added exactly.
Pair SinKernel(const Pair& r) {
  const Pair z = TwoProduct(r.hi, r.hi);
  long double sum = 0;  // the terms from z^2 / 5! on, over -z / 3!
  for (int n = 27; n >= 5; n -= 2) sum = (sum + 1) * -z.hi / (static_cast<long double>(n) * (n - 1));
  // The first term hi^3 / 6 and the rounding of its division.
  const Pair cube = TwoProduct(r.hi, z.hi);
  const long double third = cube.hi / 6;
  const Pair back = TwoProduct(third, 6);
  const long double thirdRest = ((cube.hi - back.hi) - back.lo + cube.lo + r.hi * z.lo) / 6;
  const Pair head = FastTwoSum(r.hi, -third);
  // sin(hi + lo) = sin(hi) + lo * cos(hi), closely enough for lo.
  return FastTwoSum(head.hi, head.lo - thirdRest - third * sum + r.lo * (1 - z.hi / 2));
}

Pair CosKernel(const Pair& r) {
  const Pair z = TwoProduct(r.hi, r.hi);
  long double sum = 0;  // the terms from z^2 / 4! on
  for (int n = 26; n >= 4; n -= 2) sum = (sum + 1) * -z.hi / (static_cast<long double>(n) * (n - 1));
  sum *= -z.hi / 2;
  // cos(hi + lo) = cos(hi) - lo * sin(hi), closely enough for lo.
  const Pair head = FastTwoSum(1, -z.hi / 2);
  return FastTwoSum(head.hi, head.lo - z.lo / 2 + sum - r.lo * r.hi);
}

Pair Negate(const Pair& v) { return {-v.hi, -v.lo}; }

// a / b for pairs.
Pair Divide(const Pair& a, const Pair& b) {
  const long double q = a.hi / b.hi;
  const Pair p = TwoProduct(q, b.hi);
  const long double rest = ((a.hi - p.hi) - p.lo) + a.lo - q * b.lo;
  return FastTwoSum(q, rest / b.hi);
}

// The quadrant and the reduced argument of |x|.
void Split(double x, int& quadrant, Pair& r) {
  const double a = std::fabs(x);
  if (a <= kPiOver4) {
    quadrant = 0;
    r = {a, 0};
  } else {
    Reduce(a, quadrant, r);
  }
}

}  // namespace

double TrigSin(double x) {
  if (!std::isfinite(x)) return std::sin(x);
  int q = 0;
  Pair r;
  Split(x, q, r);
  Pair v = q % 2 == 0 ? SinKernel(r) : CosKernel(r);
  if (q >= 2) v = Negate(v);
  return Nearest(x < 0 ? Negate(v) : v);
}

double TrigCos(double x) {
  if (!std::isfinite(x)) return std::cos(x);
  int q = 0;
  Pair r;
  Split(x, q, r);
  const Pair v = q % 2 == 0 ? CosKernel(r) : SinKernel(r);
  return Nearest(q == 1 || q == 2 ? Negate(v) : v);
}

double TrigTan(double x) {
  if (!std::isfinite(x)) return std::tan(x);
  int q = 0;
  Pair r;
  Split(x, q, r);
  const Pair v = q % 2 == 0 ? Divide(SinKernel(r), CosKernel(r)) : Negate(Divide(CosKernel(r), SinKernel(r)));
  return Nearest(x < 0 ? Negate(v) : v);
}

}  // namespace tam

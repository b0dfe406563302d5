#include "library/decimal.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace tam {

namespace {

// An unsigned big integer in base 10^9, least significant limb first.
class BigDecimal {
 public:
  explicit BigDecimal(std::uint64_t v) {
    do {
      limbs_.push_back(static_cast<std::uint32_t>(v % kBase));
      v /= kBase;
    } while (v);
  }

  void Multiply(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t t = static_cast<std::uint64_t>(limb) * factor + carry;
      limb = static_cast<std::uint32_t>(t % kBase);
      carry = t / kBase;
    }
    while (carry) {
      limbs_.push_back(static_cast<std::uint32_t>(carry % kBase));
      carry /= kBase;
    }
  }

  // Multiplies by base^count, in factors that keep every product in 64 bits.
  void MultiplyPower(std::uint32_t base, std::uint32_t chunk, int chunkExp, int count) {
    for (; count >= chunkExp; count -= chunkExp) Multiply(chunk);
    while (count-- > 0) Multiply(base);
  }

  std::string Digits() const {
    std::string s = std::to_string(limbs_.back());
    char buf[16];
    for (std::size_t i = limbs_.size() - 1; i-- > 0;) {
      std::snprintf(buf, sizeof buf, "%09u", static_cast<unsigned>(limbs_[i]));
      s += buf;
    }
    return s;
  }

 private:
  static constexpr std::uint32_t kBase = 1000000000u;
  std::vector<std::uint32_t> limbs_;
};

}  // namespace

Decimal ToDecimal(double x) {
  Decimal d;
  d.negative = std::signbit(x);
  if (x == 0 || !std::isfinite(x)) return d;
  int e2 = 0;
  const double m = std::frexp(std::fabs(x), &e2);  // |x| = m * 2^e2, m in [0.5, 1)
  std::uint64_t mant = static_cast<std::uint64_t>(std::ldexp(m, 53));
  int shift = e2 - 53;  // |x| = mant * 2^shift
  while (!(mant & 1)) {
    mant >>= 1;
    ++shift;
  }
  BigDecimal big(mant);
  int fractionDigits = 0;
  if (shift >= 0) {
    big.MultiplyPower(2, 1u << 30, 30, shift);
  } else {
    // mant * 2^-k = mant * 5^k / 10^k
    big.MultiplyPower(5, 1220703125u, 13, -shift);
    fractionDigits = -shift;
  }
  std::string digits = big.Digits();
  d.exponent = static_cast<int>(digits.size()) - fractionDigits;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  d.digits = std::move(digits);
  return d;
}

void RoundDigits(Decimal& d, int keep) {
  const int len = static_cast<int>(d.digits.size());
  if (keep >= len) return;
  const bool up = keep >= 0 && d.digits[keep] >= '5';
  d.digits.resize(keep > 0 ? keep : 0);
  if (up) {
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
      ++d.digits[i];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
}

}  // namespace tam

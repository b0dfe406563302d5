// The exact decimal digits of a Double and their rounding, the ground of the
// number pictures of FORMATFLOAT and FLOATTOSTR.
#pragma once

#include <string>

namespace tam {

// A finite number as 0.DIGITS times 10^exponent: digits holds the significant
// digits without leading or trailing zeros; empty digits mean zero.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// The exact decimal expansion of a finite Double (at most 767 digits).
Decimal ToDecimal(double x);

// Rounds to keep significant digits, a half going away from zero. keep = 0
// leaves one unit of the next higher place or zero; keep < 0 gives zero.
void RoundDigits(Decimal& d, int keep);

}  // namespace tam

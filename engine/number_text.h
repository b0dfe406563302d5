// Numbers as the conversions write them.
#pragma once

#include <cstdint>
#include <string>

namespace tam {

// Up to `digits` significant digits in the shortest of fixed and exponent form
// ("2.5", "1E+20", "1E-05").
std::string FormatDouble(double d, int digits = 15);
// A Currency value (the number times 10000) without trailing zeros ("1.5").
std::string FormatCurrency(std::int64_t scaled);

}  // namespace tam

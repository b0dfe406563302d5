// Number pictures: the general format of FLOATTOSTR and the picture language
// of FORMATFLOAT ("#,##0.00", "0.0E+00", "0;(0);'zero'"). Any format text is
// safe to pass: the output grows only with the format and the number.
#pragma once

#include <string>

namespace tam {

// The separators of the user's locale.
struct NumberSeparators {
  char decimal = '.';
  char thousands = ',';
};

// At most 15 significant digits, no trailing zeros, scientific notation
// ("1.5E+20", "1E-5") where fixed notation would need more than 15 digits
// or more than four leading zeros.
std::string FloatToStr(double x, const NumberSeparators& sep = NumberSeparators());

// x under a picture of up to three sections (positive; negative; zero). An
// empty format gives the general format.
std::string FormatFloat(const std::string& format, double x, const NumberSeparators& sep = NumberSeparators());

}  // namespace tam

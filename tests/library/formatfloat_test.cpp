// Number pictures: exact decimal digits, rounding to the digits shown, and
// formats that make no sense.
#include "library/formatfloat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "library/decimal.h"

namespace tam {
namespace {

TEST(Decimal, ExactDigitsAndRounding) {
  Decimal d = ToDecimal(0.1);
  EXPECT_EQ(d.digits, "1000000000000000055511151231257827021181583404541015625");
  EXPECT_EQ(d.exponent, 0);
  d = ToDecimal(-1234.5);
  EXPECT_TRUE(d.negative);
  EXPECT_EQ(d.digits, "12345");
  EXPECT_EQ(d.exponent, 4);
  d = ToDecimal(1e300);
  EXPECT_EQ(d.exponent, 301);
  EXPECT_EQ(d.digits.substr(0, 17), "10000000000000000");
  d = ToDecimal(4.9406564584124654e-324);  // the smallest Double
  EXPECT_EQ(d.exponent, -323);
  EXPECT_EQ(d.digits.size(), 751u);
  EXPECT_EQ(d.digits.substr(0, 5), "49406");

  d = ToDecimal(9.9996);  // 9.99959999... carries into a new place
  RoundDigits(d, 4);
  EXPECT_EQ(d.digits, "1");
  EXPECT_EQ(d.exponent, 2);
  d = ToDecimal(0.5);
  RoundDigits(d, 0);  // a half goes up, away from zero
  EXPECT_EQ(d.digits, "1");
  EXPECT_EQ(d.exponent, 1);
  d = ToDecimal(0.04);
  RoundDigits(d, -1);
  EXPECT_EQ(d.digits, "");
}

TEST(FormatFloat, SeparatorsComeFromTheLocale) {
  NumberSeparators german;
  german.decimal = ',';
  german.thousands = '.';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, german), "1.234.567,89");
  EXPECT_EQ(FloatToStr(-0.25, german), "-0,25");
  EXPECT_EQ(FloatToStr(2.5e-20, german), "2,5E-20");
}

TEST(FormatFloat, ExtremeNumbers) {
  EXPECT_EQ(FormatFloat("0", 1e20), "100000000000000000000");
  EXPECT_EQ(FormatFloat("0.00", 1e-300), "0.00");
  EXPECT_EQ(FormatFloat("0.0;-0.0;zero", -1e-300), "zero");
  EXPECT_EQ(FormatFloat("0.00E+000", 1.7976931348623157e308), "1.80E+308");
  EXPECT_EQ(FormatFloat("#", 0.5), "1");
  EXPECT_EQ(FloatToStr(-0.0), "0");
  EXPECT_EQ(FloatToStr(1.7976931348623157e308), "1.79769313486232E+308");
  EXPECT_EQ(FloatToStr(999999999999999.5), "1E+15");
  EXPECT_EQ(FloatToStr(INFINITY), "INF");
  EXPECT_EQ(FormatFloat("0", NAN), "NAN");
}

// Random pictures from the characters that mean something: never a crash,
// and output that grows only with the format.
TEST(FormatFloat, AnyFormatIsSafe) {
  const char alphabet[] = "0#.,;Ee+-'\"x\x82\x45";
  const double numbers[] = {0, -0.0, 1, -1, 0.5, 123456.789, -9.999e-5, 1e300, -4.9e-324, 2147483648.0};
  std::mt19937 rng(42);
  for (int i = 0; i < 3000; ++i) {
    std::string format(rng() % 12, ' ');
    for (char& c : format) c = alphabet[rng() % (sizeof alphabet - 1)];
    for (double x : numbers) {
      const std::string out = FormatFloat(format, x);
      EXPECT_LE(out.size(), 2 * format.size() + 800) << format;
    }
  }
}

}  // namespace
}  // namespace tam

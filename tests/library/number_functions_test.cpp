// The number functions through the built-in handler: the catalogue, the
// faults that pass on to the engine, and what depends on the platform.
#include <gtest/gtest.h>

#include <new>

#include "engine/failure.h"
#include "library/library.h"
#include "library/random.h"
#include "platform/fixed_clock.h"

namespace tam {
namespace {

Value Call(const std::string& name, std::vector<Value> args) {
  Value result;
  bool found = false;
  EXPECT_TRUE(BuiltinFunction(name, Value::Array(std::move(args)), result, found)) << name;
  EXPECT_TRUE(found) << name;
  return result.isArray() && result.items().size() == 1 ? result.items()[0] : result;
}

TEST(TextAndNumberCatalogue, KnowsEveryName) {
  const char* names[] = {
      // text
      "CHR", "CODE", "CODEB", "COPY", "COPYB", "INSTR", "INSTRB", "INTTOHEX", "INTTOHEXN", "INTTOSTR", "LASTDELIMITER",
      "LEFT", "LEFTB", "LENGTH", "LENGTHB", "LOWERCASE", "MID", "MIDB", "POS", "POSB", "QUOTEDSTR", "RIGHT", "RIGHTB",
      "STRINGREPEAT", "TRIM", "TRIMLEFT", "TRIMRIGHT", "UPPERCASE",
      // numbers
      "ABS", "ARCCOS", "ARCCOSH", "ARCSIN", "ARCSINH", "ARCTAN", "ARCTAN2", "ARCTANH", "COLORTORGB", "COS", "COSH",
      "COTAN", "CYCLETORAD", "DEGTORAD", "EXP", "FLOATTOSTR", "FLOOR", "FORMATFLOAT", "FRAC", "GRADTORAD", "INT", "LN",
      "LOG", "LOG10", "LOG2", "LOGE", "LOGN", "MAX", "MEAN", "MIN", "POWER", "RADTOCYCLE", "RADTODEG", "RADTOGRAD",
      "RANDOM", "RANDOMGAUSS", "RANDOMIZE", "ROUND", "ROUNDBANKERS", "SIN", "SINH", "SQRT", "STRTOFLOAT", "STRTOINT",
      "SUM", "TAN", "TANH"};
  EXPECT_EQ(sizeof names / sizeof *names, 28u + 47u);
  for (const char* name : names) {
    Value result;
    bool found = false;
    BuiltinFunction(name, Value::Array(), result, found);  // no arguments: nothing is converted
    EXPECT_TRUE(found) << name;
  }
  // Names match in any letter case with blanks around.
  EXPECT_EQ(Call(" FormatFloat ", {Value::Str("0.0"), Value::Int(2)}).str(), "2.0");
}

// Correctly rounded values (worked out to 60 digits with an exact pi), the
// same on every build: large arguments are reduced with all the bits of 2/pi
// they need, not with a short pi.
TEST(NumberFunctions, SineCosineAndTangentOfLargeArguments) {
  struct Case {
    double x, sin, cos, tan;
  } cases[] = {
      {-2147483648.0, 0.9713101757929392, 0.23781619457280337, 4.084289455298593},
      {1e22, -0.8522008497671888, 0.523214785395139, -1.6287782256068988},
      {1e300, -0.8178819121159085, -0.5753861119575491, 1.4214488238747245},
      {1.7976931348623157e+308, 0.004961954789184062, -0.9999876894265599, -0.004962015874444895},
      // The Double nearest to a multiple of pi/2.
      {5.319372648326541e+255, 1.0, -4.687165924254628e-19, -2.133485385753704e+18},
      {1e15, 0.8582727931702359, -0.5131937377869703, -1.672414782127583},
      {-100000.5, 0.4477465716572126, -0.8941605043666447, -0.5007451900085457},
      {355.0, -3.014435335948845e-05, -0.999999999545659, 3.0144353373184265e-05},
      {2.5, 0.5984721441039565, -0.8011436155469337, -0.7470222972386603},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Call("SIN", {Value::Dbl(c.x)}).d(), c.sin) << c.x;
    EXPECT_EQ(Call("COS", {Value::Dbl(c.x)}).d(), c.cos) << c.x;
    EXPECT_EQ(Call("TAN", {Value::Dbl(c.x)}).d(), c.tan) << c.x;
    EXPECT_EQ(Call("SIN", {Value::Dbl(-c.x)}).d(), -c.sin) << c.x;
  }
  EXPECT_EQ(Call("SIN", {Value::Int(0)}).d(), 0.0);
  EXPECT_EQ(Call("COS", {Value::Int(0)}).d(), 1.0);
}

// Division by zero and overflow are no failure of the script: they pass on.
TEST(NumberFunctions, ArithmeticFaultsPassOn) {
  EXPECT_THROW(Call("COTAN", {Value::Int(0)}), EngineFault);
  EXPECT_THROW(Call("ARCTANH", {Value::Int(1)}), EngineFault);
  EXPECT_THROW(Call("ARCTANH", {Value::Dbl(-1)}), EngineFault);
  EXPECT_THROW(Call("EXP", {Value::Int(1000)}), EngineFault);
  EXPECT_THROW(Call("COSH", {Value::Int(-1000)}), EngineFault);
  EXPECT_THROW(Call("LOGN", {Value::Int(1), Value::Int(8)}), EngineFault);
  EXPECT_THROW(Call("POWER", {Value::Int(0), Value::Int(-1)}), EngineFault);
  EXPECT_THROW(Call("POWER", {Value::Int(10), Value::Int(400)}), EngineFault);
  // ... while invalid operations and bad texts are failures of the categories.
  EXPECT_THROW(Call("SQRT", {Value::Int(-1)}), InvalidOp);
  EXPECT_THROW(Call("LOG2", {Value::Int(0)}), InvalidOp);
  EXPECT_THROW(Call("ARCCOS", {Value::Dbl(1.5)}), InvalidOp);
  EXPECT_THROW(Call("FLOOR", {Value::Dbl(-3e9)}), InvalidOp);
  EXPECT_THROW(Call("ROUND", {Value::Dbl(1e300)}), VariantError);
  EXPECT_THROW(Call("STRTOINT", {Value::Str("0x10")}), ConvertError);
  EXPECT_THROW(Call("SIN", {Value::Str("x")}), VariantError);
  EXPECT_THROW(Call("ABS", {Value::Array({Value::Int(1)})}), VariantError);
  // Huge finite results stay within the Double range.
  EXPECT_EQ(Call("POWER", {Value::Int(2), Value::Int(-1074)}).d(), 4.9406564584124654e-324);
  EXPECT_EQ(Call("POWER", {Value::Int(2), Value::Dbl(1023)}).d(), 8.98846567431158e307);
}

// A platform whose UTC time of day and system colours are known.
class KnownPlatform : public FixedClockPlatform {
 public:
  KnownPlatform() : FixedClockPlatform(DefaultPlatform(), LocalTime{}) {}
  LocalTime UtcNow() override {
    LocalTime t;
    t.hour = 1, t.minute = 2, t.second = 3, t.msec = 4;
    return t;
  }
  std::uint32_t SystemColor(int index) override { return 0x00010000u * index + 0x00FF; }
};

TEST(NumberFunctions, ClockSeedAndSystemColours) {
  KnownPlatform known;
  SetPlatform(&known);
  Value result;
  bool found;
  // RANDOMIZE without an Integer reads the UTC time of day in milliseconds.
  for (const Value& args : {Value(), Value::Array({Value::Dbl(7)}), Value::Array({Value::Str("7")})}) {
    random::SetSeed(99);
    EXPECT_TRUE(BuiltinFunction("RANDOMIZE", args, result, found));
    EXPECT_EQ(random::Seed(), ((1u * 60 + 2) * 60 + 3) * 1000 + 4);
    EXPECT_TRUE(result.isEmpty());
  }
  EXPECT_TRUE(BuiltinFunction("RANDOMIZE", Value::Int(0), result, found));
  EXPECT_EQ(random::Seed(), 0u);
  // A negative colour names the system colour of its low byte.
  EXPECT_EQ(Call("COLORTORGB", {Value::Int(-2147483643)}).i(), 0x000500FF);  // 0x80000005, the window colour
  EXPECT_EQ(Call("COLORTORGB", {Value::Int(0x123456)}).i(), 0x123456);
  SetPlatform(nullptr);
}

TEST(NumberFunctions, IntegerDrawsTakeTheUpperHalfOfTheProduct) {
  random::SetSeed(0xFFFFFFFFu);  // the next seed is 4160191484
  EXPECT_EQ(random::NextBelow(0xFFFFFFFFu), 4160191483u);
  random::SetSeed(0xFFFFFFFFu);
  EXPECT_EQ(random::NextBelow(0), 0u);
  // RANDOM with a negative bound reads it as an unsigned number.
  random::SetSeed(0xFFFFFFFFu);
  EXPECT_EQ(Call("RANDOM", {Value::Int(-1)}).i(), -134775813);
}

}  // namespace
}  // namespace tam

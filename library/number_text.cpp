// Numbers to text and back: FLOATTOSTR, FORMATFLOAT, STRTOFLOAT, STRTOINT.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "engine/failure.h"
#include "library/formatfloat.h"
#include "library/number.h"

namespace tam {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

[[noreturn]] void NotANumber(const std::string& text, const char* kind) {
  throw ConvertError("'" + text + "' is not a valid " + kind);
}

// Blanks, an optional sign, digits with an optional decimal point, an
// optional exponent (E or e, optional sign, digits), blanks.
double ParseFloat(const std::string& text) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end && IsBlank(*p)) ++p;
  while (end > p && IsBlank(end[-1])) --end;
  std::string clean;
  if (p < end && (*p == '+' || *p == '-')) clean += *p++;
  bool digits = false, point = false;
  for (; p < end && (IsDigit(*p) || (*p == '.' && !point)); ++p) {
    point = point || *p == '.';
    digits = digits || *p != '.';
    clean += *p;
  }
  if (!digits) NotANumber(text, "floating point value");
  if (p < end && (*p == 'E' || *p == 'e')) {
    clean += *p++;
    if (p < end && (*p == '+' || *p == '-')) clean += *p++;
    if (p == end || !IsDigit(*p)) NotANumber(text, "floating point value");
    while (p < end && IsDigit(*p)) clean += *p++;
  }
  if (p != end) NotANumber(text, "floating point value");
  const double r = std::strtod(clean.c_str(), nullptr);
  if (std::isinf(r)) NotANumber(text, "floating point value");
  return r;
}

// Blanks, an optional sign, then decimal digits or '$' and hexadecimal
// digits (up to 32 bits, read as two's complement).
std::int32_t ParseInt(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const bool hex = i < text.size() && text[i] == '$';
  if (hex) ++i;
  if (i == text.size()) NotANumber(text, "integer value");
  std::uint64_t v = 0;
  const std::uint64_t limit = hex ? 0xFFFFFFFFull : negative ? 2147483648ull : 2147483647ull;
  for (; i < text.size(); ++i) {
    const int d = hex ? HexDigit(text[i]) : IsDigit(text[i]) ? text[i] - '0' : -1;
    if (d < 0) NotANumber(text, "integer value");
    v = v * (hex ? 16 : 10) + static_cast<unsigned>(d);
    if (v > limit) NotANumber(text, "integer value");
  }
  const std::uint32_t u = static_cast<std::uint32_t>(v);
  return static_cast<std::int32_t>(negative ? 0u - u : u);
}

bool FloatToStrFn(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Str(FloatToStr(shape::Number(a))));
    return true;
  });
}

bool FormatFloatFn(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string format = shape::Text((*a)[0]);
  result.append(Value::Str(FormatFloat(format, shape::Number((*a)[1]))));
  return true;
}

bool StrToFloat(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Dbl(ParseFloat(shape::Text(a))));
    return true;
  });
}

bool StrToInt(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Int(ParseInt(shape::Text(a))));
    return true;
  });
}

}  // namespace

void AddNumberTextFunctions(Catalogue& c) {
  c["FLOATTOSTR"] = FloatToStrFn;
  c["FORMATFLOAT"] = FormatFloatFn;
  c["STRTOFLOAT"] = StrToFloat;
  c["STRTOINT"] = StrToInt;
}

}  // namespace tam

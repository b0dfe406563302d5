// Conversions between the kinds of value, and the number parser they share.
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/date_text.h"
#include "engine/failure.h"
#include "engine/number_text.h"
#include "engine/sjis.h"
#include "engine/value.h"

namespace tam {

namespace {

[[noreturn]] void Mismatch() { throw VariantError("Invalid variant type conversion"); }
[[noreturn]] void Overflow() { throw VariantError("Overflow while converting variant"); }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Blanks around a number and its sign: ASCII blanks and the full-width space.
std::size_t SkipBlanks(std::string_view t, std::size_t p) {
  for (;;) {
    if (p < t.size() && IsSpace(t[p])) {
      ++p;
    } else if (p + 1 < t.size() && t[p] == '\x81' && t[p + 1] == '\x40') {
      p += 2;
    } else {
      return p;
    }
  }
}

// &H hexadecimal or &O octal after the '&' at p: up to 32 bits, read as a
// signed 32-bit value ("&HFFFF" is 65535, "&HFFFFFFFF" is -1).
bool ParseRadix(std::string_view t, std::size_t& p, double& out) {
  if (p + 1 >= t.size()) return false;
  char kind = t[p + 1];
  int base = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
  if (base == 0) return false;
  p += 2;
  unsigned long long v = 0;
  std::size_t first = p;
  for (; p < t.size(); ++p) {
    char c = t[p];
    int d = c >= '0' && c <= '9'   ? c - '0'
            : c >= 'a' && c <= 'f' ? c - 'a' + 10
            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                   : 99;
    if (d >= base) break;
    v = v * base + static_cast<unsigned>(d);
    if (v > 0xFFFFFFFFull) return false;
  }
  if (p == first) return false;
  out = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
  return true;
}

// Digits with thousands separators, a decimal point and an exponent (E only).
bool ParseDecimal(std::string_view t, std::size_t& p, double& out) {
  std::string digits;
  bool any = false, seenPoint = false;
  for (; p < t.size(); ++p) {
    char c = t[p];
    if (c >= '0' && c <= '9') {
      digits += c;
      any = true;
    } else if (c == ',' && any && !seenPoint) {
      // thousands separator
    } else if (c == '.' && !seenPoint) {
      digits += '.';
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!any) return false;
  if (p < t.size() && (t[p] == 'e' || t[p] == 'E')) {
    std::size_t q = p + 1;
    std::string ex = "e";
    if (q < t.size() && (t[q] == '+' || t[q] == '-')) ex += t[q++];
    bool expDigits = false;
    while (q < t.size() && t[q] >= '0' && t[q] <= '9') {
      ex += t[q++];
      expDigits = true;
    }
    if (!expDigits) return false;
    digits += ex;
    p = q;
  }
  double r = std::strtod(digits.c_str(), nullptr);
  if (std::isinf(r)) return false;
  out = r;
  return true;
}

}  // namespace

// The number grammar of the system's variant coercion: blanks around; a sign
// before or after the number; parentheses for a negative number.
bool ParseNumber(std::string_view t, double& out) {
  std::size_t p = SkipBlanks(t, 0);
  bool parens = p < t.size() && t[p] == '(';
  if (parens) p = SkipBlanks(t, p + 1);
  bool signed_ = false, neg = false;
  if (p < t.size() && (t[p] == '+' || t[p] == '-')) {
    signed_ = true;
    neg = t[p] == '-';
    p = SkipBlanks(t, p + 1);
  }
  double r;
  if (p < t.size() && t[p] == '&') {
    if (!ParseRadix(t, p, r)) return false;
  } else if (!ParseDecimal(t, p, r)) {
    return false;
  }
  p = SkipBlanks(t, p);
  if (!signed_ && p < t.size() && (t[p] == '+' || t[p] == '-')) {
    neg = t[p] == '-';
    p = SkipBlanks(t, p + 1);
  }
  if (parens) {
    if (p >= t.size() || t[p] != ')') return false;
    neg = true;
    p = SkipBlanks(t, p + 1);
  }
  if (p != t.size()) return false;
  out = neg ? -r : r;
  return true;
}

std::int32_t RoundToInt32(double d) {
  if (!(d > -2147483649.0 && d < 2147483648.0)) Overflow();
  double r = std::nearbyint(d);
  if (r < -2147483648.0 || r > 2147483647.0) Overflow();
  return static_cast<std::int32_t>(r);
}

namespace {
std::int32_t RoundCurrency(std::int64_t cy) {
  // Round half to even in units of 10000.
  std::int64_t q = cy / 10000, rem = cy % 10000;
  if (rem > 5000 || (rem == 5000 && (q & 1))) ++q;
  if (rem < -5000 || (rem == -5000 && (q & 1))) --q;
  if (q < INT32_MIN || q > INT32_MAX) Overflow();
  return static_cast<std::int32_t>(q);
}
}  // namespace

std::int32_t ToInteger(const Value& v) {
  switch (v.type()) {
    case vtEmpty:
      return 0;
    case vtSmallInt:
      return v.s16();
    case vtInteger:
      return v.i();
    case vtByte:
      return v.u8();
    case vtSingle:
      return RoundToInt32(v.f());
    case vtDouble:
    case vtDate:
      return RoundToInt32(v.d());
    case vtCurrency:
      return RoundCurrency(v.cy());
    case vtBoolean:
      return v.b() ? -1 : 0;
    case vtString:
    case vtOleStr: {
      double d;
      if (!ParseNumber(v.str(), d)) Mismatch();
      return RoundToInt32(d);
    }
    default:
      Mismatch();
  }
}

double ToDouble(const Value& v) {
  switch (v.type()) {
    case vtEmpty:
      return 0;
    case vtSmallInt:
      return v.s16();
    case vtInteger:
      return v.i();
    case vtByte:
      return v.u8();
    case vtSingle:
      return v.f();
    case vtDouble:
    case vtDate:
      return v.d();
    case vtCurrency:
      return static_cast<double>(v.cy()) / 10000.0;
    case vtBoolean:
      return v.b() ? -1 : 0;
    case vtString:
    case vtOleStr: {
      double d;
      if (!ParseNumber(v.str(), d)) Mismatch();
      return d;
    }
    default:
      Mismatch();
  }
}

std::int64_t ToCurrency(const Value& v) {
  if (v.type() == vtCurrency) return v.cy();
  // Scaled in extended precision, so that 1e14 + 0.5 becomes 1000000000000005000
  // rather than the nearest double; ties go to even.
  long double d = static_cast<long double>(ToDouble(v)) * 10000.0L;
  if (!(d > -9.2233720368547758e18L && d < 9.2233720368547758e18L)) Overflow();
  return static_cast<std::int64_t>(std::nearbyintl(d));
}

bool ToBoolean(const Value& v) {
  switch (v.type()) {
    case vtEmpty:
      return false;
    case vtBoolean:
      return v.b();
    case vtSmallInt:
      return v.s16() != 0;
    case vtInteger:
      return v.i() != 0;
    case vtByte:
      return v.u8() != 0;
    case vtSingle:
      return v.f() != 0;
    case vtDouble:
    case vtDate:
      return v.d() != 0;
    case vtCurrency:
      return v.cy() != 0;
    case vtString:
    case vtOleStr: {
      // The words themselves in any letter case, without blanks; their
      // marked forms only exactly as "#TRUE#" and "#FALSE#".
      const std::string t = UpperCase(std::string(v.str()));
      if (t == "TRUE" || v.str() == "#TRUE#") return true;
      if (t == "FALSE" || v.str() == "#FALSE#") return false;
      double d;
      if (!ParseNumber(v.str(), d)) Mismatch();
      return d != 0;
    }
    default:
      Mismatch();
  }
}

double ToDate(const Value& v) {
  switch (v.type()) {
    case vtDate:
      return v.d();
    case vtString:
    case vtOleStr: {
      double d;
      if (ParseDateText(std::string(v.str()), d)) return d;
      if (ParseNumber(v.str(), d)) return d;
      Mismatch();
    }
    default: {
      double d = ToDouble(v);
      if (!(d > -657435.0 && d < 2958466.0)) Overflow();
      return d;
    }
  }
}

std::string ToText(const Value& v) {
  switch (v.type()) {
    case vtEmpty:
      return std::string();
    case vtString:
    case vtOleStr:
      return std::string(v.str());
    case vtSmallInt:
      return std::to_string(v.s16());
    case vtInteger:
      return std::to_string(v.i());
    case vtByte:
      return std::to_string(v.u8());
    case vtSingle:
      return FormatDouble(v.f(), 7);
    case vtDouble:
      return FormatDouble(v.d(), 15);
    case vtCurrency:
      return FormatCurrency(v.cy());
    case vtDate:
      return FormatDate(v.d());
    case vtBoolean:
      return v.b() ? "-1" : "0";
    default:
      Mismatch();
  }
}

}  // namespace tam

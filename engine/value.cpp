#include "engine/value.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/calendar.h"
#include "engine/failure.h"
#include "engine/sjis.h"
#include "platform/platform.h"

namespace tam {

Value Value::Int(std::int32_t v) {
  Value r;
  r.type_ = vtInteger;
  r.num_.i = v;
  return r;
}
Value Value::Dbl(double v) {
  Value r;
  r.type_ = vtDouble;
  r.num_.d = v;
  return r;
}
Value Value::Bool(bool v) {
  Value r;
  r.type_ = vtBoolean;
  r.num_.b = v;
  return r;
}
Value Value::Str(std::string v) {
  Value r;
  r.type_ = vtString;
  r.str_ = std::move(v);
  return r;
}
Value Value::OleStr(std::string v) {
  Value r;
  r.type_ = vtOleStr;
  r.str_ = std::move(v);
  return r;
}
Value Value::Cur(std::int64_t scaled) {
  Value r;
  r.type_ = vtCurrency;
  r.num_.cy = scaled;
  return r;
}
Value Value::DateVal(double days) {
  Value r;
  r.type_ = vtDate;
  r.num_.d = days;
  return r;
}
Value Value::Null() {
  Value r;
  r.type_ = vtNull;
  return r;
}
Value Value::Small(std::int16_t v) {
  Value r;
  r.type_ = vtSmallInt;
  r.num_.s = v;
  return r;
}
Value Value::Sgl(float v) {
  Value r;
  r.type_ = vtSingle;
  r.num_.f = v;
  return r;
}
Value Value::ByteVal(std::uint8_t v) {
  Value r;
  r.type_ = vtByte;
  r.num_.by = v;
  return r;
}
Value Value::ErrorVal(std::int32_t code) {
  Value r;
  r.type_ = vtError;
  r.num_.i = code;
  return r;
}
Value Value::Array(std::vector<Value> items) {
  Value r;
  r.type_ = vtArray;
  r.items_ = std::move(items);
  return r;
}

void Value::append(Value v) {
  if (isArray()) {
    items_.push_back(std::move(v));
  } else if (type_ == vtEmpty) {
    *this = Array({std::move(v)});
  } else {
    Value first = std::move(*this);
    *this = Array({});
    items_.reserve(2);
    items_.push_back(std::move(first));
    items_.push_back(std::move(v));
  }
}

const char* TypeName(int code) {
  switch (code & 0xFFF) {
    case 0:
      return "Empty";
    case 1:
      return "Null";
    case 2:
      return "SmallInt";
    case 3:
      return "Integer";
    case 4:
      return "Single";
    case 5:
      return "Double";
    case 6:
      return "Currency";
    case 7:
      return "Date";
    case 8:
      return "OleStr";
    case 9:
      return "Dispatch";
    case 10:
      return "Error";
    case 11:
      return "Boolean";
    case 12:
      return "Variant";
    case 17:
      return "Byte";
    case 256:
      return "String";
    default:
      return "Unknown";
  }
}

namespace {

[[noreturn]] void Mismatch() { throw VariantError("Invalid variant type conversion"); }
[[noreturn]] void Overflow() { throw VariantError("Overflow while converting variant"); }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Parses "yyyy/mm/dd", "yyyy-mm-dd", "h:mm[:ss]" or both, separated by blanks.
bool ParseDateText(const std::string& text, double& out) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  double day = 0, time = 0;
  bool haveDate = false, haveTime = false;
  std::size_t pos = 0;
  while (pos < t.size()) {
    while (pos < t.size() && IsSpace(t[pos])) ++pos;
    std::size_t end = pos;
    while (end < t.size() && !IsSpace(t[end])) ++end;
    std::string word = t.substr(pos, end - pos);
    pos = end;
    if (word.empty()) continue;
    int a = 0, b = 0, c = 0;
    char s1 = 0, s2 = 0;
    int used = 0;
    if (!haveDate && std::sscanf(word.c_str(), "%d%c%d%c%d%n", &a, &s1, &b, &s2, &c, &used) == 5 &&
        used == static_cast<int>(word.size()) && s1 == s2 && (s1 == '/' || s1 == '-')) {
      if (a < 100) a += a < 30 ? 2000 : 1900;
      if (!EncodeDate(a, b, c, day)) return false;
      haveDate = true;
      continue;
    }
    used = 0;
    int n = std::sscanf(word.c_str(), "%d:%d%n:%d%n", &a, &b, &used, &c, &used);
    if (!haveTime && (n == 2 || n == 3) && used == static_cast<int>(word.size())) {
      if (n == 2) c = 0;
      if (!EncodeTime(a, b, c, 0, time)) return false;
      haveTime = true;
      continue;
    }
    return false;
  }
  if (!haveDate && !haveTime) return false;
  out = day < 0 ? day - time : day + time;
  return true;
}

}  // namespace

bool ParseNumber(const std::string& text, double& out) {
  const char* p = text.c_str();
  const char* e = p + std::strlen(p);
  while (p < e && IsSpace(*p)) ++p;
  while (e > p && IsSpace(e[-1])) --e;
  if (p == e) return false;
  bool neg = false;
  if (*p == '+' || *p == '-') {
    neg = *p == '-';
    ++p;
    while (p < e && IsSpace(*p)) ++p;
  }
  if (p == e) return false;
  if (*p == '&' && p + 1 < e) {
    // &H hexadecimal and &O octal: the 16-bit or 32-bit two's-complement value.
    int base = (p[1] == 'H' || p[1] == 'h') ? 16 : (p[1] == 'O' || p[1] == 'o') ? 8 : 0;
    if (base == 0) return false;
    p += 2;
    if (p == e) return false;
    unsigned long long v = 0;
    for (; p < e; ++p) {
      int d;
      if (*p >= '0' && *p <= '9')
        d = *p - '0';
      else if (base == 16 && *p >= 'a' && *p <= 'f')
        d = *p - 'a' + 10;
      else if (base == 16 && *p >= 'A' && *p <= 'F')
        d = *p - 'A' + 10;
      else
        return false;
      if (d >= base) return false;
      v = v * base + static_cast<unsigned>(d);
      if (v > 0xFFFFFFFFull) return false;
    }
    double r;
    if (v <= 0xFFFF)
      r = static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    else
      r = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    out = neg ? -r : r;
    return true;
  }
  std::string digits;
  bool any = false, seenPoint = false;
  for (; p < e; ++p) {
    if (*p >= '0' && *p <= '9') {
      digits += *p;
      any = true;
    } else if (*p == ',' && any && !seenPoint) {
      // thousands separator
    } else if (*p == '.' && !seenPoint) {
      digits += '.';
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!any) return false;
  if (p < e && (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D')) {
    const char* q = p + 1;
    std::string ex = "e";
    if (q < e && (*q == '+' || *q == '-')) ex += *q++;
    bool expDigits = false;
    while (q < e && *q >= '0' && *q <= '9') {
      ex += *q++;
      expDigits = true;
    }
    if (!expDigits) return false;
    digits += ex;
    p = q;
  }
  if (p != e) return false;
  errno = 0;
  double r = std::strtod(digits.c_str(), nullptr);
  if (std::isinf(r)) return false;
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
  double d = ToDouble(v) * 10000.0;
  if (!(d > -9.2233720368547758e18 && d < 9.2233720368547758e18)) Overflow();
  return static_cast<std::int64_t>(std::nearbyint(d));
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
      std::string t = UpperCase(Trim(v.str()));
      if (t == "TRUE") return true;
      if (t == "FALSE") return false;
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
      if (ParseDateText(v.str(), d)) return d;
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

std::string FormatDouble(double d, int digits) {
  if (d == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*G", digits, d);
  return buf;
}

std::string FormatCurrency(std::int64_t cy) {
  bool neg = cy < 0;
  unsigned long long u = neg ? 0ull - static_cast<unsigned long long>(cy) : static_cast<unsigned long long>(cy);
  std::string r = std::to_string(u / 10000);
  unsigned frac = static_cast<unsigned>(u % 10000);
  if (frac) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04u", frac);
    std::string f = buf;
    while (!f.empty() && f.back() == '0') f.pop_back();
    r += "." + f;
  }
  return neg ? "-" + r : r;
}

std::string FormatDate(double days) {
  int y, m, d, h, mi, s, ms;
  DecodeDate(days, y, m, d);
  DecodeTime(days, h, mi, s, ms);
  if (ms >= 500) {
    // Text shows whole seconds.
    if (++s == 60) {
      s = 0;
      if (++mi == 60) {
        mi = 0;
        if (h < 23)
          ++h;
        else
          mi = 59, s = 59;
      }
    }
  }
  const LocaleInfo& loc = platform().Locale();
  std::string sep = loc.dateSeparator, tsep = loc.timeSeparator;
  char buf[64];
  std::string date, time;
  std::snprintf(buf, sizeof buf, "%04d%s%02d%s%02d", y, sep.c_str(), m, sep.c_str(), d);
  date = buf;
  std::snprintf(buf, sizeof buf, "%d%s%02d%s%02d", h, tsep.c_str(), mi, tsep.c_str(), s);
  time = buf;
  bool hasTime = h || mi || s;
  if (std::trunc(days) == 0) return time;
  return hasTime ? date + " " + time : date;
}

std::string ToText(const Value& v) {
  switch (v.type()) {
    case vtEmpty:
      return std::string();
    case vtString:
    case vtOleStr:
      return v.str();
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

double CheckFloat(double r) {
  if (std::isnan(r)) throw InvalidOp("Invalid floating point operation");
  if (std::isinf(r)) throw EngineFault("Floating point overflow");
  return r;
}

}  // namespace tam

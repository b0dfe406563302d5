#include "engine/value.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/calendar.h"
#include "engine/failure.h"
#include "engine/sjis.h"
#include "platform/platform.h"

namespace tam {

Value Value::Str(std::string v) {
  Value r;
  r.type_ = vtString;
  r.str_ = std::make_shared<const std::string>(std::move(v));
  return r;
}
Value Value::OleStr(std::string v) {
  Value r;
  r.type_ = vtOleStr;
  r.str_ = std::make_shared<const std::string>(std::move(v));
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
  r.items_ = std::make_unique<std::vector<Value>>(std::move(items));
  return r;
}

const std::vector<Value>& Value::NoItems() {
  static const std::vector<Value> none;
  return none;
}

const std::string& Value::EmptyText() {
  static const std::string empty;
  return empty;
}

void Value::append(Value v) {
  if (isArray()) {
    items().push_back(std::move(v));
  } else if (type_ == vtEmpty) {
    // Moved in: a braced list would copy the value.
    auto items = std::make_unique<std::vector<Value>>();
    items->push_back(std::move(v));
    type_ = vtArray;
    items_ = std::move(items);
  } else {
    Value first = std::move(*this);
    *this = Array({});
    items().reserve(2);
    items().push_back(std::move(first));
    items().push_back(std::move(v));
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

namespace {

// Blanks around a number and its sign: ASCII blanks and the full-width space.
std::size_t SkipBlanks(const std::string& t, std::size_t p) {
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
bool ParseRadix(const std::string& t, std::size_t& p, double& out) {
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
bool ParseDecimal(const std::string& t, std::size_t& p, double& out) {
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
bool ParseNumber(const std::string& text, double& out) {
  const std::string& t = text;
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
      const std::string t = UpperCase(v.str());
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

// Up to `digits` significant digits, rounded half away from zero, in the
// shortest of fixed and exponent form ("2.5", "1E+20", "1E-05").
std::string FormatDouble(double d, int digits) {
  if (d == 0) return "0";
  char buf[800];
  if (!std::isfinite(d)) {
    std::snprintf(buf, sizeof buf, "%G", d);
    return buf;
  }
  if (digits < 1) digits = 1;
  if (digits > 17) digits = 17;
  // Six more digits than kept decide the rounding, unless they read as an
  // exact half: then the full decimal expansion (at most 767 digits) does.
  std::snprintf(buf, sizeof buf, "%.*e", digits + 5, std::fabs(d));
  if (std::strncmp(buf + digits + 1, "500000", 6) == 0) std::snprintf(buf, sizeof buf, "%.780e", std::fabs(d));
  std::string mant(1, buf[0]);
  const char* p = buf + 1;
  if (*p == '.') ++p;
  while (*p >= '0' && *p <= '9') mant += *p++;
  int exp = std::atoi(p + 1);
  std::string kept = mant.substr(0, digits);
  if (mant[digits] >= '5') {
    int i = digits - 1;
    while (i >= 0 && kept[i] == '9') kept[i--] = '0';
    if (i >= 0) {
      ++kept[i];
    } else {
      kept.insert(kept.begin(), '1');
      kept.pop_back();
      ++exp;
    }
  }
  while (kept.size() > 1 && kept.back() == '0') kept.pop_back();
  std::string r = d < 0 ? "-" : "";
  if (exp < -4 || exp >= digits) {
    r += kept[0];
    if (kept.size() > 1) r += "." + kept.substr(1);
    std::snprintf(buf, sizeof buf, "E%c%02d", exp < 0 ? '-' : '+', exp < 0 ? -exp : exp);
    return r + buf;
  }
  if (exp < 0) return r + "0." + std::string(-exp - 1, '0') + kept;
  if (static_cast<int>(kept.size()) <= exp + 1) return r + kept + std::string(exp + 1 - kept.size(), '0');
  return r + kept.substr(0, exp + 1) + "." + kept.substr(exp + 1);
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

namespace {

struct DateFields {
  int year, month, day, dayOfWeek, hour, minute, second;
};

// Writes a date or a time of day by a picture of the regional settings.
// The system's pictures ("yyyy/M/d", "H:mm:ss", "h:mm:ss tt") and the
// script's ("yyyy/mm/dd", "h:nn:ss", "ampm") both read right: in a date
// picture m is the month, in a time picture the minute; h counts to 12 only
// beside an AM/PM mark.
std::string RenderPicture(const std::string& pic, bool timePart, const DateFields& f, const LocaleInfo& loc) {
  std::string upper = UpperCase(pic);
  bool twelve = timePart && (upper.find('T') != std::string::npos || upper.find("AMPM") != std::string::npos);
  const std::string& mark = f.hour < 12 ? loc.amText : loc.pmText;
  std::string out;
  char buf[16];
  auto number = [&](int v, bool pad) {
    std::snprintf(buf, sizeof buf, pad ? "%02d" : "%d", v);
    out += buf;
  };
  for (std::size_t i = 0; i < pic.size() && out.size() < 256;) {
    char c = pic[i];
    if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < pic.size()) {
      out.append(pic, i, 2);
      i += 2;
      continue;
    }
    if (c == '\'' || c == '"') {
      std::size_t close = pic.find(c, i + 1);
      if (close == std::string::npos) close = pic.size();
      out.append(pic, i + 1, close - i - 1);
      i = close + 1;
      continue;
    }
    if (timePart && upper.compare(i, 4, "AMPM") == 0) {
      out += mark;
      i += 4;
      continue;
    }
    char u = upper[i];
    std::size_t n = 1;
    while (i + n < pic.size() && upper[i + n] == u) ++n;
    bool pad = n >= 2;
    if (c == '/') {
      out += loc.dateSeparator;
    } else if (c == ':') {
      out += loc.timeSeparator;
    } else if (!timePart && u == 'Y') {
      number(n <= 2 ? f.year % 100 : f.year, pad && n <= 2);
    } else if (!timePart && u == 'M') {
      if (n <= 2)
        number(f.month, pad);
      else
        out += (n == 3 ? loc.shortMonthNames : loc.longMonthNames)[f.month - 1];
    } else if (!timePart && u == 'D') {
      if (n <= 2)
        number(f.day, pad);
      else
        out += (n == 3 ? loc.shortDayNames : loc.longDayNames)[f.dayOfWeek - 1];
    } else if (!timePart && u == 'G') {
      // The era of the alternative calendar is not shown here.
    } else if (timePart && u == 'H') {
      int h = f.hour;
      if (c == 'h' && twelve) h = h % 12 == 0 ? 12 : h % 12;
      number(h, pad);
    } else if (timePart && (u == 'M' || u == 'N')) {
      number(f.minute, pad);
    } else if (timePart && u == 'S') {
      number(f.second, pad);
    } else if (timePart && u == 'T') {
      if (n >= 2 || mark.empty()) {
        out += mark;
      } else {
        out.append(mark, 0, IsLeadByte(static_cast<unsigned char>(mark[0])) ? 2 : 1);
      }
    } else {
      out.append(n, c);
    }
    i += n;
  }
  return out;
}

}  // namespace

// The date by the short date picture and the time by the long time picture,
// to the nearest second: no date part on day 0, no time part at midnight.
std::string FormatDate(double days) {
  if (!(days > -657435.0 && days < 2958466.0)) Mismatch();
  double whole = std::trunc(days);
  double frac = std::fabs(days - whole);
  long long secs = static_cast<long long>(std::floor(frac * 86400.0 + 0.5));
  if (secs >= 86400) {
    // 23:59:59.5 and later show as midnight of the next day.
    secs -= 86400;
    whole += 1;
  }
  DateFields f;
  DecodeDate(whole, f.year, f.month, f.day);
  f.dayOfWeek = DayOfWeek(whole);
  f.hour = static_cast<int>(secs / 3600);
  f.minute = static_cast<int>(secs / 60 % 60);
  f.second = static_cast<int>(secs % 60);
  const LocaleInfo& loc = platform().Locale();
  std::string time = RenderPicture(loc.longTime, true, f, loc);
  if (std::trunc(days) == 0) return time;
  std::string date = RenderPicture(loc.shortDate, false, f, loc);
  return frac == 0 ? date : date + " " + time;
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

std::string DisplayText(const Value& v) {
  if (v.isArray()) {
    std::string r = "(";
    for (std::size_t i = 0; i < v.items().size(); ++i) r += (i ? ", " : "") + DisplayText(v.items()[i]);
    return r + ")";
  }
  if (v.type() == vtNull) return "Null";
  try {
    return ToText(v);
  } catch (const VariantError&) {
    return "?";
  }
}

}  // namespace tam

#include "settings/settings_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/calendar.h"
#include "engine/failure.h"
#include "engine/sjis.h"
#include "engine/text_lines.h"
#include "engine/value.h"

namespace tam {

std::string EscapeSettingText(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = SjisCharSize(text, i);
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (n == 2) {
      out.append(text, i, 2);
    } else if (c == '%') {
      out += "%%";
    } else if (c < 0x20) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
    i += n;
  }
  return out;
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
}  // namespace

std::string UnescapeSettingText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = SjisCharSize(text, i);
    if (n == 1 && text[i] == '%' && i + 1 < text.size()) {
      if (text[i + 1] == '%') {
        out += '%';
        i += 2;
        continue;
      }
      if (i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
        out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
        i += 3;
        continue;
      }
    }
    out.append(text, i, n);
    i += n;
  }
  return out;
}

namespace {
// The number conversion of the engine reads what these write back.
template <class T>
std::string Shortest(T x, int from, int to) {
  if (x == 0) return std::signbit(x) ? "-0" : "0";
  char buf[64];
  for (int digits = from; digits <= to; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*G", digits, static_cast<double>(x));
    double back;
    if (ParseNumber(buf, back) && static_cast<T>(back) == x) break;
  }
  return buf;
}
}  // namespace

std::string FormatSettingDouble(double d) { return Shortest(d, 1, 17); }
std::string FormatSettingSingle(float f) { return Shortest(f, 1, 9); }

std::string FormatSettingDate(double days) {
  int y, m, d, h, mi, s, ms;
  DecodeDate(days, y, m, d);
  DecodeTime(days, h, mi, s, ms);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", y, m, d, h, mi, s);
  return buf;
}

bool ParseSettingDate(const std::string& text, double& days) {
  int y, m, d, h, mi, s, used = 0;
  if (std::sscanf(text.c_str(), "%4d/%2d/%2d %2d:%2d:%2d%n", &y, &m, &d, &h, &mi, &s, &used) == 6 &&
      used == static_cast<int>(text.size()) && text.size() == 19) {
    double day, time;
    if (!EncodeDate(y, m, d, day) || !EncodeTime(h, mi, s, 0, time)) return false;
    days = day < 0 ? day - time : day + time;
    return true;
  }
  try {
    days = ToDate(Value::Str(text));
    return true;
  } catch (const ScriptFailure&) {
    return false;
  }
}

bool ParseSettingInteger(const std::string& text, std::int32_t& out) {
  std::string t = Trim(text);
  std::size_t i = 0;
  bool neg = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
  if (i == t.size()) return false;
  long long v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    v = v * 10 + (t[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (neg) v = -v;
  if (v > 2147483647LL) return false;
  out = static_cast<std::int32_t>(v);
  return true;
}

}  // namespace tam

#include "engine/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tam {

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

}  // namespace tam

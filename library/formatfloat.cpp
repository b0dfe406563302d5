#include "library/formatfloat.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/sjis.h"
#include "library/decimal.h"

namespace tam {

namespace {

// Digits that an extended-precision number carries.
constexpr int kMaxDigits = 18;
// Significant digits of the general format.
constexpr int kGeneralDigits = 15;

std::string NonFinite(double x) { return std::isnan(x) ? "NAN" : x < 0 ? "-INF" : "INF"; }

// End of the quoted text that starts at s[i] (past its closing quote, or the
// end of s). Quotes never occur as trail bytes, so a byte search is safe.
std::size_t QuoteEnd(const std::string& s, std::size_t i) {
  const std::size_t close = s.find(s[i], i + 1);
  return close == std::string::npos ? s.size() : close + 1;
}

// The sections of a format, cut at ';' outside quotes; at most three.
std::vector<std::string> SplitSections(const std::string& format) {
  std::vector<std::string> sections;
  std::size_t start = 0, i = 0;
  while (i < format.size() && sections.size() < 3) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      i = QuoteEnd(format, i);
    } else if (c == ';') {
      sections.push_back(format.substr(start, i - start));
      start = ++i;
    } else {
      i += CharSize(format, i);
    }
  }
  if (sections.size() < 3) sections.push_back(format.substr(std::min(start, format.size())));
  return sections;
}

enum class Part { kText, kIntDigit, kFracDigit, kPoint, kExponent };

struct Token {
  Part part;
  int index;         // position among the integer or fraction placeholders
  std::string text;  // literal text
};

struct Picture {
  std::vector<Token> tokens;
  int intCount = 0;    // placeholders before the decimal point
  int fracCount = 0;   // placeholders after it
  int firstZero = -1;  // integer placeholder of the first '0': digits from there on are always shown
  int lastZero = 0;    // fraction placeholders up to the last '0': always shown
  bool thousands = false;
  bool scientific = false;
  char expLetter = 'E';
  bool expPlus = false;  // E+ writes the sign of every exponent, E- only a minus
  int expDigits = 0;
};

Picture ParsePicture(const std::string& s) {
  Picture p;
  std::string text;
  auto add = [&](Part part, int index) {
    if (!text.empty()) p.tokens.push_back({Part::kText, 0, std::move(text)});
    text.clear();
    p.tokens.push_back({part, index, std::string()});
  };
  bool afterPoint = false, afterExponent = false;
  for (std::size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == '\'' || c == '"') {
      const std::size_t close = s.find(c, i + 1);
      const std::size_t stop = close == std::string::npos ? s.size() : close;
      text.append(s, i + 1, stop - i - 1);
      i = stop == s.size() ? stop : stop + 1;
      continue;
    }
    if (!afterExponent) {
      if (c == '0' || c == '#') {
        if (afterPoint) {
          add(Part::kFracDigit, p.fracCount++);
          if (c == '0') p.lastZero = p.fracCount;
        } else {
          if (c == '0' && p.firstZero < 0) p.firstZero = p.intCount;
          add(Part::kIntDigit, p.intCount++);
        }
        ++i;
        continue;
      }
      if (c == '.') {  // only the first point counts; later ones are dropped
        if (!afterPoint) add(Part::kPoint, 0);
        afterPoint = true;
        ++i;
        continue;
      }
      if (c == ',') {
        if (!afterPoint) p.thousands = true;
        ++i;
        continue;
      }
      if ((c == 'E' || c == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) {
        add(Part::kExponent, 0);
        p.scientific = afterExponent = true;
        p.expLetter = c;
        p.expPlus = s[i + 1] == '+';
        for (i += 2; i < s.size() && s[i] == '0'; ++i) ++p.expDigits;
        continue;
      }
    }
    const std::size_t n = CharSize(s, i);
    text.append(s, i, n);
    i += n;
  }
  if (!text.empty()) p.tokens.push_back({Part::kText, 0, std::move(text)});
  return p;
}

// Rounds the magnitude to the digits that the picture shows.
void RoundToPicture(const Picture& p, Decimal& d) {
  if (d.digits.empty()) return;
  const int shown = p.scientific ? p.intCount + p.fracCount : d.exponent + p.fracCount;
  RoundDigits(d, std::min(shown, kMaxDigits));
}

std::string Render(const Picture& p, const Decimal& d, bool minus, const NumberSeparators& sep) {
  const int len = static_cast<int>(d.digits.size());
  const bool zero = d.digits.empty();
  auto digitAt = [&](int idx) { return idx >= 0 && idx < len ? d.digits[idx] : '0'; };
  // Place of the decimal point within the digits.
  const int pointAt = p.scientific ? p.intCount : d.exponent;
  // Integer digits written: all of the number's (fixed) and the forced ones.
  const int forced = p.firstZero < 0 ? 0 : p.intCount - p.firstZero;
  const int intDigits = p.scientific ? (zero ? forced : p.intCount) : std::max(forced, zero ? 0 : d.exponent);
  const int fracDigits = std::max(p.lastZero, std::min(p.fracCount, std::max(0, len - pointAt)));

  std::string out = minus ? "-" : "";
  auto writeInt = [&](int k) {  // the digit k places left of the point
    out += digitAt(pointAt - 1 - k);
    if (p.thousands && !p.scientific && k > 0 && k % 3 == 0) out += sep.thousands;
  };
  for (const Token& t : p.tokens) {
    switch (t.part) {
      case Part::kText:
        out += t.text;
        break;
      case Part::kIntDigit: {
        if (t.index == 0)  // digits beyond the picture go before its first placeholder
          for (int k = intDigits - 1; k >= p.intCount; --k) writeInt(k);
        const int k = p.intCount - 1 - t.index;
        if (k < intDigits) writeInt(k);
        break;
      }
      case Part::kPoint:
        if (p.intCount == 0)
          for (int k = intDigits - 1; k >= 0; --k) writeInt(k);
        if (fracDigits > 0) out += sep.decimal;
        break;
      case Part::kFracDigit:
        if (t.index < fracDigits) out += digitAt(pointAt + t.index);
        break;
      case Part::kExponent: {
        const int e = zero ? 0 : d.exponent - p.intCount;
        out += p.expLetter;
        if (e < 0 || p.expPlus) out += e < 0 ? '-' : '+';
        const std::string digits = std::to_string(std::abs(e));
        if (p.expDigits > static_cast<int>(digits.size())) out.append(p.expDigits - digits.size(), '0');
        out += digits;
        break;
      }
    }
  }
  return out;
}

}  // namespace

std::string FloatToStr(double x, const NumberSeparators& sep) {
  if (!std::isfinite(x)) return NonFinite(x);
  Decimal d = ToDecimal(x);
  RoundDigits(d, kGeneralDigits);
  if (d.digits.empty()) return "0";
  const std::string& g = d.digits;
  const int len = static_cast<int>(g.size()), e = d.exponent;
  std::string out = d.negative ? "-" : "";
  if (e > kGeneralDigits || e < -3) {
    out += g[0];
    if (len > 1) out += sep.decimal + g.substr(1);
    out += e - 1 < 0 ? "E-" : "E+";
    out += std::to_string(std::abs(e - 1));
  } else if (e <= 0) {
    out += std::string("0") + sep.decimal + std::string(-e, '0') + g;
  } else if (len <= e) {
    out += g + std::string(e - len, '0');
  } else {
    out += g.substr(0, e) + sep.decimal + g.substr(e);
  }
  return out;
}

std::string FormatFloat(const std::string& format, double x, const NumberSeparators& sep) {
  if (!std::isfinite(x)) return NonFinite(x);
  const std::vector<std::string> sections = SplitSections(format);
  auto usable = [&](std::size_t i) { return i < sections.size() && !sections[i].empty(); };
  std::size_t section = 0;
  bool minus = false;
  if (x < 0) {
    if (usable(1))
      section = 1;  // the negative section writes no minus of its own
    else
      minus = true;
  } else if (x == 0 && usable(2)) {
    section = 2;
  }
  if (!usable(section)) return FloatToStr(x, sep);
  Picture p = ParsePicture(sections[section]);
  Decimal d = ToDecimal(std::fabs(x));
  RoundToPicture(p, d);
  if (d.digits.empty() && x != 0) {
    // Rounded away to nothing: shown as zero, without a sign.
    section = usable(2) ? 2 : 0;
    if (!usable(section)) return "0";
    p = ParsePicture(sections[section]);
    minus = false;
  }
  return Render(p, d, minus, sep);
}

}  // namespace tam

#include "library/formatdate.h"

#include <cmath>
#include <cstdio>

#include "engine/calendar.h"
#include "engine/sjis.h"

namespace tam {

DateParts SplitDate(double days) {
  DateParts p;
  if (!std::isfinite(days)) days = 0;
  const double whole = std::trunc(days);
  double first = 0;
  EncodeDate(1, 1, 1, first);
  if (whole >= first && whole < kMaxDayCount) DecodeDate(days, p.year, p.month, p.day);
  if (std::fabs(days) < kMaxDayCount) DecodeTime(days, p.hour, p.minute, p.second, p.msec);
  // Day 0 (1899-12-30) was a Saturday.
  const int w = static_cast<int>(std::fmod(std::fmod(whole, 7.0) + 13.0, 7.0));
  p.dayOfWeek = w + 1;
  return p;
}

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Whether `word` (upper case) stands at f[i], in any letter case.
bool At(const std::string& f, std::size_t i, const char* word) {
  for (; *word; ++word, ++i)
    if (i >= f.size() || Upper(f[i]) != *word) return false;
  return true;
}

// Index past the quoted text that starts with the quote at f[i] (past the
// closing quote, or the end of the format when there is none).
std::size_t SkipQuoted(const std::string& f, std::size_t i, std::size_t& textEnd) {
  const char quote = f[i++];
  while (i < f.size() && f[i] != quote) i += IsLeadByte(static_cast<unsigned char>(f[i])) ? 2 : 1;
  textEnd = i < f.size() ? i : f.size();
  return i < f.size() ? i + 1 : f.size();
}

// Where the last am/pm, a/p or ampm marker outside quotes starts (inside a
// named format also the system's own marker t or tt); npos when there is none.
// Specifiers start outside quotes, so an hour at i is followed by a marker
// exactly when this lies beyond i.
std::size_t LastMarker(const std::string& f, bool named) {
  std::size_t last = std::string::npos, i = 0;
  while (i < f.size()) {
    const char c = f[i];
    if (IsLeadByte(static_cast<unsigned char>(c))) {
      i += 2;
    } else if (c == '\'' || c == '"') {
      std::size_t end;
      i = SkipQuoted(f, i, end);
    } else {
      if (((c == 'a' || c == 'A') && (At(f, i, "AM/PM") || At(f, i, "A/P") || At(f, i, "AMPM"))) ||
          (named && (c == 't' || c == 'T')))
        last = i;
      ++i;
    }
  }
  return last;
}

class Formatter {
 public:
  Formatter(double days, Platform& from) : p_(SplitDate(days)), from_(from), loc_(from.Locale()) {}

  std::string Run(const std::string& format) {
    Expand(format.empty() ? std::string("c") : format, 1);
    return Finish();
  }

 private:
  void Append(const char* s, std::size_t n) {
    if (out_.size() + n > kMaxDateText) {
      n = kMaxDateText - out_.size();
      cut_ = true;
    }
    out_.append(s, n);
  }
  void Append(const std::string& s) { Append(s.data(), s.size()); }
  void Number(int v, int digits) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*d", digits, v);
    Append(buf);
  }

  // A cut may have split the last double-byte character: drop its lead byte.
  std::string Finish() {
    if (!cut_) return out_;
    std::size_t i = 0;
    while (i < out_.size()) {
      std::size_t len = IsLeadByte(static_cast<unsigned char>(out_[i])) ? 2 : 1;
      if (i + len > out_.size()) {
        out_.resize(i);
        break;
      }
      i += len;
    }
    return out_;
  }

  const EraInfo* Era() {
    if (!eraAsked_) {
      eraAsked_ = true;
      haveEra_ = p_.year > 0 && from_.Era(p_.year, p_.month, p_.day, era_);
    }
    return haveEra_ ? &era_ : nullptr;
  }

  void MonthName(bool longName) {
    if (p_.month >= 1 && p_.month <= 12) Append((longName ? loc_.longMonthNames : loc_.shortMonthNames)[p_.month - 1]);
  }
  void DayName(bool longName) { Append((longName ? loc_.longDayNames : loc_.shortDayNames)[p_.dayOfWeek - 1]); }

  // A named format: expanded from the given format only, never from inside
  // another named format.
  void Named(const std::string& format, int level) {
    if (level < 2) Expand(format, level + 1);
  }

  void Expand(const std::string& f, int level) {
    char lastToken = ' ';
    bool twelveHour = false;
    bool markerKnown = false;
    std::size_t lastMarker = std::string::npos;
    std::size_t i = 0;
    while (i < f.size() && out_.size() < kMaxDateText) {
      const char c = f[i];
      if (IsLeadByte(static_cast<unsigned char>(c))) {
        Append(&f[i], i + 1 < f.size() ? 2 : 1);
        i += 2;
        continue;
      }
      if (!IsLetter(c)) {
        ++i;
        if (c == '/') {
          Append(loc_.dateSeparator);
        } else if (c == ':') {
          Append(loc_.timeSeparator);
        } else if (c == '\'' || c == '"') {
          std::size_t end;
          const std::size_t next = SkipQuoted(f, i - 1, end);
          Append(&f[i], end - i);
          i = next;
        } else {
          Append(&c, 1);
        }
        continue;
      }
      char token = Upper(c);
      if (token == 'A') {
        lastToken = token;
        i += AmPm(f, i, twelveHour);
        continue;
      }
      const std::size_t start = i;
      while (i < f.size() && Upper(f[i]) == token) ++i;
      const int count = static_cast<int>(i - start);
      if (token == 'M' && lastToken == 'H') token = 'N';
      lastToken = token;
      switch (token) {
        case 'Y':
          if (count <= 2)
            Number(p_.year % 100, 2);
          else
            Number(p_.year, 4);
          break;
        case 'G':
          if (const EraInfo* era = Era()) {
            if (count == 1 && loc_.japanese && !era->name.empty())
              Append(era->name.substr(0, IsLeadByte(static_cast<unsigned char>(era->name[0])) ? 2 : 1));
            else
              Append(era->name);
          }
          break;
        case 'E':
          if (const EraInfo* era = Era()) {
            if (count >= 3)
              Append(era->fullYear);
            else if (count == 1 && era->year.size() > 1 && era->year[0] == '0')
              Append(era->year.substr(1));
            else
              Append(era->year);
          }
          break;
        case 'M':
          if (count <= 2)
            Number(p_.month, count);
          else
            MonthName(count > 3);
          break;
        case 'D':
          if (count <= 2)
            Number(p_.day, count);
          else if (count <= 4)
            DayName(count == 4);
          else
            Named(count == 5 ? loc_.shortDate : loc_.longDate, level);
          break;
        case 'H': {
          int h = p_.hour;
          if (!markerKnown) {
            lastMarker = LastMarker(f, level >= 2);
            markerKnown = true;
          }
          if (twelveHour || (lastMarker != std::string::npos && lastMarker >= i)) h = h == 0 ? 12 : h > 12 ? h - 12 : h;
          Number(h, count > 2 ? 2 : count);
          break;
        }
        case 'N':
          Number(p_.minute, count > 2 ? 2 : count);
          break;
        case 'S':
          Number(p_.second, count > 2 ? 2 : count);
          break;
        case 'Z':
          Number(p_.msec, count > 3 ? 3 : count);
          break;
        case 'T':
          if (level < 2) {
            Named(count == 1 ? loc_.shortTime : loc_.longTime, level);
          } else {
            // The regional settings write their time pictures in the system's
            // language, where t and tt are the AM/PM mark (t its first character).
            const std::string& mark = p_.hour < 12 ? loc_.amText : loc_.pmText;
            if (count == 1 && !mark.empty())
              Append(mark.substr(0, IsLeadByte(static_cast<unsigned char>(mark[0])) ? 2 : 1));
            else
              Append(mark);
            twelveHour = true;
          }
          break;
        case 'C':
          if (level >= 2) break;
          Named(loc_.shortDate, level);
          if (p_.hour || p_.minute || p_.second) {
            Append(" ", 1);
            Named(loc_.longTime, level);
          }
          break;
        default:
          Append(&f[start], i - start);
          break;
      }
    }
  }

  // The specifiers that start with "a" at f[i]; returns the bytes used.
  std::size_t AmPm(const std::string& f, std::size_t i, bool& twelveHour) {
    const bool pm = p_.hour >= 12;
    if (At(f, i, "AM/PM")) {
      Append(&f[pm ? i + 3 : i], 2);
      twelveHour = true;
      return 5;
    }
    if (At(f, i, "A/P")) {
      Append(&f[pm ? i + 2 : i], 1);
      twelveHour = true;
      return 3;
    }
    if (At(f, i, "AMPM")) {
      Append(pm ? loc_.pmText : loc_.amText);
      twelveHour = true;
      return 4;
    }
    if (At(f, i, "AAAA")) {
      DayName(true);
      return 4;
    }
    if (At(f, i, "AAA")) {
      DayName(false);
      return 3;
    }
    Append(&f[i], 1);
    return 1;
  }

  const DateParts p_;
  Platform& from_;
  const LocaleInfo& loc_;
  std::string out_;
  bool cut_ = false;
  bool eraAsked_ = false, haveEra_ = false;
  EraInfo era_;
};

}  // namespace

std::string FormatDateTime(const std::string& format, double days, Platform& from) {
  return Formatter(days, from).Run(format);
}

std::string FormatDateTime(const std::string& format, double days) { return FormatDateTime(format, days, platform()); }

}  // namespace tam

#include "engine/date_text.h"

#include <cmath>
#include <cstdio>

#include "engine/calendar.h"
#include "engine/failure.h"
#include "engine/sjis.h"
#include "platform/platform.h"

namespace tam {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

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

// The date by the short date picture and the time by the long time picture,
// to the nearest second: no date part on day 0, no time part at midnight.
std::string FormatDate(double days) {
  if (!(days > -657435.0 && days < 2958466.0)) throw VariantError("Invalid variant type conversion");
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

}  // namespace tam

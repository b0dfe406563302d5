#include "platform/fixed_clock.h"

namespace tam {

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int MonthLength(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Reads exactly `width` decimal digits at text[pos].
bool Digits(const std::string& text, std::size_t pos, std::size_t width, int& out) {
  if (pos + width > text.size()) return false;
  out = 0;
  for (std::size_t i = pos; i < pos + width; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    out = out * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

bool FixedClockPlatform::Parse(const std::string& text, LocalTime& out) {
  LocalTime t;
  if (text.size() < 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':')
    return false;
  if (!Digits(text, 0, 4, t.year) || !Digits(text, 5, 2, t.month) || !Digits(text, 8, 2, t.day) ||
      !Digits(text, 11, 2, t.hour) || !Digits(text, 14, 2, t.minute) || !Digits(text, 17, 2, t.second))
    return false;
  t.msec = 0;
  if (text.size() > 19) {
    std::size_t width = text.size() - 20;
    if (text[19] != '.' || width < 1 || width > 3 || !Digits(text, 20, width, t.msec)) return false;
    for (std::size_t i = width; i < 3; ++i) t.msec *= 10;
  }
  if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > MonthLength(t.year, t.month) || t.hour > 23 ||
      t.minute > 59 || t.second > 59)
    return false;
  out = t;
  return true;
}

LocalTime FixedClockPlatform::UtcNow() {
  // UTC = local time + bias minutes; the bias is far below a day.
  LocalTime t = now_;
  int minutes = t.hour * 60 + t.minute + inner_.TimeZoneBias() % 1440;
  int dayShift = 0;
  if (minutes < 0) {
    minutes += 1440;
    dayShift = -1;
  } else if (minutes >= 1440) {
    minutes -= 1440;
    dayShift = 1;
  }
  t.hour = minutes / 60;
  t.minute = minutes % 60;
  if (dayShift > 0 && ++t.day > MonthLength(t.year, t.month)) {
    t.day = 1;
    if (++t.month > 12) t.month = 1, ++t.year;
  } else if (dayShift < 0 && --t.day < 1) {
    if (--t.month < 1) t.month = 12, --t.year;
    t.day = MonthLength(t.year, t.month);
  }
  return t;
}

}  // namespace tam

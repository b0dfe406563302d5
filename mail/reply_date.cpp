#include "mail/reply_date.h"

#include <cstdio>
#include <cstdlib>

namespace tam {

namespace {

// 0 = Sunday, for the proleptic Gregorian calendar.
int Weekday(int y, int m, int d) {
  static const int kOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (m < 3) y -= 1;
  const int w = (y + y / 4 - y / 100 + y / 400 + kOffset[(m - 1) % 12] + d) % 7;
  return w < 0 ? w + 7 : w;
}

}  // namespace

std::string FormatReplyDate(const LocalTime& t, int bias) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const int month = t.month >= 1 && t.month <= 12 ? t.month : 1;
  const long zone = std::labs(static_cast<long>(bias));
  char text[96];
  std::snprintf(text, sizeof text, "%s, %d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[Weekday(t.year, month, t.day)],
                t.day, kMonths[month - 1], t.year, t.hour, t.minute, t.second, bias < 0 ? '+' : '-', zone / 60,
                zone % 60);
  return text;
}

std::string ReplyDateNow() {
  Platform& p = platform();
  return FormatReplyDate(p.Now(), p.TimeZoneBias());
}

}  // namespace tam

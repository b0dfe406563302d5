#include "engine/calendar.h"

#include <cmath>

namespace tam {

namespace {
// Days from 0000-03-01 style civil algorithm, shifted so that 1899-12-30 is 0.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}
const long long kEpoch = DaysFromCivil(1899, 12, 30);

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}
}  // namespace

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12) return 0;
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

bool EncodeDate(int y, int m, int d, double& days) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
  days = static_cast<double>(DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) - kEpoch);
  return true;
}

void DecodeDate(double days, int& y, int& m, int& d) {
  double whole = std::trunc(days);
  if (!(whole > -1e9 && whole < 1e9)) whole = 0;  // far outside any calendar
  CivilFromDays(static_cast<long long>(whole) + kEpoch, y, m, d);
}

bool EncodeTime(int h, int mi, int s, int ms, double& frac) {
  if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59 || ms < 0 || ms > 999) return false;
  frac = (((h * 60.0 + mi) * 60.0 + s) * 1000.0 + ms) / 86400000.0;
  return true;
}

void DecodeTime(double days, int& h, int& mi, int& s, int& ms) {
  double frac = std::fabs(days - std::trunc(days));
  if (!(frac >= 0 && frac < 1)) frac = 0;
  long long total = std::llround(frac * 86400000.0);
  if (total >= 86400000) total = 86399999;
  ms = static_cast<int>(total % 1000);
  total /= 1000;
  s = static_cast<int>(total % 60);
  total /= 60;
  mi = static_cast<int>(total % 60);
  h = static_cast<int>(total / 60);
}

int DayOfWeek(double days) {
  double whole = std::trunc(days);
  if (!(whole > -1e9 && whole < 1e9)) whole = 0;
  long long n = static_cast<long long>(whole);
  // Day 0 (1899-12-30) was a Saturday.
  long long w = ((n + 6) % 7 + 7) % 7;  // 0 = Sunday
  return static_cast<int>(w) + 1;
}

}  // namespace tam

// The Japanese era calendar computed from its table of eras, for platforms
// that cannot format dates in it themselves.
#include <cstdio>

#include "platform/platform.h"

namespace tam {

namespace {

struct EraStart {
  int year, month, day;
  const char* name;
};

// First days in the Gregorian calendar, latest first. Meiji counts from the
// first day of its year, as the platform's own era table has it; each later
// era begins on the day of the accession.
const EraStart kEras[] = {
    {2019, 5, 1, "令和"}, {1989, 1, 8, "平成"}, {1926, 12, 25, "昭和"}, {1912, 7, 30, "大正"}, {1868, 1, 1, "明治"},
};

bool ValidDate(int y, int m, int d) {
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1]) return false;
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return !(m == 2 && d == 29 && !leap);
}

}  // namespace

bool JapaneseEra(int year, int month, int day, EraInfo& era) {
  if (!ValidDate(year, month, day)) return false;
  const long key = year * 10000L + month * 100L + day;
  for (const EraStart& e : kEras) {
    if (key < e.year * 10000L + e.month * 100L + e.day) continue;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", year - e.year + 1);
    era.name = e.name;
    era.year = buf;
    // The era calendar has no four-digit years: its full form is the same.
    era.fullYear = buf;
    return true;
  }
  return false;
}

}  // namespace tam

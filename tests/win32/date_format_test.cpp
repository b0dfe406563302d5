// The date formatter under the user's regional settings against the system's
// own date and time formatting of the same dates.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/calendar.h"
#include "library/formatdate.h"

namespace tam {
namespace {

struct Moment {
  int y, mo, d, h, mi, s;
};
const Moment kMoments[] = {{2000, 1, 2, 3, 4, 5},   {2024, 12, 31, 23, 59, 59}, {1999, 10, 10, 12, 0, 0},
                           {2019, 5, 1, 0, 0, 1},   {1970, 7, 4, 13, 30, 0},    {2038, 2, 28, 9, 9, 9},
                           {1912, 7, 30, 18, 1, 2}, {2001, 9, 11, 11, 11, 11}};

double Days(const Moment& m) {
  double day = 0, time = 0;
  EncodeDate(m.y, m.mo, m.d, day);
  EncodeTime(m.h, m.mi, m.s, 0, time);
  return day + time;
}

SYSTEMTIME System(const Moment& m) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(m.y);
  st.wMonth = static_cast<WORD>(m.mo);
  st.wDay = static_cast<WORD>(m.d);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(Days(m)) - 1);
  st.wHour = static_cast<WORD>(m.h);
  st.wMinute = static_cast<WORD>(m.mi);
  st.wSecond = static_cast<WORD>(m.s);
  return st;
}

std::string SystemDate(const Moment& m, DWORD flags, const char* picture) {
  SYSTEMTIME st = System(m);
  char buf[256];
  int n = GetDateFormatA(LOCALE_USER_DEFAULT, flags, &st, picture, buf, sizeof buf);
  return n > 0 ? std::string(buf, n - 1) : "?";
}

std::string SystemTime(const Moment& m, const char* picture) {
  SYSTEMTIME st = System(m);
  char buf[256];
  int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, picture, buf, sizeof buf);
  return n > 0 ? std::string(buf, n - 1) : "?";
}

TEST(DateFormat, NamedFormatsMatchTheSystem) {
  for (const Moment& m : kMoments) {
    const double d = Days(m);
    EXPECT_EQ(FormatDateTime("ddddd", d), SystemDate(m, DATE_SHORTDATE, nullptr)) << m.y << "-" << m.mo;
    EXPECT_EQ(FormatDateTime("dddddd", d), SystemDate(m, DATE_LONGDATE, nullptr)) << m.y << "-" << m.mo;
    EXPECT_EQ(FormatDateTime("tt", d), SystemTime(m, nullptr)) << m.h << ":" << m.mi;
  }
}

TEST(DateFormat, NamesAndMarksMatchTheSystem) {
  for (const Moment& m : kMoments) {
    const double d = Days(m);
    EXPECT_EQ(FormatDateTime("mmm|mmmm", d), SystemDate(m, 0, "MMM'|'MMMM"));
    EXPECT_EQ(FormatDateTime("ddd|dddd", d), SystemDate(m, 0, "ddd'|'dddd"));
    EXPECT_EQ(FormatDateTime("ampm", d), SystemTime(m, "tt"));
    EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss", d),
              SystemDate(m, 0, "yyyy'/'MM'/'dd") + " " + SystemTime(m, "HH':'mm':'ss"));
  }
}

}  // namespace
}  // namespace tam

// The date picture language, run directly against the formatter.
#include "library/formatdate.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/calendar.h"
#include "platform/fixed_clock.h"

namespace tam {
namespace {

double Day(int y, int m, int d) {
  double days = 0;
  EXPECT_TRUE(EncodeDate(y, m, d, days));
  return days;
}

double At(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
  double frac = 0;
  EXPECT_TRUE(EncodeTime(h, mi, s, ms, frac));
  return Day(y, mo, d) + frac;
}

// The platform in use with settings of the test's own.
class LocalePlatform : public FixedClockPlatform {
 public:
  LocalePlatform() : FixedClockPlatform(DefaultPlatform(), LocalTime{}) {}
  const LocaleInfo& Locale() override { return locale; }
  LocaleInfo locale;
};

// Formats under the fixed Japanese settings, whatever the system's are.
std::string Fmt(const std::string& format, double days, Platform& from) { return FormatDateTime(format, days, from); }
std::string Fmt(const std::string& format, double days) {
  static LocalePlatform japanese;
  return Fmt(format, days, japanese);
}

TEST(FormatDateTime, NumbersNamesAndSeparators) {
  const double d = At(2001, 2, 3, 12, 0);
  EXPECT_EQ(Fmt("yyyy/mm/dd hh:nn", d), "2001/02/03 12:00");
  EXPECT_EQ(Fmt("'day' d", 1), "day 31");
  EXPECT_EQ(Fmt("y yy yyy yyyy", Day(2009, 1, 1)), "09 09 2009 2009");
  EXPECT_EQ(Fmt("m mm mmm mmmm", Day(2009, 3, 1)), "3 03 3月 3月");
  EXPECT_EQ(Fmt("d dd ddd dddd aaa aaaa", Day(2000, 1, 2)), "2 02 日 日曜日 日 日曜日");
  EXPECT_EQ(Fmt("h hh n nn s ss z zzz", At(2000, 1, 1, 7, 5, 9, 42)), "7 07 5 05 9 09 42 042");
  // Letters are read in any case; characters without meaning are copied.
  EXPECT_EQ(Fmt("YYYY-MM-DD Hh:Nn [x]", At(2000, 1, 2, 3, 4)), "2000-01-02 03:04 [x]");
  EXPECT_EQ(Fmt("\"q\"'\"'", 0), "q\"");

  LocalePlatform p;
  p.locale.dateSeparator = "-";
  p.locale.timeSeparator = ".";
  EXPECT_EQ(Fmt("yyyy/mm/dd hh:nn", d, p), "2001-02-03 12.00");
}

TEST(FormatDateTime, MinutesAfterHours) {
  const double d = At(2000, 4, 5, 6, 7);
  EXPECT_EQ(Fmt("h:m hh:mm", d), "6:7 06:07");
  EXPECT_EQ(Fmt("h時m分", d), "6時7分");
  // Only directly after an hour: a month elsewhere, also after a minute.
  EXPECT_EQ(Fmt("m/d h:mm:m", d), "4/5 6:07:4");
  EXPECT_EQ(Fmt("h d m", d), "6 5 4");
}

TEST(FormatDateTime, TwelveHourClock) {
  EXPECT_EQ(Fmt("h:mm am/pm", 0.75), "6:00 pm");
  EXPECT_EQ(Fmt("hh:nn AM/PM", 0.25), "06:00 AM");
  EXPECT_EQ(Fmt("h Am/pM", 0.75), "6 pM");
  EXPECT_EQ(Fmt("h a/p A/P", 0.5), "12 p P");
  EXPECT_EQ(Fmt("h ampm", 0), "12 午前");
  EXPECT_EQ(Fmt("h ampm", 23.0 / 24), "11 午後");
  // A marker before the hour counts too; a quoted one does not.
  EXPECT_EQ(Fmt("ampm h:nn", 0.75), "午後 6:00");
  EXPECT_EQ(Fmt("h 'am/pm'", 0.75), "18 am/pm");
  EXPECT_EQ(Fmt("h", 0.75), "18");
  // An "a" that starts no specifier is copied.
  EXPECT_EQ(Fmt("a aa", 0), "a aa");
}

TEST(FormatDateTime, NamedFormats) {
  const double d = At(2000, 1, 2, 3, 4, 5);
  EXPECT_EQ(Fmt("ddddd", d), "2000/01/02");
  EXPECT_EQ(Fmt("dddddd", d), "2000年1月2日");
  EXPECT_EQ(Fmt("t | tt", d), "3:04 | 3:04:05");
  EXPECT_EQ(Fmt("c", d), "2000/01/02 3:04:05");
  EXPECT_EQ(Fmt("c", Day(2000, 1, 2)), "2000/01/02");
  EXPECT_EQ(Fmt("", d), "2000/01/02 3:04:05");
  EXPECT_EQ(Fmt("", Day(2000, 1, 2) + 0.0001 / 86400), "2000/01/02");

  // A named format inside a named format produces nothing.
  LocalePlatform p;
  p.locale.shortDate = "yyyy[c]";
  p.locale.longTime = "h[ddddd]";
  EXPECT_EQ(Fmt("ddddd", d, p), "2000[]");
  EXPECT_EQ(Fmt("", d, p), "2000[] 3[]");

  // The system's own pictures: H for the hour, t and tt for the AM/PM mark.
  p.locale.shortDate = "yyyy/MM/dd";
  p.locale.longTime = "tt h:mm:ss";
  p.locale.shortTime = "H:mm t";
  const double evening = d + 0.625;
  EXPECT_EQ(Fmt("c", evening, p), "2000/01/02 午後 6:04:05");
  EXPECT_EQ(Fmt("t", evening, p), "6:04 午");
  EXPECT_EQ(Fmt("c", d, p), "2000/01/02 午前 3:04:05");
}

TEST(FormatDateTime, JapaneseEras) {
  struct Case {
    int y, m, d;
    const char* text;
  } cases[] = {
      {1868, 1, 1, "明治01"},   {1912, 7, 29, "明治45"}, {1912, 7, 30, "大正01"}, {1926, 12, 24, "大正15"},
      {1926, 12, 25, "昭和01"}, {1989, 1, 7, "昭和64"},  {1989, 1, 8, "平成01"},  {2019, 4, 30, "平成31"},
      {2019, 5, 1, "令和01"},   {2024, 2, 29, "令和06"}, {1867, 12, 31, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Fmt("ggee", Day(c.y, c.m, c.d)), c.text) << c.y << "-" << c.m;
  const double heisei9 = Day(1997, 6, 1);
  EXPECT_EQ(Fmt("g e ee eee", heisei9), "平 9 09 09");
  EXPECT_EQ(Fmt("gge'年'", Day(2000, 1, 1)), "平成12年");
  // Before the year 1 there is no date at all, so no era either; the day of
  // the week goes on (700000 days are whole weeks before a Saturday).
  EXPECT_EQ(Fmt("[gg e] yyyy/mm/dd [mmm ddd]", -700000), "[ ] 0000/00/00 [ 土]");

  // Outside a Japanese locale g shows the whole name.
  LocalePlatform p;
  p.locale.japanese = false;
  EXPECT_EQ(Fmt("g", heisei9, p), "平成");
}

TEST(FormatDateTime, CutAt256BytesOnACharacterBoundary) {
  const std::string ascii(300, 'x');
  EXPECT_EQ(Fmt(ascii, 0), std::string(256, 'x'));
  // 255 bytes, then a double-byte character that no longer fits.
  std::string text = "'" + std::string(255, 'x') + "漢'";
  EXPECT_EQ(Fmt(text, 0), std::string(255, 'x'));
  EXPECT_EQ(Fmt(std::string(254, 'x') + "漢字", 0), std::string(254, 'x') + "漢");
  // Thousands of named formats stop as soon as the text is full.
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "dddddd ";
  EXPECT_EQ(Fmt(many, 0).size(), 256u);
  // Each hour looks ahead for an am/pm marker: a long format stays linear.
  std::string hours;
  for (int i = 0; i < 1000000; ++i) hours += "h ";
  EXPECT_EQ(Fmt(hours + "ampm", 0.75).substr(0, 6), "6 6 6 ");
}

TEST(FormatDateTime, MalformedAndOutlyingInput) {
  // A lone lead byte at the end, an unclosed quote.
  EXPECT_EQ(Fmt("d\x82", 1), "31\x82");
  EXPECT_EQ(Fmt("d 'abc", 1), "31 abc");
  EXPECT_EQ(Fmt("'\x82", 1), "\x82");
  // Day counts without a calendar date still format.
  EXPECT_EQ(Fmt("yyyy/mm/dd hh:nn", 1e300), "0000/00/00 00:00");
  EXPECT_EQ(Fmt("yyyy", 0.0 / 0.0), "1899");
  EXPECT_EQ(Fmt("yyyy dddd", HUGE_VAL), Fmt("yyyy dddd", 0));
  EXPECT_EQ(Fmt("yyyy dddd", -HUGE_VAL), Fmt("yyyy dddd", 0));
  // A negative count: the day before day 0, the time from the fraction's size.
  EXPECT_EQ(Fmt("yyyy/mm/dd hh:nn", -1.25), "1899/12/29 06:00");
}

}  // namespace
}  // namespace tam

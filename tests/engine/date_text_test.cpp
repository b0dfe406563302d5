// A date becomes text by the regional settings: the short date picture for
// the day, the long time picture for the time of day. The pictures come in
// the system's notation ("yyyy/M/d", "H:mm:ss tt") or the script's
// ("yyyy/mm/dd", "h:nn:ss ampm").
#include <gtest/gtest.h>

#include "engine/failure.h"
#include "engine/value.h"
#include "platform/fixed_clock.h"

namespace tam {
namespace {

class LocalePlatform : public FixedClockPlatform {
 public:
  LocalePlatform() : FixedClockPlatform(DefaultPlatform(), LocalTime{}) { SetPlatform(this); }
  ~LocalePlatform() override { SetPlatform(nullptr); }
  const LocaleInfo& Locale() override { return locale; }
  LocaleInfo locale;
};

std::string Text(double days) { return ToText(Value::DateVal(days)); }

const double kMonday = 46363;  // 2026/12/07
const double kAfternoon = (15 * 3600 + 4 * 60 + 5) / 86400.0;

TEST(DateText, FollowsTheRegionalPictures) {
  LocalePlatform p;
  p.locale.shortDate = "yyyy/mm/dd";
  p.locale.longTime = "h:mm:ss";
  EXPECT_EQ(Text(kMonday + kAfternoon), "2026/12/07 15:04:05");
  p.locale.shortDate = "yyyy/M/d";
  p.locale.longTime = "H:mm:ss";
  EXPECT_EQ(Text(kMonday + kAfternoon), "2026/12/7 15:04:05");
  p.locale.shortDate = "yyyy'年'M'月'd'日'(ddd)";
  p.locale.longTime = "h:nn:ss ampm";
  EXPECT_EQ(Text(kMonday + kAfternoon), "2026年12月7日(月) 3:04:05 午後");
  p.locale.shortDate = "d MMMM yy";
  p.locale.longTime = "hh:mm:ss tt";
  p.locale.longMonthNames[11] = "December";
  p.locale.amText = "AM";
  p.locale.pmText = "PM";
  EXPECT_EQ(Text(kMonday + kAfternoon), "7 December 26 03:04:05 PM");
  EXPECT_EQ(Text(kMonday + 0.25), "7 December 26 06:00:00 AM");
  p.locale.shortDate = "yyyy/mm/dd";
  p.locale.dateSeparator = "-";
  EXPECT_EQ(Text(kMonday), "2026-12-07");
}

TEST(DateText, PartsShownAndRounding) {
  LocalePlatform p;
  p.locale.shortDate = "yyyy/mm/dd";
  p.locale.longTime = "h:mm:ss";
  EXPECT_EQ(Text(kMonday), "2026/12/07");  // midnight: no time
  EXPECT_EQ(Text(0), "0:00:00");           // day 0: no date
  EXPECT_EQ(Text(-0.25), "6:00:00");
  EXPECT_EQ(Text(-1.5), "1899/12/29 12:00:00");
  // Whole seconds, half a second up, into the next day at the end of one.
  EXPECT_EQ(Text(kMonday + 0.4 / 86400), "2026/12/07 0:00:00");
  EXPECT_EQ(Text(kMonday + (86399.6 / 86400)), "2026/12/08 0:00:00");
  EXPECT_EQ(Text(2958465.99999), "9999/12/31 23:59:59");
  EXPECT_THROW(Text(2958466), VariantError);
  EXPECT_THROW(Text(-657435), VariantError);
  EXPECT_THROW(Text(1e300), VariantError);
}

}  // namespace
}  // namespace tam

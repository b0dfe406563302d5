// The clock functions against a clock that stands still.
#include <gtest/gtest.h>

#include "engine/calendar.h"
#include "library/library.h"
#include "platform/fixed_clock.h"

namespace tam {
namespace {

// A platform in a time zone of the test's choosing.
class ZonePlatform : public FixedClockPlatform {
 public:
  explicit ZonePlatform(int bias) : FixedClockPlatform(DefaultPlatform(), LocalTime{}), bias_(bias) {}
  int TimeZoneBias() override { return bias_; }

 private:
  int bias_;
};

LocalTime Parsed(const std::string& text) {
  LocalTime t;
  EXPECT_TRUE(FixedClockPlatform::Parse(text, t)) << text;
  return t;
}

std::string Show(const LocalTime& t) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute,
                t.second, t.msec);
  return buf;
}

TEST(FixedClock, ParsesTheCommandLineForm) {
  EXPECT_EQ(Show(Parsed("2024-02-29 23:59:58")), "2024-02-29 23:59:58.000");
  EXPECT_EQ(Show(Parsed("2000-01-01 00:00:00.5")), "2000-01-01 00:00:00.500");
  EXPECT_EQ(Show(Parsed("2000-01-01 00:00:00.05")), "2000-01-01 00:00:00.050");
  EXPECT_EQ(Show(Parsed("2000-01-01 00:00:00.123")), "2000-01-01 00:00:00.123");
  LocalTime t;
  for (const char* bad : {"", "2023-02-29 00:00:00", "2000-01-01 24:00:00", "2000-13-01 00:00:00",
                          "2000-01-01T00:00:00", "2000-01-01 00:00", "2000-01-01 00:00:00.", "2000-01-01 00:00:00.1234",
                          "2000-01-01 00:00:60", "0000-01-01 00:00:00", "2000-1-01 00:00:00", "2000-01-01 00:00:00 "})
    EXPECT_FALSE(FixedClockPlatform::Parse(bad, t)) << bad;
}

// UTC of a fixed local time in a zone of the given bias.
std::string Utc(const std::string& local, int bias) {
  ZonePlatform zone(bias);
  return Show(FixedClockPlatform(zone, Parsed(local)).UtcNow());
}

TEST(FixedClock, UtcFollowsTheTimeZone) {
  // Japan is 540 minutes ahead of UTC: the day before.
  EXPECT_EQ(Utc("2000-01-01 08:30:00", -540), "1999-12-31 23:30:00.000");
  EXPECT_EQ(Utc("2000-01-01 08:30:00", 0), "2000-01-01 08:30:00.000");
  EXPECT_EQ(Utc("2000-02-28 20:00:00.250", 300), "2000-02-29 01:00:00.250");
  EXPECT_EQ(Utc("2001-12-31 20:00:00", 300), "2002-01-01 01:00:00.000");
}

class ClockFunctions : public ::testing::Test {
 protected:
  void SetUp() override { SetPlatform(&fixed_); }
  void TearDown() override { SetPlatform(nullptr); }

  static double Day(int y, int m, int d) {
    double days = 0;
    EncodeDate(y, m, d, days);
    return days;
  }
  // The values of a call, each checked to be a Date.
  static std::vector<double> Dates(const std::string& name, const Value& args) {
    Value result;
    bool found = false;
    EXPECT_TRUE(BuiltinFunction(name, args, result, found));
    std::vector<double> out;
    for (const Value& v : result.items()) {
      EXPECT_EQ(v.type(), vtDate) << name;
      out.push_back(v.d());
    }
    return out;
  }

  FixedClockPlatform fixed_{DefaultPlatform(), Parsed("2024-05-06 18:00:00.000")};
};

TEST_F(ClockFunctions, ReadTheClockOnceAndRepeatIt) {
  const double day = Day(2024, 5, 6);
  for (const char* name : {"DATE", "TODAY"}) {
    EXPECT_EQ(Dates(name, Value::Int(0)), std::vector<double>{day});
    EXPECT_EQ(Dates(name, Value()), std::vector<double>{day});
  }
  EXPECT_EQ(Dates("NOW", Value()), std::vector<double>{day + 0.75});
  EXPECT_EQ(Dates("TIME", Value::Int(0)), std::vector<double>{0.75});
  EXPECT_EQ(Dates("date", Value::Array({Value::Int(1), Value::Str("x")})), (std::vector<double>{day, day}));
  EXPECT_EQ(Dates("NOW", Value::Array({})), std::vector<double>{});
}

}  // namespace
}  // namespace tam

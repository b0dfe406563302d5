// The date and time functions through the built-in function handler.
#include <gtest/gtest.h>

#include "engine/calendar.h"
#include "engine/failure.h"
#include "library/library.h"
#include "platform/fixed_clock.h"

namespace tam {
namespace {

Value Args(std::vector<Value> items) { return Value::Array(std::move(items)); }

// Calls a function and returns its result; success is checked.
Value Call(const std::string& name, const Value& args) {
  Value result;
  bool found = false;
  EXPECT_TRUE(BuiltinFunction(name, args, result, found)) << name;
  EXPECT_TRUE(found) << name;
  return result;
}

// The one value of a call of one argument.
Value One(const std::string& name, const Value& arg) {
  Value r = Call(name, Args({arg}));
  EXPECT_TRUE(r.isArray() && r.items().size() == 1) << name;
  return r.isArray() && !r.items().empty() ? r.items()[0] : Value();
}

double Day(int y, int m, int d) {
  double days = 0;
  EXPECT_TRUE(EncodeDate(y, m, d, days));
  return days;
}

std::vector<int> Ints(const Value& r) {
  std::vector<int> out;
  for (const Value& v : r.items()) {
    EXPECT_EQ(v.type(), vtInteger);
    out.push_back(v.i());
  }
  return out;
}

TEST(DateFunctions, CatalogueHasEveryName) {
  const char* names[] = {"DATE",       "DATEDAY",         "DATEMONTH",  "DATETOSTR",  "DATEYEAR",
                         "DAYOFWEEK",  "DAYSTRINGOFWEEK", "DECODEDATE", "DECODETIME", "ENCODEDATE",
                         "ENCODETIME", "FORMATDATETIME",  "INCMONTH",   "NOW",        "TIME",
                         "TIMEHOUR",   "TIMEMILLISECOND", "TIMEMINUTE", "TIMESECOND", "TODAY"};
  for (const char* name : names) EXPECT_EQ(BuiltinCatalogue().count(name), 1u) << name;
  Value result;
  bool found = false;
  EXPECT_TRUE(BuiltinFunction(" dayOfWeek ", Args({Value::Int(1)}), result, found));
  EXPECT_TRUE(found);
  EXPECT_TRUE(BuiltinFunction("DAY OFWEEK", Args({Value::Int(1)}), result, found));
  EXPECT_FALSE(found);
}

TEST(DateFunctions, CalendarParts) {
  EXPECT_EQ(Ints(Call("DATEYEAR", Args({Value::Int(0), Value::Dbl(Day(2000, 2, 29) + 0.9)}))),
            (std::vector<int>{1899, 2000}));
  EXPECT_EQ(One("DATEMONTH", Value::Int(0)).i(), 12);
  EXPECT_EQ(One("DATEDAY", Value::Int(1)).i(), 31);
  EXPECT_EQ(One("DAYOFWEEK", Value::DateVal(Day(2000, 1, 1))).i(), 7);
  // Numeric texts serve as dates; other texts do not.
  EXPECT_EQ(One("DATEDAY", Value::Str(" 2 ")).i(), 1);
  EXPECT_THROW(Call("DATEDAY", Args({Value::Str("2000/01/01")})), VariantError);
  EXPECT_THROW(Call("DATEDAY", Args({Args({})})), VariantError);
  // Before the year 1 the parts are 0; far beyond any calendar is an invalid operation.
  EXPECT_EQ(Ints(Call("DECODEDATE", Value::Dbl(-693594))), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(Ints(Call("DECODEDATE", Value::Dbl(-693593))), (std::vector<int>{1, 1, 1}));
  EXPECT_THROW(Call("DATEYEAR", Args({Value::Dbl(1e15)})), InvalidOp);
}

TEST(DateFunctions, DayNames) {
  const char* names[] = {"日", "月", "火", "水", "木", "金", "土"};
  // 2000-01-02 was a Sunday.
  for (int i = 0; i < 7; ++i) {
    Value v = One("DAYSTRINGOFWEEK", Value::DateVal(Day(2000, 1, 2 + i)));
    EXPECT_EQ(v.type(), vtString);
    EXPECT_EQ(v.str(), names[i]);
    EXPECT_EQ(One("DAYOFWEEK", Value::Int(static_cast<int>(Day(2000, 1, 2 + i)))).i(), i + 1);
  }
  EXPECT_EQ(One("DAYSTRINGOFWEEK", Value::Int(-1)).str(), "金");
}

TEST(DateFunctions, TimeParts) {
  EXPECT_EQ(Ints(Call("DECODETIME", Args({Value::Dbl(0.75), Value::Int(5)}))), (std::vector<int>{18, 0, 0, 0}));
  EXPECT_EQ(One("TIMEHOUR", Value::Dbl(0.5)).i(), 12);
  double t = 0;
  ASSERT_TRUE(EncodeTime(13, 14, 15, 16, t));
  EXPECT_EQ(Ints(Call("DECODETIME", Value::Dbl(-100 - t))), (std::vector<int>{13, 14, 15, 16}));
  EXPECT_EQ(One("TIMEMINUTE", Value::Dbl(t)).i(), 14);
  EXPECT_EQ(One("TIMESECOND", Value::Dbl(t)).i(), 15);
  EXPECT_EQ(One("TIMEMILLISECOND", Value::Dbl(t)).i(), 16);
  // A bare word decodes day 0.
  EXPECT_EQ(Ints(Call("DECODEDATE", Value::Int(0))), (std::vector<int>{1899, 12, 30}));
  EXPECT_EQ(Ints(Call("DECODETIME", Value())), (std::vector<int>{0, 0, 0, 0}));
}

TEST(DateFunctions, Encode) {
  Value r = Call("ENCODEDATE", Args({Value::Int(2000), Value::Int(1), Value::Int(1)}));
  ASSERT_EQ(r.items().size(), 1u);
  EXPECT_EQ(r.items()[0].type(), vtDate);
  EXPECT_EQ(r.items()[0].d(), 36526);
  // Parts are 16-bit words; texts and doubles convert.
  EXPECT_EQ(Call("ENCODEDATE", Args({Value::Int(65536 + 2000), Value::Str("1"), Value::Dbl(1.4)})).items()[0].d(),
            36526);
  EXPECT_THROW(Call("ENCODEDATE", Args({Value::Int(1999), Value::Int(2), Value::Int(29)})), ConvertError);
  EXPECT_THROW(Call("ENCODEDATE", Args({Value::Int(0), Value::Int(1), Value::Int(1)})), ConvertError);
  EXPECT_THROW(Call("ENCODEDATE", Args({Value::Int(-1), Value::Int(1), Value::Int(1)})), ConvertError);
  EXPECT_THROW(Call("ENCODEDATE", Args({Value::Str("x"), Value::Int(1), Value::Int(1)})), VariantError);

  Value noon = Call("ENCODETIME", Args({Value::Int(12), Value::Int(0), Value::Int(0)})).items()[0];
  EXPECT_EQ(noon.type(), vtDate);
  EXPECT_EQ(noon.d(), 0.5);
  EXPECT_EQ(Call("ENCODETIME", Args({Value::Int(0), Value::Int(0), Value::Int(1), Value::Int(500)})).items()[0].d(),
            1500.0 / 86400000);
  EXPECT_THROW(Call("ENCODETIME", Args({Value::Int(24), Value::Int(0), Value::Int(0)})), ConvertError);
  EXPECT_THROW(Call("ENCODETIME", Args({Value::Int(0), Value::Int(0), Value::Int(0), Value::Int(1000)})), ConvertError);
}

TEST(DateFunctions, TooFewArgumentsFail) {
  for (const char* name : {"ENCODEDATE", "ENCODETIME", "INCMONTH", "FORMATDATETIME"}) {
    Value result;
    bool found = false;
    EXPECT_FALSE(BuiltinFunction(name, Args({Value::Int(1)}), result, found)) << name;
    EXPECT_FALSE(BuiltinFunction(name, Value::Int(0), result, found)) << name;
    EXPECT_FALSE(BuiltinFunction(name, Value(), result, found)) << name;
    EXPECT_TRUE(found);
    EXPECT_TRUE(result.isEmpty());
  }
}

TEST(DateFunctions, IncMonth) {
  auto inc = [](double d, int n) { return Call("INCMONTH", Args({Value::DateVal(d), Value::Int(n)})).items()[0]; };
  const double jan31 = Day(2000, 1, 31);
  EXPECT_EQ(inc(jan31, 1).d(), Day(2000, 2, 29));
  EXPECT_EQ(inc(jan31, -1).d(), Day(1999, 12, 31));
  EXPECT_EQ(inc(jan31, 12).d(), Day(2001, 1, 31));
  EXPECT_EQ(inc(jan31, 13).d(), Day(2001, 2, 28));
  EXPECT_EQ(inc(jan31, -13).d(), Day(1998, 12, 31));
  EXPECT_EQ(inc(Day(2000, 12, 15), 1).d(), Day(2001, 1, 15));
  EXPECT_EQ(inc(Day(2000, 1, 15), -12).d(), Day(1999, 1, 15));
  EXPECT_EQ(inc(jan31, 0).type(), vtDate);
  // The time of day carries over, also across day 0.
  EXPECT_EQ(inc(Day(2000, 1, 31) + 0.25, 1).d(), Day(2000, 2, 29) + 0.25);
  EXPECT_EQ(inc(-1.25, 1).d(), Day(1900, 1, 29) + 0.25);
  EXPECT_EQ(inc(Day(1900, 1, 29) + 0.25, -1).d(), -1.25);
  EXPECT_THROW(inc(Day(9999, 12, 1), 1), ConvertError);
  EXPECT_THROW(inc(Day(1, 1, 1), -1), ConvertError);
  EXPECT_THROW(inc(-700000, 1), ConvertError);
  EXPECT_THROW(inc(Day(2000, 1, 1), 2147483647), ConvertError);
}

// The fixed Japanese settings, whatever the system's are.
class JapaneseLocale : public FixedClockPlatform {
 public:
  JapaneseLocale() : FixedClockPlatform(DefaultPlatform(), LocalTime{}) { SetPlatform(this); }
  ~JapaneseLocale() override { SetPlatform(nullptr); }
  const LocaleInfo& Locale() override { return locale; }
  LocaleInfo locale;
};

TEST(DateFunctions, Text) {
  JapaneseLocale japanese;
  const double d = Day(2001, 2, 3) + 0.5;
  Value r = Call("FORMATDATETIME", Args({Value::Str("yyyy/mm/dd hh:nn"), Value::DateVal(d)}));
  EXPECT_EQ(r.items()[0].type(), vtString);
  EXPECT_EQ(r.items()[0].str(), "2001/02/03 12:00");
  EXPECT_EQ(Call("FORMATDATETIME", Args({Value::Str("h:mm am/pm"), Value::Dbl(0.75)})).items()[0].str(), "6:00 pm");
  EXPECT_EQ(Call("FORMATDATETIME", Args({Value(), Value::Dbl(d)})).items()[0].str(), "2001/02/03 12:00:00");
  EXPECT_EQ(Call("FORMATDATETIME", Args({Value::Int(5), Value::Int(1)})).items()[0].str(), "5");
  Value both = Call("DATETOSTR", Args({Value::Dbl(d), Value::Int(0)}));
  ASSERT_EQ(both.items().size(), 2u);
  EXPECT_EQ(both.items()[0].str(), "2001/02/03");
  EXPECT_EQ(both.items()[1].str(), "1899/12/30");
  // The short date format is a named format itself.
  japanese.locale.shortDate = "yyyy[c]";
  EXPECT_EQ(One("DATETOSTR", Value::Dbl(d)).str(), "2001[]");
  japanese.locale.shortDate.clear();
  EXPECT_EQ(One("DATETOSTR", Value::Dbl(d)).str(), "");
}

}  // namespace
}  // namespace tam

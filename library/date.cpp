// The date and time functions: the clock, taking day counts apart and
// building them, shifting by months, and dates as text.
#include <cmath>
#include <cstdlib>

#include "engine/calendar.h"
#include "engine/failure.h"
#include "library/formatdate.h"
#include "library/library.h"

namespace tam {

namespace {

// An argument read as a date: any number is a day count. Counts too far out
// for the calendar are an invalid floating-point operation.
double ReadDate(const Value& v) {
  const double d = shape::Number(v);
  if (!(d < kMaxDayCount)) throw InvalidOp("Invalid floating point operation");
  return d;
}

[[noreturn]] void BadDate() { throw ConvertError("Invalid argument to date encode"); }
[[noreturn]] void BadTime() { throw ConvertError("Invalid argument to time encode"); }

// The day count of midnight and the fraction of the time of the clock now.
void ReadClock(double& day, double& time) {
  const LocalTime t = platform().Now();
  if (!EncodeDate(t.year, t.month, t.day, day)) day = 0;
  if (!EncodeTime(t.hour, t.minute, t.second, t.msec, time)) time = 0;
}

bool Today(const Args& args, Value& result) {
  double day, time;
  ReadClock(day, time);
  shape::Repeat(args, result, Value::DateVal(day));
  return true;
}

bool Now(const Args& args, Value& result) {
  double day, time;
  ReadClock(day, time);
  shape::Repeat(args, result, Value::DateVal(day + time));
  return true;
}

bool Time(const Args& args, Value& result) {
  double day, time;
  ReadClock(day, time);
  shape::Repeat(args, result, Value::DateVal(time));
  return true;
}

// An element-wise function of one calendar part.
template <int DateParts::*Part>
bool PartOf(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Int(SplitDate(ReadDate(a)).*Part));
    return true;
  });
}

bool DayStringOfWeek(const Args& args, Value& result) {
  static const char* const kNames[] = {"日", "月", "火", "水", "木", "金", "土"};
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Str(kNames[SplitDate(ReadDate(a)).dayOfWeek - 1]));
    return true;
  });
}

// The short date format taken as the named format it is: named formats
// inside it produce nothing, and an empty one gives an empty text.
bool DateToStr(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Str(FormatDateTime("ddddd", ReadDate(a))));
    return true;
  });
}

// DECODEDATE and DECODETIME take apart their first argument only.
const Value& FirstArgument(const Args& args) {
  static const Value empty;
  if (!args.isArray()) return args.value();
  return args.items().empty() ? empty : args.items()[0];
}

bool DecodeDateFn(const Args& args, Value& result) {
  const DateParts p = SplitDate(ReadDate(FirstArgument(args)));
  result.append(Value::Int(p.year));
  result.append(Value::Int(p.month));
  result.append(Value::Int(p.day));
  return true;
}

bool DecodeTimeFn(const Args& args, Value& result) {
  const DateParts p = SplitDate(ReadDate(FirstArgument(args)));
  result.append(Value::Int(p.hour));
  result.append(Value::Int(p.minute));
  result.append(Value::Int(p.second));
  result.append(Value::Int(p.msec));
  return true;
}

// Date parts are taken as 16-bit words.
int Word(const Value& v) { return static_cast<int>(static_cast<std::uint32_t>(shape::Integer(v)) & 0xFFFF); }

bool EncodeDateFn(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 3);
  if (!a) return false;
  double days;
  if (!EncodeDate(Word((*a)[0]), Word((*a)[1]), Word((*a)[2]), days)) BadDate();
  result.append(Value::DateVal(days));
  return true;
}

bool EncodeTimeFn(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 3);
  if (!a) return false;
  // Unlike the date parts, the time parts are checked whole: 65546 hours
  // are no 10 o'clock.
  const int msec = a->size() > 3 ? shape::Integer((*a)[3]) : 0;
  double frac;
  if (!EncodeTime(shape::Integer((*a)[0]), shape::Integer((*a)[1]), shape::Integer((*a)[2]), msec, frac)) BadTime();
  result.append(Value::DateVal(frac));
  return true;
}

bool IncMonth(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const double d = ReadDate((*a)[0]);
  const long long n = shape::Integer((*a)[1]);
  const DateParts p = SplitDate(d);
  if (p.year == 0) BadDate();
  long long year = p.year + n / 12;
  long long month = p.month + n % 12;
  if (month < 1 || month > 12) {
    const int s = n < 0 ? -1 : 1;
    year += s;
    month -= 12 * s;
  }
  if (year < 1 || year > 9999) BadDate();
  const int y = static_cast<int>(year), m = static_cast<int>(month);
  const int day = p.day > DaysInMonth(y, m) ? DaysInMonth(y, m) : p.day;
  double whole;
  if (!EncodeDate(y, m, day, whole)) BadDate();
  // The time of day carries over; before day 0 it counts away from zero.
  const double time = std::fabs(d - std::trunc(d));
  result.append(Value::DateVal(whole >= 0 ? whole + time : whole - time));
  return true;
}

bool FormatDateTimeFn(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string format = shape::Text((*a)[0]);
  result.append(Value::Str(FormatDateTime(format, ReadDate((*a)[1]))));
  return true;
}

}  // namespace

void AddDateFunctions(Catalogue& c) {
  c["DATE"] = Today;
  c["TODAY"] = Today;
  c["NOW"] = Now;
  c["TIME"] = Time;
  c["DATETOSTR"] = DateToStr;
  c["DATEYEAR"] = PartOf<&DateParts::year>;
  c["DATEMONTH"] = PartOf<&DateParts::month>;
  c["DATEDAY"] = PartOf<&DateParts::day>;
  c["DAYOFWEEK"] = PartOf<&DateParts::dayOfWeek>;
  c["DAYSTRINGOFWEEK"] = DayStringOfWeek;
  c["DECODEDATE"] = DecodeDateFn;
  c["DECODETIME"] = DecodeTimeFn;
  c["TIMEHOUR"] = PartOf<&DateParts::hour>;
  c["TIMEMINUTE"] = PartOf<&DateParts::minute>;
  c["TIMESECOND"] = PartOf<&DateParts::second>;
  c["TIMEMILLISECOND"] = PartOf<&DateParts::msec>;
  c["ENCODEDATE"] = EncodeDateFn;
  c["ENCODETIME"] = EncodeTimeFn;
  c["INCMONTH"] = IncMonth;
  c["FORMATDATETIME"] = FormatDateTimeFn;
}

}  // namespace tam

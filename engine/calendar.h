// Day counts of the Date kind: day 0 is 1899-12-30, the fraction is the time
// of day. Proleptic Gregorian calendar.
#pragma once

#include <cstdint>

namespace tam {

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// Day count of a calendar date; false when the date is invalid (year 1..9999).
bool EncodeDate(int year, int month, int day, double& days);
// Calendar date of the whole day of a day count (truncated toward zero).
void DecodeDate(double days, int& year, int& month, int& day);
// Fraction of a day for a time; false when a part is out of range.
bool EncodeTime(int hour, int minute, int second, int msec, double& frac);
// Time of day of a day count, rounded to the millisecond.
void DecodeTime(double days, int& hour, int& minute, int& second, int& msec);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(double days);

}  // namespace tam

#include "platform/win32/win32_era.h"

#include <windows.h>

namespace tam {

namespace {

bool Format(int year, int month, int day, const char* picture, std::string& out) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  char buf[80];
  const int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_USE_ALT_CALENDAR, &st, picture, buf, sizeof buf);
  if (n <= 1) return false;
  out.assign(buf, static_cast<std::size_t>(n - 1));
  return true;
}

}  // namespace

bool Win32HasJapaneseCalendar() {
  static const bool japanese = [] {
    std::string first, last;
    return Format(2019, 5, 1, "yy", first) && first == "01" && Format(2019, 4, 30, "yy", last) && last == "31";
  }();
  return japanese;
}

bool Win32Era(int year, int month, int day, EraInfo& era) {
  if (!Win32HasJapaneseCalendar()) return JapaneseEra(year, month, day, era);
  // SYSTEMTIME starts in 1601, long after the first era.
  if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  EraInfo e;
  if (!Format(year, month, day, "gg", e.name) || !Format(year, month, day, "yy", e.year) ||
      !Format(year, month, day, "yyyy", e.fullYear))
    return false;
  era = e;
  return true;
}

bool Win32JapaneseLocale() { return PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) == LANG_JAPANESE; }

}  // namespace tam

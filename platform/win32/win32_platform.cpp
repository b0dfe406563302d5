// The win32 backend: the user's locale settings, the system clock and time
// zone, message boxes, the shell's "open" and the system colours.
#include <windows.h>
// windows.h names MessageBoxA MessageBox; the interface means its own.
#undef MessageBox
#include <shellapi.h>

#include <cstdint>

#include "platform/platform.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_era.h"

namespace tam {

namespace {

// LOCALE_SSHORTTIME exists from Windows 7 on; older systems answer nothing
// and the short time keeps its default.
constexpr LCTYPE kShortTime = 0x79;

// Reads one locale string of the user default locale into out; leaves out
// unchanged when the system has no such entry.
void Read(LCTYPE type, std::string& out) {
  char buf[256];
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf);
  if (n > 1) out.assign(buf, n - 1);
}

LocaleInfo ReadLocale() {
  LocaleInfo loc;
  // The date and time pictures are kept as Windows writes them ("yyyy/MM/dd",
  // "H:mm:ss"); the date functions read them.
  Read(LOCALE_SSHORTDATE, loc.shortDate);
  Read(LOCALE_SLONGDATE, loc.longDate);
  Read(kShortTime, loc.shortTime);
  Read(LOCALE_STIMEFORMAT, loc.longTime);
  Read(LOCALE_SDATE, loc.dateSeparator);
  Read(LOCALE_STIME, loc.timeSeparator);
  Read(LOCALE_S1159, loc.amText);
  Read(LOCALE_S2359, loc.pmText);
  loc.japanese = Win32JapaneseLocale();
  for (int m = 0; m < 12; ++m) {
    Read(LOCALE_SABBREVMONTHNAME1 + m, loc.shortMonthNames[m]);
    Read(LOCALE_SMONTHNAME1 + m, loc.longMonthNames[m]);
  }
  // Windows counts the days from Monday (1) to Sunday (7); ours start on Sunday.
  for (int d = 0; d < 7; ++d) {
    int win = d == 0 ? 6 : d - 1;
    Read(LOCALE_SABBREVDAYNAME1 + win, loc.shortDayNames[d]);
    Read(LOCALE_SDAYNAME1 + win, loc.longDayNames[d]);
  }
  return loc;
}

LocalTime FromSystemTime(const SYSTEMTIME& st) {
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.msec = st.wMilliseconds;
  return t;
}

class Win32Platform : public Platform {
 public:
  const LocaleInfo& Locale() override {
    static const LocaleInfo loc = ReadLocale();
    return loc;
  }

  LocalTime Now() override {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return FromSystemTime(st);
  }

  LocalTime UtcNow() override {
    SYSTEMTIME st;
    GetSystemTime(&st);
    return FromSystemTime(st);
  }

  int TimeZoneBias() override {
    // Local standard time: the daylight saving bias is not applied.
    TIME_ZONE_INFORMATION tz;
    if (GetTimeZoneInformation(&tz) == TIME_ZONE_ID_INVALID) return 0;
    return static_cast<int>(tz.Bias + tz.StandardBias);
  }

  bool Era(int year, int month, int day, EraInfo& era) override { return Win32Era(year, month, day, era); }

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
  }

  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& preset) override {
    return win32::InputBoxDialog(caption, prompt, preset);
  }

  std::optional<std::string> SelectDirectory(const std::string& start, bool allowCreate) override {
    return win32::SelectDirectoryDialog(start, allowCreate);
  }

  int ShellOpen(const std::string& file, const std::string& params) override {
    HINSTANCE h =
        ShellExecuteA(nullptr, "OPEN", file.c_str(), params.empty() ? nullptr : params.c_str(), nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<std::intptr_t>(h));
  }

  int ShellOpenInFolder(const std::string& file, const std::string& params, const std::string& folder) override {
    HINSTANCE h = ShellExecuteA(nullptr, "OPEN", file.c_str(), params.empty() ? nullptr : params.c_str(),
                                folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<std::intptr_t>(h));
  }

  std::uint32_t SystemColor(int index) override { return GetSysColor(index); }
};

}  // namespace

Platform& DefaultPlatform() {
  static Win32Platform p;
  return p;
}

}  // namespace tam

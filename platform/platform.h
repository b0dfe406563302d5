// What the operating system gives the portable core: locale settings, the
// clock, dialogs, the shell, drives, the environment and system colours.
// The core reaches the OS only through this interface; a win32 and a posix
// backend implement it, and tests may install their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tam {

// Regional settings used to turn dates into text (all Shift-JIS).
struct LocaleInfo {
  std::string shortDate = "yyyy/mm/dd";
  std::string longDate = "yyyy'年'm'月'd'日'";
  std::string shortTime = "h:mm";
  std::string longTime = "h:mm:ss";
  std::string dateSeparator = "/";
  std::string timeSeparator = ":";
  std::string amText = "午前";
  std::string pmText = "午後";
  std::string shortMonthNames[12];
  std::string longMonthNames[12];
  std::string shortDayNames[7];  // Sunday first
  std::string longDayNames[7];
  // A Japanese locale: the era specifier g shows the first character of the
  // era name only.
  bool japanese = true;
  LocaleInfo();
};

// A date's era in the locale's alternative calendar (the Japanese era
// calendar): its name and the year within it, both as the platform's date
// formatting writes them.
struct EraInfo {
  std::string name;      // "平成"
  std::string year;      // at least two digits: "01", "31"
  std::string fullYear;  // the calendar's full form of the year
};

// The Japanese era of a calendar date, computed from the era table (Meiji to
// Reiwa); false before the first era and for invalid dates.
bool JapaneseEra(int year, int month, int day, EraInfo& era);

struct LocalTime {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, msec = 0;
};

// Buttons of a message box, as the platform numbers them.
enum MessageBoxResult { mbOK = 1, mbCancel = 2, mbAbort = 3, mbRetry = 4, mbIgnore = 5, mbYes = 6, mbNo = 7 };

class Platform {
 public:
  virtual ~Platform() = default;

  virtual const LocaleInfo& Locale() = 0;
  // The local date and time now.
  virtual LocalTime Now() = 0;
  // The UTC time of day now.
  virtual LocalTime UtcNow() = 0;
  // Minutes to add to local standard time to get UTC (Japan: -540).
  virtual int TimeZoneBias() = 0;
  // The era of a date for the era specifiers of the date formatter; false
  // when the calendar has no era for it. By default the Japanese era table.
  virtual bool Era(int year, int month, int day, EraInfo& era) { return JapaneseEra(year, month, day, era); }

  // A message box: returns one of MessageBoxResult. flags are the platform's
  // MB_ flags (buttons, icon, default button, modality).
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
  // An input box; nullopt when the user cancelled.
  virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& preset) = 0;
  // A folder chooser; nullopt when cancelled.
  virtual std::optional<std::string> SelectDirectory(const std::string& start, bool allowCreate) = 0;
  // Starts a file or program with the shell's "open"; above 32 on success.
  virtual int ShellOpen(const std::string& file, const std::string& params) = 0;
  // The RGB value of a system colour index.
  virtual std::uint32_t SystemColor(int index) = 0;
};

// Text conversion between UTF-8 and Shift-JIS (code page 932); bytes that
// cannot be converted become "?".
std::string Utf8ToSjis(const std::string& utf8);
std::string SjisToUtf8(const std::string& sjis);

// The platform in use: the backend of the build unless a test installed another.
Platform& platform();
// Installs p (not owned) as the platform; nullptr restores the backend.
void SetPlatform(Platform* p);
// The backend of this build.
Platform& DefaultPlatform();

}  // namespace tam

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

// The buttons of a message box's button set (the low four bits of its
// flags), in their order on the box.
std::vector<int> MessageBoxButtons(unsigned flags);

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
  // The same in the working folder `folder` (empty: the current one),
  // returning at once; above 32 on success, else the shell's error code (2
  // file not found, 3 path not found, 31 no association). A wrapper that does
  // not override it starts the program in the current folder.
  virtual int ShellOpenInFolder(const std::string& file, const std::string& params, const std::string& folder) {
    (void)folder;
    return ShellOpen(file, params);
  }
  // The RGB value of a system colour index.
  virtual std::uint32_t SystemColor(int index) = 0;
};

// Files, folders and the process, as the library needs them. Paths are
// Shift-JIS text in the platform's own form: "C:\dir\file" on win32, and on
// posix a native path ("/dir/file"), whose names are converted to and from
// UTF-8 where that conversion is exact.
namespace os {

// The separator of folder names in native paths.
#ifdef _WIN32
constexpr char kPathDelimiter = '\\';
#else
constexpr char kPathDelimiter = '/';
#endif

// The Win32 file attribute bits.
enum : std::int32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSystem = 0x04,
  faVolumeLabel = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
  faNormal = 0x80,
};

// One entry of a folder or of a directory search.
struct FileEntry {
  std::string name;  // the bare name, without its folder
  std::int32_t attributes = 0;
  std::uint64_t size = 0;
  LocalTime lastWrite;  // local time
};

// Attribute bits of a path; -1 when they cannot be read (no such file).
std::int32_t Attributes(const std::string& path);
// Sets the attribute bits; false when the system refuses or the file is missing.
bool SetAttributes(const std::string& path, std::int32_t attributes);
// The first entry that a directory search for `pattern` (whose last part may
// hold the wildcards * and ?) returns; false when nothing is found.
bool FindFirst(const std::string& pattern, FileEntry& entry);
// Every entry of a folder in the system's order, "." and ".." included where
// the system lists them; false when the folder cannot be read.
bool ListFolder(const std::string& folder, std::vector<FileEntry>& entries);
// A text that is the same for two paths exactly when they name the same
// folder (links followed); empty when the folder cannot be opened.
std::string FolderIdentity(const std::string& folder);

bool MakeFolder(const std::string& path);    // the last level only
bool RemoveFolder(const std::string& path);  // an empty folder
bool RemoveFile(const std::string& path);
// Renames or moves a file or folder; false when the target exists.
bool Rename(const std::string& from, const std::string& to);

// The full path of `path` against the current folder, "." and ".." resolved.
std::string FullPath(const std::string& path);
// The process's current folder, without a final delimiter unless a root.
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);
// The current folder of drive 1 (A) ... 26 (Z); for 0, for a drive that
// does not exist or has no medium, the current folder.
std::string DriveFolder(int drive);
// Bit n set for each existing drive letter 'A' + n.
std::uint32_t DriveMask();

// The value of an environment variable; empty when it is not set.
std::string Environment(const std::string& name);
// The command line of the running program: element 0 its own path, then
// its parameters.
std::vector<std::string> ProgramParameters();

}  // namespace os

// Text conversion between UTF-8 and Shift-JIS (code page 932); bytes that
// cannot be converted become "?".
std::string Utf8ToSjis(const std::string& utf8);
std::string SjisToUtf8(const std::string& sjis);

// A program's own texts for the terminal (help, usage, messages): Shift-JIS
// text in the code set of the user's locale (posix: the code set of the
// locale's character classes; Windows: the console's output code page).
// Characters the code set lacks become "?".
std::string TerminalText(const std::string& sjis);
// Whether the terminal's code set holds Japanese characters.
bool TerminalShowsJapanese();

// The platform in use: the backend of the build unless a test installed another.
Platform& platform();
// Installs p (not owned) as the platform; nullptr restores the backend.
void SetPlatform(Platform* p);
// The backend of this build.
Platform& DefaultPlatform();

}  // namespace tam

// The posix backend: a fixed Japanese locale, the system clock, dialogs on
// the terminal (or their default answer), the shell and standard colours.
#include <sys/time.h>

#include <cstdlib>
#include <ctime>

#include "platform/platform.h"
#include "platform/posix/posix_services.h"

namespace tam {

namespace posix {
LocalTime FromTm(const std::tm& t, int msec) {
  LocalTime r;
  r.year = t.tm_year + 1900;
  r.month = t.tm_mon + 1;
  r.day = t.tm_mday;
  r.hour = t.tm_hour;
  r.minute = t.tm_min;
  r.second = t.tm_sec > 59 ? 59 : t.tm_sec;
  r.msec = msec;
  return r;
}
}  // namespace posix

namespace {

class PosixPlatform : public Platform {
 public:
  const LocaleInfo& Locale() override { return locale_; }

  LocalTime Now() override {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    std::tm t{};
    time_t s = tv.tv_sec;
    localtime_r(&s, &t);
    return posix::FromTm(t, static_cast<int>(tv.tv_usec / 1000));
  }

  LocalTime UtcNow() override {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    std::tm t{};
    time_t s = tv.tv_sec;
    gmtime_r(&s, &t);
    return posix::FromTm(t, static_cast<int>(tv.tv_usec / 1000));
  }

  int TimeZoneBias() override {
    // The bias of local standard time: take a day in January and one in July
    // and use the smaller UTC offset of the two, as daylight saving adds.
    time_t now = time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    long best = 0;
    bool have = false;
    for (int mon : {0, 6}) {
      std::tm probe{};
      probe.tm_year = t.tm_year;
      probe.tm_mon = mon;
      probe.tm_mday = 1;
      probe.tm_hour = 12;
      probe.tm_isdst = -1;
      time_t when = mktime(&probe);
      std::tm local{};
      localtime_r(&when, &local);
      long off = local.tm_gmtoff - (local.tm_isdst > 0 ? 3600 : 0);
      if (!have || off < best) best = off;
      have = true;
    }
    return static_cast<int>(-best / 60);
  }

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    return posix::MessageBoxDialog(text, caption, flags);
  }

  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& preset) override {
    return posix::InputBoxDialog(caption, prompt, preset);
  }

  std::optional<std::string> SelectDirectory(const std::string& start, bool allowCreate) override {
    return posix::SelectDirectoryDialog(start, allowCreate);
  }

  int ShellOpen(const std::string& file, const std::string& params) override {
    return posix::ShellStart(file, params, std::string());
  }
  int ShellOpenInFolder(const std::string& file, const std::string& params, const std::string& folder) override {
    return posix::ShellStart(file, params, folder);
  }

  std::uint32_t SystemColor(int index) override { return posix::DefaultSystemColor(index); }

 private:
  LocaleInfo locale_;
};

}  // namespace

Platform& DefaultPlatform() {
  static PosixPlatform p;
  return p;
}

}  // namespace tam

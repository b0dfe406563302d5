// The posix backend: a fixed Japanese locale, the system clock, and dialogs
// that take their default answer (a terminal front end may replace them).
#include <sys/time.h>

#include <cstdlib>
#include <ctime>

#include "platform/platform.h"

namespace tam {

namespace {

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

class PosixPlatform : public Platform {
 public:
  const LocaleInfo& Locale() override { return locale_; }

  LocalTime Now() override {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    std::tm t{};
    time_t s = tv.tv_sec;
    localtime_r(&s, &t);
    return FromTm(t, static_cast<int>(tv.tv_usec / 1000));
  }

  LocalTime UtcNow() override {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    std::tm t{};
    time_t s = tv.tv_sec;
    gmtime_r(&s, &t);
    return FromTm(t, static_cast<int>(tv.tv_usec / 1000));
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

  int MessageBox(const std::string&, const std::string&, unsigned flags) override {
    // The default button of the button set.
    static const int kFirst[] = {mbOK, mbOK, mbAbort, mbYes, mbYes, mbRetry, mbCancel};
    static const int kSecond[] = {mbOK, mbCancel, mbRetry, mbNo, mbNo, mbCancel, mbCancel};
    static const int kThird[] = {mbOK, mbCancel, mbIgnore, mbCancel, mbNo, mbCancel, mbCancel};
    unsigned set = flags & 0xF;
    if (set > 6) set = 0;
    switch ((flags >> 8) & 0xF) {
      case 1:
        return kSecond[set];
      case 2:
        return kThird[set];
      default:
        return kFirst[set];
    }
  }

  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string& preset) override {
    return preset;
  }

  std::optional<std::string> SelectDirectory(const std::string&, bool) override { return std::nullopt; }

  int ShellOpen(const std::string&, const std::string&) override { return 2; }

  std::uint32_t SystemColor(int) override { return 0; }

 private:
  LocaleInfo locale_;
};

}  // namespace

Platform& DefaultPlatform() {
  static PosixPlatform p;
  return p;
}

}  // namespace tam

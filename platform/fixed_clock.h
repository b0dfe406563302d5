// A platform whose clock stands still: it answers every question as the
// platform it wraps, except that "now" is always one given local time. The
// command line tool installs it for its --now option, tests for a known day.
#pragma once

#include <string>

#include "platform/platform.h"

namespace tam {

class FixedClockPlatform : public Platform {
 public:
  // inner is not owned and must outlive this object.
  FixedClockPlatform(Platform& inner, const LocalTime& now) : inner_(inner), now_(now) {}

  // Reads "YYYY-MM-DD HH:MM:SS" with an optional ".mmm" (one to three digits
  // of a second); false for any other text or a date or time that does not exist.
  static bool Parse(const std::string& text, LocalTime& out);

  const LocaleInfo& Locale() override { return inner_.Locale(); }
  LocalTime Now() override { return now_; }
  // The fixed local time moved by the wrapped platform's time-zone bias.
  LocalTime UtcNow() override;
  int TimeZoneBias() override { return inner_.TimeZoneBias(); }
  bool Era(int year, int month, int day, EraInfo& era) override { return inner_.Era(year, month, day, era); }

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    return inner_.MessageBox(text, caption, flags);
  }
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& preset) override {
    return inner_.InputBox(caption, prompt, preset);
  }
  std::optional<std::string> SelectDirectory(const std::string& start, bool allowCreate) override {
    return inner_.SelectDirectory(start, allowCreate);
  }
  int ShellOpen(const std::string& file, const std::string& params) override { return inner_.ShellOpen(file, params); }
  int ShellOpenInFolder(const std::string& file, const std::string& params, const std::string& folder) override {
    return inner_.ShellOpenInFolder(file, params, folder);
  }
  std::uint32_t SystemColor(int index) override { return inner_.SystemColor(index); }

 private:
  Platform& inner_;
  LocalTime now_;
};

}  // namespace tam

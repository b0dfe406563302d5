// A platform that answers every question as another one does. Wrappers that
// change one answer (a fixed clock, prepared dialog answers, a time-zone
// bias) derive from it and override only that, so that an operation added
// to the platform later reaches the wrapped platform through every wrapper.
#pragma once

#include "platform/platform.h"

namespace tam {

class ForwardingPlatform : public Platform {
 public:
  // inner is not owned and must outlive this object.
  explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

  const LocaleInfo& Locale() override { return inner_.Locale(); }
  LocalTime Now() override { return inner_.Now(); }
  LocalTime UtcNow() override { return inner_.UtcNow(); }
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

 protected:
  Platform& inner_;
};

}  // namespace tam

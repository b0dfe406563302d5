// A platform whose clock stands still: it answers every question as the
// platform it wraps, except that "now" is always one given local time. The
// command line tool installs it for its --now option, tests for a known day.
#pragma once

#include <string>

#include "platform/forwarding.h"

namespace tam {

class FixedClockPlatform : public ForwardingPlatform {
 public:
  // inner is not owned and must outlive this object.
  FixedClockPlatform(Platform& inner, const LocalTime& now) : ForwardingPlatform(inner), now_(now) {}

  // Reads "YYYY-MM-DD HH:MM:SS" with an optional ".mmm" (one to three digits
  // of a second); false for any other text or a date or time that does not exist.
  static bool Parse(const std::string& text, LocalTime& out);

  LocalTime Now() override { return now_; }
  // The fixed local time moved by the wrapped platform's time-zone bias.
  LocalTime UtcNow() override;

 private:
  LocalTime now_;
};

}  // namespace tam

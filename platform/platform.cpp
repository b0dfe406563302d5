#include "platform/platform.h"

namespace tam {

LocaleInfo::LocaleInfo() {
  static const char* const kDays[] = {"日", "月", "火", "水", "木", "金", "土"};
  for (int m = 0; m < 12; ++m) {
    shortMonthNames[m] = longMonthNames[m] = std::to_string(m + 1) + "月";
  }
  for (int d = 0; d < 7; ++d) {
    shortDayNames[d] = kDays[d];
    longDayNames[d] = std::string(kDays[d]) + "曜日";
  }
}

std::vector<int> MessageBoxButtons(unsigned flags) {
  switch (flags & 0xF) {
    case 1:
      return {mbOK, mbCancel};
    case 2:
      return {mbAbort, mbRetry, mbIgnore};
    case 3:
      return {mbYes, mbNo, mbCancel};
    case 4:
      return {mbYes, mbNo};
    case 5:
      return {mbRetry, mbCancel};
    default:
      return {mbOK};
  }
}

namespace {
Platform* g_installed = nullptr;
}

Platform& platform() { return g_installed ? *g_installed : DefaultPlatform(); }
void SetPlatform(Platform* p) { g_installed = p; }

}  // namespace tam

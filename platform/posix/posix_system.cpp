// The environment, the program's command line and the system colours.
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/platform.h"
#include "platform/posix/posix_names.h"
#include "platform/posix/posix_services.h"

namespace tam {

namespace os {

std::string Environment(const std::string& name) {
  const char* v = std::getenv(posix::NativeName(name).c_str());
  return v ? posix::ScriptName(v) : std::string();
}

std::vector<std::string> ProgramParameters() {
  std::vector<std::string> params;
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t i = 0;
  while (i < all.size()) {
    std::size_t end = all.find('\0', i);
    if (end == std::string::npos) end = all.size();
    params.push_back(posix::ScriptName(all.substr(i, end - i)));
    i = end + 1;
  }
  if (params.empty()) params.emplace_back();
  // Parameter 0 is the program's own full path.
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n > 0) params[0] = posix::ScriptName(std::string(self, static_cast<std::size_t>(n)));
  return params;
}

}  // namespace os

namespace posix {

std::uint32_t DefaultSystemColor(int index) {
  // COLORREF values (0x00BBGGRR) of the standard scheme.
  static const std::uint32_t kColors[] = {
      0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF, 0xC8D0D4,
      0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040,
      0xC8D0D4, 0x000000, 0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4,
  };
  if (index < 0 || index >= static_cast<int>(sizeof kColors / sizeof kColors[0])) return 0;
  return kColors[index];
}

}  // namespace posix
}  // namespace tam

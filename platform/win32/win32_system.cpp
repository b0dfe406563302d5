// The environment and the command line of the running program.
#include <windows.h>

#include "platform/platform.h"

namespace tam::os {

std::string Environment(const std::string& name) {
  std::string buf(257, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD n = GetEnvironmentVariableA(name.c_str(), &buf[0], static_cast<DWORD>(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size()) return buf.substr(0, n);
    buf.assign(n + 1, '\0');  // the variable may change between the calls
  }
  return std::string();
}

// The program's own path, then the parameters of its command line: blanks
// separate them, double quotes group blanks into one and are removed.
std::vector<std::string> ProgramParameters() {
  std::vector<std::string> params;
  std::string self(MAX_PATH + 1, '\0');
  const DWORD n = GetModuleFileNameA(nullptr, &self[0], static_cast<DWORD>(self.size()));
  params.push_back(self.substr(0, n < self.size() ? n : 0));
  const char* p = GetCommandLineA();
  bool first = true;
  while (p && *p) {
    while (*p && static_cast<unsigned char>(*p) <= ' ') ++p;
    if (!*p) break;
    std::string param;
    bool quoted = false;
    while (*p && (quoted || static_cast<unsigned char>(*p) > ' ')) {
      if (*p == '"') {
        quoted = !quoted;
      } else {
        param += *p;
        if (IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1]) param += *++p;
      }
      ++p;
    }
    if (!first) params.push_back(param);
    first = false;
  }
  return params;
}

}  // namespace tam::os

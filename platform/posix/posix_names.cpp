#include "platform/posix/posix_names.h"

#include <cstdlib>

#include "platform/platform.h"

namespace tam::posix {

namespace {

bool IsAscii(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// `convert` applied to s, when `back` restores s exactly; else s itself.
std::string Exact(const std::string& s, std::string (*convert)(const std::string&),
                  std::string (*back)(const std::string&)) {
  if (IsAscii(s)) return s;
  std::string converted = convert(s);
  return back(converted) == s ? converted : s;
}

}  // namespace

std::string NativeName(const std::string& sjis) { return Exact(sjis, SjisToUtf8, Utf8ToSjis); }
std::string ScriptName(const std::string& native) { return Exact(native, Utf8ToSjis, SjisToUtf8); }

bool TerminalIsUtf8() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* v = std::getenv(name);
    if (!v || !*v) continue;
    const std::string s = v;
    return s.find("UTF-8") != std::string::npos || s.find("utf8") != std::string::npos ||
           s.find("utf-8") != std::string::npos || s.find("UTF8") != std::string::npos;
  }
  return false;
}

}  // namespace tam::posix

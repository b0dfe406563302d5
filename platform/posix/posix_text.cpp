// UTF-8 and Shift-JIS conversion through iconv's CP932, and the code set of
// the terminal.
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#include "platform/platform.h"

namespace tam {

namespace {
std::string Convert(const char* to, const char* from, const std::string& in, bool* opened = nullptr) {
  iconv_t cd = iconv_open(to, from);
  if (opened) *opened = cd != reinterpret_cast<iconv_t>(-1);
  // Without the memory for the conversion tables the text would pass
  // unconverted: that is memory running out, not a code set without them.
  if (cd == reinterpret_cast<iconv_t>(-1) && errno == ENOMEM) throw std::bad_alloc();
  if (cd == reinterpret_cast<iconv_t>(-1)) return in;
  std::string out;
  char buf[4096];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      out += '?';  // an invalid or incomplete sequence: skip one byte
      ++src;
      --srcLeft;
    }
  }
  iconv_close(cd);
  return out;
}

// The code set of the user's locale, without changing the process's own
// locale (the engine's case mapping must stay that of the C locale). Where
// the locale is not installed, the code set its name gives ("ja_JP.UTF-8").
std::string CodeSet() {
  locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (loc != static_cast<locale_t>(0)) {
    const std::string set = nl_langinfo_l(CODESET, loc);
    freelocale(loc);
    return set;
  }
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* v = std::getenv(name);
    if (!v || !*v) continue;
    std::string s = v;
    const std::size_t dot = s.find('.');
    if (dot == std::string::npos) break;
    s = s.substr(dot + 1);
    return s.substr(0, s.find('@'));
  }
  return "ANSI_X3.4-1968";
}

// The code set's name in upper case without "-" and "_": "UTF8", "SHIFTJIS".
std::string Plain(const std::string& set) {
  std::string r;
  for (char c : set)
    if (c != '-' && c != '_') r += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return r;
}

const std::string& TerminalCodeSet() {
  static const std::string set = CodeSet();
  return set;
}

}  // namespace

std::string TerminalText(const std::string& sjis) {
  const std::string plain = Plain(TerminalCodeSet());
  if (plain == "UTF8") return SjisToUtf8(sjis);
  if (plain == "SHIFTJIS" || plain == "SJIS" || plain == "CP932" || plain == "WINDOWS31J" || plain == "MSKANJI")
    return sjis;
  return Convert(TerminalCodeSet().c_str(), "CP932", sjis);
}

bool TerminalShowsJapanese() {
  const std::string plain = Plain(TerminalCodeSet());
  if (plain == "UTF8" || plain == "SHIFTJIS" || plain == "SJIS" || plain == "CP932" || plain == "WINDOWS31J")
    return true;
  bool opened = false;
  const std::string text = Convert(TerminalCodeSet().c_str(), "CP932", "\x93\xfa\x96\x7b", &opened);  // "Nihon"
  return opened && !text.empty() && text.find('?') == std::string::npos;
}

std::string Utf8ToSjis(const std::string& utf8) { return Convert("CP932", "UTF-8", utf8); }
std::string SjisToUtf8(const std::string& sjis) { return Convert("UTF-8", "CP932", sjis); }

}  // namespace tam

// UTF-8 and Shift-JIS conversion through iconv's CP932.
#include <iconv.h>

#include <cerrno>

#include "platform/platform.h"

namespace tam {

namespace {
std::string Convert(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
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
}  // namespace

std::string Utf8ToSjis(const std::string& utf8) { return Convert("CP932", "UTF-8", utf8); }
std::string SjisToUtf8(const std::string& sjis) { return Convert("UTF-8", "CP932", sjis); }

}  // namespace tam

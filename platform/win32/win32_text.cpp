// UTF-8 and Shift-JIS conversion through the system's code pages 65001 and
// 932, by way of UTF-16.
#include <windows.h>

#include <climits>

#include "platform/platform.h"

namespace tam {

namespace {

std::wstring Widen(UINT codePage, const std::string& in) {
  if (in.empty() || in.size() > INT_MAX / 2) return std::wstring();
  int n = MultiByteToWideChar(codePage, 0, in.data(), static_cast<int>(in.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, in.data(), static_cast<int>(in.size()), &out[0], n);
  return out;
}

std::string Narrow(UINT codePage, const std::wstring& in) {
  if (in.empty() || in.size() > INT_MAX / 4) return std::string();
  // Code page 65001 takes no default character.
  const char* fallback = codePage == CP_UTF8 ? nullptr : "?";
  int n = WideCharToMultiByte(codePage, 0, in.data(), static_cast<int>(in.size()), nullptr, 0, fallback, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, in.data(), static_cast<int>(in.size()), &out[0], n, fallback, nullptr);
  return out;
}

// Shift-JIS with bytes that are no character (a lead byte without its trail,
// an unassigned code): the system would put a katakana middle dot there,
// which reads like real text, so each such byte becomes "?" instead.
std::wstring WidenSjis(const std::string& in) {
  if (in.empty() || in.size() > INT_MAX / 2) return std::wstring();
  int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), nullptr, 0);
  if (n > 0) return Widen(932, in);
  std::wstring out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size();) {
    int len = IsDBCSLeadByteEx(932, static_cast<BYTE>(in[i])) && i + 1 < in.size() ? 2 : 1;
    wchar_t w[2];
    int m = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, in.data() + i, len, w, 2);
    if (m == 1 && !(len == 1 && IsDBCSLeadByteEx(932, static_cast<BYTE>(in[i])))) {
      out += w[0];
      i += len;
    } else {
      out += L'?';
      ++i;
    }
  }
  return out;
}

}  // namespace

std::string Utf8ToSjis(const std::string& utf8) { return Narrow(932, Widen(CP_UTF8, utf8)); }
std::string SjisToUtf8(const std::string& sjis) { return Narrow(CP_UTF8, WidenSjis(sjis)); }

namespace {
// The console's output code page, or the system's where there is no console.
UINT TerminalCodePage() {
  const UINT cp = GetConsoleOutputCP();
  return cp != 0 ? cp : GetACP();
}
}  // namespace

std::string TerminalText(const std::string& sjis) {
  const UINT cp = TerminalCodePage();
  return cp == 932 ? sjis : Narrow(cp, WidenSjis(sjis));
}

bool TerminalShowsJapanese() {
  const UINT cp = TerminalCodePage();
  if (cp == 932 || cp == CP_UTF8) return true;
  const std::string text = Narrow(cp, WidenSjis("\x93\xfa\x96\x7b"));  // "Nihon"
  return !text.empty() && text.find('?') == std::string::npos;
}

}  // namespace tam

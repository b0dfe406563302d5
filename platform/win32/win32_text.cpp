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

}  // namespace

std::string Utf8ToSjis(const std::string& utf8) { return Narrow(932, Widen(CP_UTF8, utf8)); }
std::string SjisToUtf8(const std::string& sjis) { return Narrow(CP_UTF8, Widen(932, sjis)); }

}  // namespace tam

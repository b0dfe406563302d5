// Shift-JIS aware path helpers of the win32 backend.
#pragma once

#include <windows.h>

#include <string>

namespace tam::win32 {

inline bool IsLead(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE; }

// The last character of s is a backslash of its own (not a trail byte).
inline bool EndsWithBackslash(const std::string& s) {
  bool last = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    last = s[i] == '\\';
    if (IsLead(s[i])) ++i;
  }
  return last;
}

}  // namespace tam::win32

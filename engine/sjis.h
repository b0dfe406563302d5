// Shift-JIS aware character routines. A character is one byte, or two when
// the first is a lead byte (0x81-0x9F, 0xE0-0xFC). Positions count from 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tam {

constexpr std::int32_t kRest = 2147483647;  // "to the end" count of CharCopy

// The lead-byte test and the character sizes are inline: the platform layer
// uses them too without linking the engine.
inline bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Length in bytes of the character at s[i]: two for a lead byte that has a
// byte after it, else one (a lone lead byte at the end).
inline std::size_t CharSize(const std::string& s, std::size_t i) {
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// The same for texts that may hold broken characters, such as settings
// lines and paths: a lead byte counts as two only before a byte that can
// trail one (0x40 and above). A lead byte before a control character or "%"
// therefore stands alone, so the character after it is never swallowed.
inline std::size_t SjisCharSize(const std::string& s, std::size_t i) {
  return CharSize(s, i) == 2 && static_cast<unsigned char>(s[i + 1]) >= 0x40 ? 2 : 1;
}

std::int32_t CharLength(std::string_view s);
std::int32_t CharPos(const std::string& sub, const std::string& s);
std::string CharCopy(std::string_view s, std::int32_t start, std::int32_t count);
// The bytes CharCopy copies, as a part of s.
std::string_view CharSpan(std::string_view s, std::int32_t start, std::int32_t count);

// Removes every byte of code 32 or less from both ends (or one end).
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

// The ANSI case mapping of code page 932: only A-Z and a-z change; bytes of
// double-byte characters are left alone.
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);

// Byte index (0-based) of the first occurrence of sub in s that starts on a
// character boundary, from byte `from` (a boundary); npos when absent.
std::size_t FindOnBoundary(const std::string& s, const std::string& sub, std::size_t from = 0);

// The byte matches of a non-empty pattern in a text, one after the other in
// increasing order, in time linear in the two however alike they are: a long
// pattern goes through a border table, since a plain search over texts of
// repeated bytes would take hours. Both texts must outlive the matcher.
constexpr std::size_t kShortPattern = 64;  // longer patterns use the border table

class ByteMatcher {
 public:
  ByteMatcher(std::string_view text, std::string_view pattern, std::size_t from = 0);
  // Byte index of the next match; npos when there is none left.
  std::size_t Next();

 private:
  std::string_view text_, pattern_;
  std::size_t at_;                     // next byte of the text to look at
  std::size_t matched_ = 0;            // pattern bytes matched before at_ (long patterns)
  std::vector<std::uint32_t> border_;  // longest proper border of pattern[0..i]
};

}  // namespace tam

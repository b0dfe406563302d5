#include "engine/sjis.h"

#include <climits>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tam {

namespace {

// True when the eight bytes at p are all below 0x80: single-byte characters
// none of which is a lead byte, so eight characters are eight bytes.
inline bool EightSingle(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return (w & 0x8080808080808080ull) == 0;
}

// Whether the eight bytes at p are all single-byte characters other than 0.
inline bool EightPlain(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  // A byte of 0x80 or above sets its top bit in w; a 0 byte borrows in
  // w - 0x01...01 and sets it there. Bytes of 1 to 0x7F set neither.
  return ((w | (w - 0x0101010101010101ull)) & 0x8080808080808080ull) == 0;
}

// The number of leading bytes of s, up to limit, that are single-byte
// characters other than 0: within them a character's position is its byte's.
inline std::size_t SingleRun(std::string_view s, std::size_t limit) {
  std::size_t b = 0;
#if defined(__SSE2__) || defined(_M_X64)
  // Sixteen at a time where the processor compares sixteen bytes at once.
  const __m128i zero = _mm_setzero_si128();
  const auto sixteenPlain = [&](std::size_t at) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + at));
    return (_mm_movemask_epi8(v) | _mm_movemask_epi8(_mm_cmpeq_epi8(v, zero))) == 0;
  };
  while (b + 16 <= limit && sixteenPlain(b)) b += 16;
  // Fewer than sixteen left: they are in the sixteen that end at the limit.
  if (b < limit && b + 16 > limit && limit >= 16 && sixteenPlain(limit - 16)) return limit;
#endif
  while (b + 16 <= limit && EightPlain(s.data() + b) && EightPlain(s.data() + b + 8)) b += 16;
  if (b + 8 <= limit && EightPlain(s.data() + b)) b += 8;
  // Fewer than eight left: they are in the eight that end at the limit.
  if (b < limit && b + 8 > limit && limit >= 8 && EightPlain(s.data() + limit - 8)) return limit;
  while (b < limit && s[b] != '\0' && static_cast<unsigned char>(s[b]) < 0x80) ++b;
  return b;
}

}  // namespace

std::int32_t CharLength(std::string_view s) {
  std::int32_t n = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    while (i + 8 <= s.size() && EightSingle(s.data() + i)) {
      i += 8;
      n += 8;
    }
    if (i >= s.size()) break;
    ++n;
    if (IsLeadByte(static_cast<unsigned char>(s[i]))) ++i;
  }
  return n;
}

std::int32_t CharPos(const std::string& sub, const std::string& s) {
  const std::size_t n = strnlen(sub.data(), sub.size());
  const std::size_t len = strnlen(s.data(), s.size());
  if (len == 0) return 0;
  std::int32_t c = 1;
  std::size_t b = 0;
  if (n <= kShortPattern) {  // compared at each character: at most 64 times linear
    for (; b + n <= len; ++c) {
      if (std::memcmp(s.data() + b, sub.data(), n) == 0) return c;
      b += IsLeadByte(static_cast<unsigned char>(s[b])) ? 2 : 1;
    }
    return 0;
  }
  ByteMatcher matches(std::string_view(s.data(), len), std::string_view(sub.data(), n));
  for (std::size_t at = matches.Next(); at != std::string::npos; at = matches.Next()) {
    for (; b < at; ++c) b += IsLeadByte(static_cast<unsigned char>(s[b])) ? 2 : 1;
    if (b == at) return c;  // else the match starts inside a character
  }
  return 0;
}

std::string_view CharSpan(std::string_view s, std::int32_t start, std::int32_t count) {
  if (count == kRest) {
    // Any count below 0 gives the same prefix; keep start - 1 in range.
    const std::string_view p = CharSpan(s, 1, start < 0 ? -1 : start - 1);
    return s.substr(p.size() < s.size() ? p.size() : s.size());
  }
  if (start >= 1 && count >= 0) {
    // The usual cut of single-byte characters: by bytes, when every
    // character up to its end is one.
    const long long want = static_cast<long long>(start) - 1 + count;
    const std::size_t limit = want < static_cast<long long>(s.size()) ? static_cast<std::size_t>(want) : s.size();
    if (SingleRun(s, limit) == limit) {
      const std::size_t from = static_cast<std::size_t>(start) - 1;
      if (from >= limit) return std::string_view();
      return s.substr(from, limit - from);
    }
  }
  const std::size_t len = strnlen(s.data(), s.size());
  const long long startL = start, stopAt = static_cast<long long>(start) + count;
  long long c = 1;
  std::size_t first = std::string::npos, stop = std::string::npos;
  for (std::size_t b = 0; b < len;) {
    if (c == startL) first = b;
    if (c == stopAt) {
      stop = b;
      break;
    }
    // Over a stretch of single-byte characters, eight at a time, as long as
    // neither the start nor the stop lies among them.
    const long long next = startL > c   ? (stopAt > c && stopAt < startL ? stopAt : startL)
                           : stopAt > c ? stopAt
                                        : LLONG_MAX;
    while (c + 8 <= next && b + 8 <= len && EightSingle(s.data() + b)) {
      c += 8;
      b += 8;
    }
    if (c == next || b >= len) continue;
    ++c;
    b += IsLeadByte(static_cast<unsigned char>(s[b])) ? 2 : 1;
  }
  if (first == std::string::npos) return std::string_view();
  if (first >= len) return std::string_view();
  if (stop == std::string::npos) return s.substr(first, len - first);
  if (stop <= first) return std::string_view();
  return s.substr(first, stop - first);
}

std::string CharCopy(std::string_view s, std::int32_t start, std::int32_t count) {
  return std::string(CharSpan(s, start, count));
}

namespace {
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }
}  // namespace

std::string Trim(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && IsBlank(s[a])) ++a;
  while (b > a && IsBlank(s[b - 1])) --b;
  return s.substr(a, b - a);
}

std::string TrimLeft(const std::string& s) {
  std::size_t a = 0;
  while (a < s.size() && IsBlank(s[a])) ++a;
  return s.substr(a);
}

std::string TrimRight(const std::string& s) {
  std::size_t b = s.size();
  while (b > 0 && IsBlank(s[b - 1])) --b;
  return s.substr(0, b);
}

std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (std::size_t i = 0; i < r.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(r[i]);
    if (IsLeadByte(c)) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      r[i] = static_cast<char>(c - 32);
    }
  }
  return r;
}

std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (std::size_t i = 0; i < r.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(r[i]);
    if (IsLeadByte(c)) {
      ++i;
    } else if (c >= 'A' && c <= 'Z') {
      r[i] = static_cast<char>(c + 32);
    }
  }
  return r;
}

std::size_t FindOnBoundary(const std::string& s, const std::string& sub, std::size_t from) {
  if (sub.size() <= kShortPattern) {  // compared at each character: at most 64 times linear
    for (std::size_t b = from; b + sub.size() <= s.size();) {
      if (s.compare(b, sub.size(), sub) == 0) return b;
      b += IsLeadByte(static_cast<unsigned char>(s[b])) ? 2 : 1;
    }
    return std::string::npos;
  }
  ByteMatcher matches(s, sub, from);
  std::size_t b = from;
  for (std::size_t at = matches.Next(); at != std::string::npos; at = matches.Next()) {
    while (b < at) b += IsLeadByte(static_cast<unsigned char>(s[b])) ? 2 : 1;
    if (b == at) return at;  // else the match starts inside a character
  }
  return std::string::npos;
}

ByteMatcher::ByteMatcher(std::string_view text, std::string_view pattern, std::size_t from)
    : text_(text), pattern_(pattern), at_(from) {
  const std::size_t m = pattern_.size();
  if (m <= kShortPattern) return;  // a plain search is at most 64 times linear
  border_.assign(m, 0);
  for (std::size_t i = 1, k = 0; i < m; ++i) {
    while (k > 0 && pattern_[i] != pattern_[k]) k = border_[k - 1];
    if (pattern_[i] == pattern_[k]) ++k;
    border_[i] = static_cast<std::uint32_t>(k);
  }
}

std::size_t ByteMatcher::Next() {
  const std::size_t m = pattern_.size();
  if (m == 0 || at_ > text_.size()) return std::string::npos;
  if (border_.empty()) {
    const std::size_t found = text_.find(pattern_, at_);
    at_ = found == std::string::npos ? text_.size() + 1 : found + 1;
    return found;
  }
  while (at_ < text_.size()) {
    const char c = text_[at_++];
    while (matched_ > 0 && c != pattern_[matched_]) matched_ = border_[matched_ - 1];
    if (c == pattern_[matched_] && ++matched_ == m) {
      matched_ = border_[m - 1];
      return at_ - m;
    }
  }
  return std::string::npos;
}

}  // namespace tam

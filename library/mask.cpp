#include "library/mask.h"

#include "engine/failure.h"
#include "engine/sjis.h"

namespace tam {

namespace {

// Character comparisons a single match may take before it is given up; far
// beyond any file name, but a bound on texts built to make the search slow.
constexpr std::uint64_t kMatchBudget = 20u * 1000 * 1000;

// The character at s[i] as a code (lead * 256 + trail for a double-byte
// one), ASCII letters in upper case; i moves past it.
std::uint16_t NextChar(const std::string& s, std::size_t& i) {
  const unsigned char c = static_cast<unsigned char>(s[i++]);
  if (IsLeadByte(c) && i < s.size()) return static_cast<std::uint16_t>(c << 8 | static_cast<unsigned char>(s[i++]));
  return c >= 'a' && c <= 'z' ? static_cast<std::uint16_t>(c - 'a' + 'A') : c;
}

[[noreturn]] void Invalid(const std::string& mask, std::size_t position) {
  throw EngineFault("'" + mask + "' is an invalid mask at (" + std::to_string(position) + ")");
}

}  // namespace

bool Mask::Token::Accepts(std::uint16_t c) const {
  switch (kind) {
    case Kind::kChar:
      return c == code;
    case Kind::kSet:
      for (const auto& r : ranges)
        if (c >= r.first && c <= r.second) return !negate;
      return negate;
    default:
      return true;
  }
}

Mask::Mask(const std::string& mask) {
  std::size_t i = 0;
  while (i < mask.size()) {
    Token t;
    if (mask[i] == '*') {
      ++i;
      if (!tokens_.empty() && tokens_.back().kind == Kind::kStar) continue;
      t.kind = Kind::kStar;
    } else if (mask[i] == '?') {
      ++i;
      t.kind = Kind::kAny;
    } else if (mask[i] == '[') {
      t.kind = Kind::kSet;
      if (++i < mask.size() && mask[i] == '!') {
        t.negate = true;
        ++i;
      }
      while (i < mask.size() && mask[i] != ']') {
        if (mask[i] == '-') Invalid(mask, i + 1);  // a range needs its start
        const std::uint16_t first = NextChar(mask, i);
        std::uint16_t last = first;
        if (i < mask.size() && mask[i] == '-') {
          if (++i >= mask.size() || mask[i] == ']') Invalid(mask, i + 1);  // and its end
          last = NextChar(mask, i);
        }
        t.ranges.emplace_back(first, last);
      }
      if (i >= mask.size() || t.ranges.empty()) Invalid(mask, i + 1);
      ++i;
    } else {
      t.code = NextChar(mask, i);
    }
    tokens_.push_back(std::move(t));
  }
}

bool Mask::Matches(const std::string& name) const {
  std::vector<std::uint16_t> chars;
  chars.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) chars.push_back(NextChar(name, i));
  // Every token but * takes one character, so it is enough to retry from
  // the last * seen, letting it take one character more each time.
  const std::size_t none = static_cast<std::size_t>(-1);
  std::size_t t = 0, n = 0, starToken = none, starChar = 0;
  std::uint64_t work = 0;
  while (n < chars.size()) {
    if (++work > kMatchBudget) throw EngineFault("The mask is too complex to match");
    if (t < tokens_.size() && tokens_[t].kind == Kind::kStar) {
      starToken = ++t;
      starChar = n;
    } else if (t < tokens_.size() && tokens_[t].Accepts(chars[n])) {
      ++t;
      ++n;
    } else if (starToken != none) {
      t = starToken;
      n = ++starChar;
    } else {
      return false;
    }
  }
  while (t < tokens_.size() && tokens_[t].kind == Kind::kStar) ++t;
  return t == tokens_.size();
}

MaskList::MaskList(const std::string& masks) {
  // Split at every ";" that is a character of its own.
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < masks.size(); ++i) {
    if (masks[i] == ';') {
      parts.emplace_back();
      continue;
    }
    parts.back() += masks[i];
    if (IsLeadByte(static_cast<unsigned char>(masks[i])) && i + 1 < masks.size()) parts.back() += masks[++i];
  }
  // "a;" holds one mask and the empty text none.
  if (parts.back().empty()) parts.pop_back();
  for (std::string& raw : parts) {
    std::string part = Trim(raw);
    if (part.size() >= 2 && part.compare(part.size() - 2, 2, ".*") == 0) {
      part.resize(part.size() - 2);
      if (part.empty() || part.back() != '*') part += '*';
    }
    masks_.emplace_back(part);
  }
}

bool MaskList::Matches(const std::string& name) const {
  for (const Mask& m : masks_)
    if (m.Matches(name)) return true;
  return false;
}

}  // namespace tam

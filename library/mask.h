// Name masks: * matches any run of characters (none too), ? one character,
// [...] one character of a set of characters and ranges (a-z), [!...] one
// character outside such a set; any other character matches itself. ASCII
// letters match in either case; a double-byte character counts as one.
// Standing alone so that fuzzers can drive it directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tam {

class Mask {
 public:
  // Compiles a mask. A malformed one (a set that is not closed, an empty set,
  // a range without a start) throws EngineFault with the text
  // "'MASK' is an invalid mask at (N)", N the byte position of the fault.
  explicit Mask(const std::string& mask);

  // Whether the whole name matches. Throws EngineFault when a pathological
  // mask and name would take unreasonably long.
  bool Matches(const std::string& name) const;

 private:
  enum class Kind : std::uint8_t { kChar, kAny, kStar, kSet };
  struct Token {
    Kind kind = Kind::kChar;
    bool negate = false;
    std::uint16_t code = 0;                                       // kChar
    std::vector<std::pair<std::uint16_t, std::uint16_t>> ranges;  // kSet
    bool Accepts(std::uint16_t c) const;
  };
  std::vector<Token> tokens_;
};

// A list of masks separated by ";", each trimmed; a mask that ends in ".*"
// loses it and gets a "*" unless it then ends in one, so that "*.*" is "*"
// and "readme.*" also matches "readme". An empty list matches nothing.
class MaskList {
 public:
  explicit MaskList(const std::string& masks);
  // True at the first mask that matches.
  bool Matches(const std::string& name) const;

 private:
  std::vector<Mask> masks_;
};

}  // namespace tam

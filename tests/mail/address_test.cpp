// The machine-dependent filter at the edges of its byte ranges, where an
// off-by-one would keep or drop whole rows of characters.
#include "mail/address.h"

#include <gtest/gtest.h>

namespace tam {
namespace {

TEST(DoubleByteFilters, MachineDependentRangeEdges) {
  struct Case {
    const char* bytes;
    bool kept;
  };
  const Case cases[] = {
      {"\x84\x9F", false}, {"\x85\x40", true},  {"\x87\x7E", true},  {"\x87\x80", true},  {"\x87\xFC", true},
      {"\x88\x40", true},  {"\x88\x7E", true},  {"\x88\x80", true},  {"\x88\x81", false}, {"\x88\x9F", false},
      {"\x89\x40", false}, {"\xEA\xA4", false}, {"\xEB\x40", true},  {"\xEE\xA0", true},  {"\xEE\xA1", false},
      {"\xEE\xFC", false}, {"\xEF\x40", false}, {"\xFA\x40", false},
  };
  for (const Case& c : cases) {
    const std::string s = c.bytes;
    EXPECT_EQ(MachineDependentOnly("a" + s + "b"), c.kept ? s : "")
        << std::hex << +(unsigned char)s[0] << " " << +(unsigned char)s[1];
  }
  // A trail byte that looks like one of the kept lead bytes is not a lead
  // byte: the walk is by characters, not by bytes.
  EXPECT_EQ(MachineDependentOnly("\x82\x87\x40"), "");
  // A lead byte cut off at the end is no character of either filter.
  EXPECT_EQ(MachineDependentOnly("\x87\x40\x87"), "\x87\x40");
  EXPECT_EQ(DoubleByteOnly("a\x82\xA0\x87"), "\x82\xA0");
}

}  // namespace
}  // namespace tam

// The mask matcher on its own: malformed masks, mask lists and masks built
// to make the search slow.
#include "library/mask.h"

#include <gtest/gtest.h>

#include "engine/failure.h"

namespace tam {
namespace {

std::string FaultOf(const std::string& mask) {
  try {
    Mask m(mask);
  } catch (const EngineFault& e) {
    return e.what();
  }
  return "no fault";
}

TEST(Masks, MalformedMasksNameThePosition) {
  EXPECT_EQ(FaultOf("ab[c"), "'ab[c' is an invalid mask at (5)");
  EXPECT_EQ(FaultOf("["), "'[' is an invalid mask at (2)");
  EXPECT_EQ(FaultOf("[!"), "'[!' is an invalid mask at (3)");
  EXPECT_EQ(FaultOf("x[]"), "'x[]' is an invalid mask at (3)");
  EXPECT_EQ(FaultOf("[-z]"), "'[-z]' is an invalid mask at (2)");
  EXPECT_EQ(FaultOf("[a-]"), "'[a-]' is an invalid mask at (4)");
  EXPECT_EQ(FaultOf("[a-"), "'[a-' is an invalid mask at (4)");
  // A "]" outside a set and a lone lead byte at the end are plain characters.
  EXPECT_EQ(FaultOf("a]"), "no fault");
  EXPECT_TRUE(Mask("a]\x82").Matches("A]\x82"));
}

TEST(Masks, SetsRangesAndDoubleByteCharacters) {
  EXPECT_TRUE(Mask("[a-cx]").Matches("B"));
  EXPECT_TRUE(Mask("[a-cx]").Matches("x"));
  EXPECT_FALSE(Mask("[!a-cx]").Matches("X"));
  EXPECT_FALSE(Mask("[c-a]").Matches("b"));  // an empty range
  // 表 (0x95 0x5C) holds the byte of "\"; ソ (0x83 0x5C) as well.
  EXPECT_FALSE(Mask("*\\*").Matches("\x95\x5C"));
  EXPECT_TRUE(Mask("[\x83\x40-\x83\x96]").Matches("\x83\x5C"));
  EXPECT_FALSE(Mask("??").Matches("\x95\x5C"));
}

TEST(Masks, MaskLists) {
  EXPECT_FALSE(MaskList("").Matches("a"));
  EXPECT_TRUE(MaskList("*.*").Matches("noext"));
  EXPECT_TRUE(MaskList("readme.*").Matches("README"));
  EXPECT_FALSE(MaskList("*.txt").Matches("a.txt2"));
  EXPECT_TRUE(MaskList(" *.c ; *.h ").Matches("x.h"));
  // An empty part between ";" matches no name.
  EXPECT_FALSE(MaskList(";;").Matches("a"));
  // Every part is compiled, also after one that matches.
  EXPECT_THROW(MaskList("*;[x"), EngineFault);
}

TEST(Masks, SlowSearchesAreBounded) {
  const std::string name(100000, 'a');
  // Each * leaves one retry behind, so this stays linear.
  std::string stars;
  for (int i = 0; i < 2000; ++i) stars += "*a";
  EXPECT_FALSE(Mask(stars + "b").Matches(name));
  // A long literal after a * is retried at every position: it gives up.
  EXPECT_THROW(Mask("*" + std::string(50000, 'a') + "b").Matches(name), EngineFault);
}

}  // namespace
}  // namespace tam

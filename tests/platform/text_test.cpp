// Conversion between UTF-8 and Shift-JIS, the same on every backend. Plain
// literals here are compiled to Shift-JIS, u8 literals stay UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace tam {
namespace {

TEST(TextConversion, JapaneseTextConvertsBothWays) {
  // Kanji, half-width katakana, NEC and IBM extensions, the full-width tilde.
  const std::string utf8 = u8"日本語ｱ①髙～ abc\\~";
  const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea\xb1\x87\x40\xfb\xfc\x81\x60 abc\\~";
  EXPECT_EQ(Utf8ToSjis(utf8), sjis);
  EXPECT_EQ(SjisToUtf8(sjis), utf8);
  EXPECT_EQ(Utf8ToSjis(u8"返信作成"), "返信作成");
  EXPECT_EQ(Utf8ToSjis(""), "");
  EXPECT_EQ(SjisToUtf8(""), "");
  EXPECT_EQ(SjisToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(TextConversion, BytesThatAreNoCharacterBecomeQuestionMarks) {
  // A lead byte at the end, a lead byte before a blank, an unassigned code.
  EXPECT_EQ(SjisToUtf8("a\x82"), "a?");
  EXPECT_EQ(SjisToUtf8("a\x82 b"), "a? b");
  EXPECT_EQ(SjisToUtf8("a\x85\x40z"), "a?@z");
  EXPECT_EQ(SjisToUtf8("\xa0"
                       "1"),
            "?1");
  // Broken UTF-8 and a character that Shift-JIS has not.
  EXPECT_EQ(Utf8ToSjis("a\xff"
                       "b"),
            "a?b");
  std::string emoji = Utf8ToSjis(u8"a😀b");
  EXPECT_EQ(emoji.front(), 'a');
  EXPECT_EQ(emoji.back(), 'b');
  EXPECT_EQ(emoji.find_first_not_of("ab?"), std::string::npos);
}

}  // namespace
}  // namespace tam

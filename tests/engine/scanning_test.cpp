// Shift-JIS character routines and the scanner's splitting rules.
#include <gtest/gtest.h>

#include "engine/scanner.h"
#include "engine/sjis.h"

namespace tam {
namespace {

// "表" is 0x95 0x5C: its trail byte is the backslash byte.
const std::string kHyo = "\x95\x5C";
// "ソ" is 0x83 0x5C; "ポ" is 0x83 0x7C; 0x81 0x22 has the quote byte as trail.
const std::string kQuoteTrail = "\x81\x22";

TEST(CharRoutines, CountAndCutByCharacters) {
  const std::string s = "a" + kHyo + "b";
  EXPECT_EQ(CharLength(s), 3);
  EXPECT_EQ(CharLength("\x95"), 1);  // a lone lead byte at the end is one character
  EXPECT_EQ(CharCopy(s, 2, 1), kHyo);
  EXPECT_EQ(CharCopy(s, 2, kRest), kHyo + "b");
  EXPECT_EQ(CharCopy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(CharCopy("abc", 0, 2), "");
  EXPECT_EQ(CharCopy("abc", 1, 0), "");
  EXPECT_EQ(CharCopy("abc", 2, 10), "bc");
  EXPECT_EQ(CharCopy("abc", 5, 1), "");
  EXPECT_EQ(CharCopy("abc", 2, -1), "");  // start + count >= 1
  EXPECT_EQ(CharCopy("abc", 2, -5), "bc");
  EXPECT_EQ(CharCopy("abc", 1, kRest), "abc");
  EXPECT_EQ(CharCopy("abc", 0, kRest), "");
  EXPECT_EQ(CharCopy("abc", -2147483647 - 1, kRest), "");
  EXPECT_EQ(CharCopy(std::string("ab\0cd", 5), 1, 10), "ab");  // NUL ends the walk
}

TEST(CharRoutines, SearchNeverMatchesInsideACharacter) {
  EXPECT_EQ(CharPos("\\", kHyo), 0);
  EXPECT_EQ(CharPos("\\", kHyo + "\\"), 2);
  EXPECT_EQ(CharPos("\"", kQuoteTrail), 0);
  EXPECT_EQ(CharPos("c", "abc"), 3);
  EXPECT_EQ(CharPos("", "abc"), 1);
  EXPECT_EQ(CharPos("", ""), 0);
  EXPECT_EQ(CharPos("abcd", "abc"), 0);
  EXPECT_EQ(FindOnBoundary(kHyo + "(", "("), 2u);
}

TEST(Scanner, SplitsLinesAtEveryKindOfBreak) {
  const auto lines = SplitLines("a\r\nb\rc\nd\te\r\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "d e");
  EXPECT_EQ(SplitLines("x\n\ny").size(), 3u);
  EXPECT_EQ(SplitLines(std::string("a\nb\0c\nd", 7)).size(), 2u);
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(Scanner, CommentLines) {
  EXPECT_TRUE(IsCommentLine("  ' note"));
  EXPECT_TRUE(IsCommentLine("// x"));
  EXPECT_TRUE(IsCommentLine("REM"));
  EXPECT_TRUE(IsCommentLine("rem note"));
  EXPECT_FALSE(IsCommentLine("REMARK = 1"));
  EXPECT_FALSE(IsCommentLine(""));
}

TEST(Scanner, MaskedCopyKeepsCharacterPositions) {
  const std::string line = "if \"" + kHyo + " while \" while x";
  const std::string m = MaskQuotes(line);
  EXPECT_EQ(CharLength(m), CharLength(line));
  EXPECT_EQ(CharPos(" WHILE ", m), 14);
}

TEST(Scanner, Assignments) {
  std::string t, e;
  ASSERT_EQ(SplitAssignment("A = B = C", t, e), SplitResult::kOk);
  EXPECT_EQ(t, "A = B");
  EXPECT_EQ(e, "C");
  ASSERT_EQ(SplitAssignment("A = (B = C)", t, e), SplitResult::kOk);
  EXPECT_EQ(t, "A");
  ASSERT_EQ(SplitAssignment("X = \"a=b\"", t, e), SplitResult::kOk);
  EXPECT_EQ(e, "\"a=b\"");
  ASSERT_EQ(SplitAssignment("   ", t, e), SplitResult::kOk);
  EXPECT_EQ(t, "");
  EXPECT_EQ(e, "");
  EXPECT_EQ(SplitAssignment("X = \"abc", t, e), SplitResult::kUnmatchedQuote);
  EXPECT_EQ(SplitAssignment("X = (1 + 2", t, e), SplitResult::kUnmatchedParen);
  // A trail byte 0x22 is no quote.
  EXPECT_EQ(SplitAssignment("X = \"" + kQuoteTrail + "\"", t, e), SplitResult::kOk);
}

TEST(Scanner, Arguments) {
  EXPECT_EQ(SplitArguments("a, (b, c), \"d,e\"").size(), 3u);
  EXPECT_EQ(SplitArguments("a,").size(), 1u);
  const auto three = SplitArguments("a,,b");
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(three[1], "");
  EXPECT_TRUE(SplitArguments("").empty());
}

}  // namespace
}  // namespace tam

// Shift-JIS character routines and the scanner's splitting rules.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/scanner.h"
#include "engine/sjis.h"
#include "engine/text_lines.h"

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

// The character walk one byte at a time, as the routines did before they
// learnt to step over runs of single-byte characters.
std::string WalkCopy(const std::string& s, std::int32_t start, std::int32_t count) {
  if (count == kRest) {
    const std::string p = WalkCopy(s, 1, start < 0 ? -1 : start - 1);
    return s.substr(p.size() < s.size() ? p.size() : s.size());
  }
  const std::size_t len = strnlen(s.data(), s.size());
  const long long stopAt = static_cast<long long>(start) + count;
  long long c = 1;
  std::size_t first = std::string::npos, stop = std::string::npos;
  for (std::size_t b = 0; b < len; ++c, b += IsLeadByte(static_cast<unsigned char>(s[b])) ? 2 : 1) {
    if (c == start) first = b;
    if (c == stopAt) {
      stop = b;
      break;
    }
  }
  if (first == std::string::npos || first >= len) return std::string();
  if (stop == std::string::npos) return s.substr(first, len - first);
  return stop <= first ? std::string() : s.substr(first, stop - first);
}

TEST(CharRoutines, RunsOfSingleByteCharactersCountAsTheWalkDoes) {
  std::mt19937 gen(29);
  auto pick = [&](int n) { return static_cast<int>(gen() % static_cast<unsigned>(n)); };
  // Texts of ASCII runs of every length around eight, double-byte characters,
  // half-width kana, lone lead bytes at the end and now and then a NUL.
  for (int round = 0; round < 200000; ++round) {
    std::string s;
    for (int piece = pick(6); piece > 0; --piece) {
      switch (pick(5)) {
        case 0:
          s.append(static_cast<std::size_t>(pick(20)), static_cast<char>('a' + pick(26)));
          break;
        case 1:
          s += kHyo;
          break;
        case 2:
          s += static_cast<char>(0xA0 + pick(64));  // half-width kana: one byte, high bit set
          break;
        case 3:
          s += static_cast<char>(0x81 + pick(31));  // a lead byte, before whatever follows
          break;
        default:
          s += pick(40) == 0 ? '\0' : static_cast<char>(0x20 + pick(95));
      }
    }
    const std::int32_t start = pick(60) - 5;
    const std::int32_t count = pick(8) == 0 ? kRest : pick(70) - 10;
    ASSERT_EQ(CharCopy(s, start, count), WalkCopy(s, start, count)) << round;
    std::int32_t n = 0;
    for (std::size_t i = 0; i < s.size(); ++i, ++n) i += IsLeadByte(static_cast<unsigned char>(s[i])) ? 1 : 0;
    ASSERT_EQ(CharLength(s), n) << round;
  }
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

// The character searches walk the text character by character; they must
// give what that walk gives for short and long patterns alike, and stay
// linear on texts where nearly every position almost matches.
TEST(CharRoutines, SearchesAgreeWithAWalkAndStayLinear) {
  auto walkFind = [](const std::string& s, const std::string& sub, std::size_t from) {
    for (std::size_t b = from; b + sub.size() <= s.size();) {
      if (s.compare(b, sub.size(), sub) == 0) return b;
      b += IsLeadByte(static_cast<unsigned char>(s[b])) ? 2 : 1;
    }
    return std::string::npos;
  };
  std::mt19937 gen(11);
  const char alphabet[] = {'a', '\x95', '\x5C'};  // "表" is 0x95 0x5C
  auto text = [&](std::size_t n) {
    std::string t;
    for (std::size_t i = 0; i < n; ++i) t += alphabet[gen() % 3];
    return t;
  };
  for (int trial = 0; trial < 3000; ++trial) {
    const std::string sub = text(1 + gen() % (trial % 2 ? 100 : 6));
    std::string s = text(gen() % 300);
    if (trial % 3 == 0) s.insert(gen() % (s.size() + 1), sub);
    const std::size_t from = s.empty() ? 0 : gen() % 3;
    ASSERT_EQ(FindOnBoundary(s, sub, from), walkFind(s, sub, from));
    const std::size_t at = walkFind(s, sub, 0);
    ASSERT_EQ(CharPos(sub, s), at == std::string::npos ? 0 : CharLength(s.substr(0, at)) + 1);
  }
  // A quadratic search would take minutes here (the test's time-out catches it).
  const std::string many(8u << 20, 'a'), sub = std::string(1u << 20, 'a') + "b";
  EXPECT_EQ(CharPos(sub, many), 0);
  EXPECT_EQ(CharPos(sub, "\x95\x5C" + many + "b"), (8 << 20) - (1 << 20) + 2);
  EXPECT_EQ(FindOnBoundary(many, sub), std::string::npos);
}

TEST(TextLines, SplitAtEveryKindOfBreakAndJoinWithCrLf) {
  using Lines = std::vector<std::string>;
  using namespace std::string_literals;
  EXPECT_EQ(SplitTextLines("a\r\nb\rc\nd\0e\t\r\n\r\n"s), (Lines{"a", "b", "c", "d\0e\t"s, ""}));
  EXPECT_EQ(SplitTextLines("a\n\r"), (Lines{"a", ""}));
  EXPECT_TRUE(SplitTextLines("").empty());
  // Long stretches with one kind of break only, then the other kind, then
  // breaks at the very end.
  EXPECT_EQ(SplitTextLines("a\nb\nc\nd\re\rf\r\ng\r\r\n\n\rh"),
            (Lines{"a", "b", "c", "d", "e", "f", "g", "", "", "", "h"}));
  EXPECT_EQ(SplitTextLines("\r"), (Lines{""}));
  EXPECT_EQ(SplitTextLines("a\r"), (Lines{"a"}));
  EXPECT_EQ(SplitTextLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(SplitTextLines("\n\n"), (Lines{"", ""}));
  EXPECT_EQ(SplitTextLines("no break"), (Lines{"no break"}));
  EXPECT_EQ(JoinTextLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(SplitTextLines(JoinTextLines({"a", "", "b"})), (Lines{"a", "", "b"}));
}

TEST(Sjis, CharacterSizes) {
  // A lead byte takes the next byte along; in settings lines and paths only
  // a byte that can trail one, so "%" and control characters stay whole.
  EXPECT_EQ(CharSize("\x95\x5C", 0), 2u);
  EXPECT_EQ(SjisCharSize("\x95\x5C", 0), 2u);
  EXPECT_EQ(CharSize("\x81%", 0), 2u);
  EXPECT_EQ(SjisCharSize("\x81%", 0), 1u);
  EXPECT_EQ(SjisCharSize("\x81\r", 0), 1u);
  EXPECT_EQ(CharSize("a\x81", 1), 1u);  // a lone lead byte at the end
  EXPECT_EQ(SjisCharSize("a\x81", 1), 1u);
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

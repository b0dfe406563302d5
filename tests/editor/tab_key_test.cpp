// The Tab key of the program editors, worked out on the text's lines.
#include "editor/tab_key.h"

#include <gtest/gtest.h>

namespace tam::editor {
namespace {

using Strings = std::vector<std::string>;

// The Tab key on a text, with the selection written into it as [ and ].
std::string Tab(const std::string& marked, bool shift) {
  Strings lines;
  TextPlace start, end;
  std::string line;
  int n = 0;
  for (char ch : marked) {
    if (ch == '[') {
      start = {n, static_cast<int>(line.size())};
    } else if (ch == ']') {
      end = {n, static_cast<int>(line.size())};
    } else if (ch == '\n') {
      lines.push_back(line);
      line.clear();
      ++n;
    } else {
      line += ch;
    }
  }
  lines.push_back(line);
  TabOutcome out = TabKey(lines, start, end, shift);
  ApplyEdits(lines, out.edits);
  std::string result;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    std::string l = lines[i];
    if (out.selEnd.line == i) l.insert(out.selEnd.column, "]");
    if (out.selStart.line == i) l.insert(out.selStart.column, "[");
    result += (i ? "\n" : "") + l;
  }
  return result;
}

TEST(TabKey, CaretAndPartialSelections) {
  EXPECT_EQ(Tab("ab[]cd", false), "ab\t[]cd");
  EXPECT_EQ(Tab("a[bc]d", false), "a\t[bc]d");
  EXPECT_EQ(Tab("a[b\nc]d", false), "a\t[b\nc]d");
  EXPECT_EQ(Tab("ab\t[]cd", true), "ab[]cd");
  EXPECT_EQ(Tab("ab\t[c]d", true), "ab[c]d");
  EXPECT_EQ(Tab("ab [c]d", true), "ab [c]d");
  EXPECT_EQ(Tab("\tab\n[]cd", true), "\tab\n[]cd");
  // A selection from column 0 that stops inside a line is not whole lines.
  EXPECT_EQ(Tab("[ab]cd", false), "\t[ab]cd");
  // The caret after a double-byte character whose trail byte is not a tab.
  EXPECT_EQ(Tab("表[]", true), "表[]");
}

TEST(TabKey, WholeLinesIndentAndOutdent) {
  const std::string lines25 = "1\n[2\n\t3\n4\n]5";
  EXPECT_EQ(Tab(lines25, false), "1\n[\t2\n\t\t3\n\t4\n]5");
  EXPECT_EQ(Tab(lines25, true), "1\n[2\n3\n4\n]5");
  const std::string toEnd = "1\n[\t2\n\t3\n4]\n5";
  EXPECT_EQ(Tab(toEnd, false), "1\n[\t\t2\n\t\t3\n\t4]\n5");
  EXPECT_EQ(Tab(toEnd, true), "1\n[2\n3\n4]\n5");
  EXPECT_EQ(Tab("[\tone]", true), "[one]");
  EXPECT_EQ(Tab("[one]", false), "[\tone]");
  // An empty last line reached at its column 0 is left out.
  EXPECT_EQ(Tab("[a\n]", false), "[\ta\n]");
}

}  // namespace
}  // namespace tam::editor

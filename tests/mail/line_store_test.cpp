// Lines of a body kept in one text: bounds, the text written out, and lines
// borrowed from the caller's text turning into lines of the store's own.
#include "mail/line_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tam {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(LineStore, OwnLinesKeepTheirBounds) {
  LineStore s;
  s.push_back("a\nb");
  s.emplace_back();
  s.AppendPrefixed("> ", LineStore{"c\r\n", ""});
  s.push_back("\0x"s);
  EXPECT_EQ(s, (Lines{"a\nb", "", "> c\r\n", "> ", "\0x"s}));
  EXPECT_EQ(s.Text(), "a\nb\n\n> c\r\n\n> \n\0x\n"s);
  EXPECT_EQ(s.Bytes(), 3u + 0u + 5u + 2u + 2u);
  EXPECT_EQ(s.Lines(), (Lines{"a\nb", "", "> c\r\n", "> ", "\0x"s}));
  EXPECT_EQ(LineStore(Lines{"a\nb", "", "> c\r\n", "> ", "\0x"s}), s);
  LineStore twice{"x", ""};
  twice.AppendPrefixed("|", twice);  // its own lines, as they were before
  EXPECT_EQ(twice, (Lines{"x", "", "|x", "|"}));
  s.Release();
  EXPECT_TRUE(s.empty());
  EXPECT_EQ(s.Text(), "");
}

TEST(LineStore, BorrowedLinesBecomeOwnWhenAddedTo) {
  std::string text = "one\r\ntwo\r\n";
  LineStore s;
  s.ReserveBorrowed(3);
  s.Borrow(std::string_view(text).substr(0, 3));
  s.Borrow(std::string_view());
  s.Borrow(std::string_view(text).substr(5, 3));
  EXPECT_TRUE(s.Borrowed());
  EXPECT_EQ(s, (Lines{"one", "", "two"}));
  EXPECT_EQ(s.Bytes(), 6u);
  LineStore quoted;
  quoted.AppendPrefixed("> ", s);
  EXPECT_EQ(quoted.Text(), "> one\n> \n> two\n");
  s.push_back("three");  // copies the borrowed lines first
  text.assign(text.size(), 'x');
  EXPECT_FALSE(s.Borrowed());
  EXPECT_EQ(s, (Lines{"one", "", "two", "three"}));
  s.Borrow(std::string_view(text).substr(0, 2));  // a store of its own copies
  EXPECT_EQ(s.Text(), "one\n\ntwo\nthree\nxx\n");
  s.Release();
  s.Borrow("y");
  EXPECT_TRUE(s.Borrowed());
  EXPECT_EQ(s, (Lines{"y"}));
}

}  // namespace
}  // namespace tam

// Received mails are hostile input: generated mails that nest deeply, repeat
// delimiters, carry huge lines, NUL bytes or broken double-byte characters
// must be walked without crash and in time linear in their size.
#include <gtest/gtest.h>

#include "mail_files.h"

namespace tam {
namespace {

using testing_mail::Walk;
using Lines = std::vector<std::string>;

// These mails are large on purpose: a walk that is not linear in the size of
// the mail would not finish within the test's time limit
// (bench/run-mail-bench.sh measures the walk's speed).

std::string Nested(int levels, bool distinct, bool closed) {
  std::string text;
  for (int i = 0; i < levels; ++i) {
    const std::string b = distinct ? "b" + std::to_string(i) : "b";
    text += "Content-Type: multipart/mixed; boundary=\"" + b + "\"\r\n\r\n--" + b + "\r\n";
  }
  text += "Content-Type: text/plain\r\n\r\ninner\r\n";
  if (closed)
    for (int i = levels - 1; i >= 0; --i) text += "--" + (distinct ? "b" + std::to_string(i) : "b") + "--\r\n";
  return text;
}

TEST(HostileMail, DeepNesting) {
  // Every level opens a container whose only part is the next level.
  EXPECT_EQ(Walk(Nested(100000, true, true)).RefBody, (Lines{"inner"}));
  EXPECT_EQ(Walk(Nested(100000, true, false)).RefBody, (Lines{"inner"}));
  // With one boundary for all, every delimiter belongs to the outermost
  // container: a row of parts without bodies, then the plain one.
  EXPECT_EQ(Walk(Nested(100000, false, true)).RefBody, (Lines{"inner"}));
}

TEST(HostileMail, DelimiterOnEveryLine) {
  std::string text = "Content-Type: multipart/mixed; boundary=x\r\n\r\n";
  for (int i = 0; i < 500000; ++i) text += "--x\r\n";
  text += "Content-Type: text/plain\r\n\r\nlast\r\n";
  EXPECT_EQ(Walk(text).RefBody, (Lines{"last"}));

  // Every line the delimiter of a newly opened container, none closed.
  std::string chain;
  for (int i = 0; i < 200000; ++i)
    chain +=
        "Content-Type: multipart/mixed; boundary=x" + std::to_string(i) + "\r\n\r\n--x" + std::to_string(i) + "\r\n";
  EXPECT_TRUE(Walk(chain).RefBody.empty());
}

TEST(HostileMail, HugeLines) {
  const std::string big(10 * 1024 * 1024, 'a');
  TMailState m = Walk("Content-Type: multipart/mixed; boundary=z" + big + "\r\n\r\n--z" + big + "\r\nX: " + big +
                      "\r\n\r\n" + big + "\r\n--" + big + "\r\n--z" + big + "--\r\n");
  ASSERT_EQ(m.RefBody.size(), 2u);
  EXPECT_EQ(m.RefBody[0], big);
  EXPECT_EQ(m.RefBody[1], "--" + big);
}

TEST(HostileMail, NoEmptyLineAtAll) {
  std::string text;
  for (int i = 0; i < 300000; ++i) text += "Content-Type: multipart/mixed; boundary=x\r\n--x\r\n";
  TMailState m = Walk(text);
  EXPECT_EQ(m.RefHeader.size(), 600000u);
  EXPECT_TRUE(m.RefBody.empty());
}

TEST(HostileMail, NulBytesAndBrokenDoubleByteCharacters) {
  using namespace std::string_literals;
  // A NUL inside the boundary is part of it; a lone lead byte swallows the
  // quote after it, and one at the very end of a line is a whole character.
  TMailState nul = Walk("Content-Type: multipart/mixed; boundary=\"a\0b\"\n\n--a\0b\nX: \0\n\nbody\0\n--a\0b--\n"s);
  EXPECT_EQ(nul.RefBody, (Lines{"body\0"s}));

  const char* broken[] = {
      "Content-Type: multipart/mixed; boundary=\"\x81",
      "Content-Type: multipart/mixed; boundary=\"ab\x81\"",
      "Content-Type: multipart/mixed; boundary=\x81",
      "Content-Type: application/x; name=\"\x81",
      "Content-Type: application/x\nContent-Disposition: a; filename=\"\x81\"",
      "Content-Type: \x81",
      "\x81",
  };
  for (const char* header : broken) {
    std::string text = std::string(header) + "\n\n--\x81\nX: \x81\n\n\x81\n--\x81--\n\x81";
    TMailState m = Walk(text);
    EXPECT_LE(m.AttachedFiles.size(), 1u) << header;
  }
  EXPECT_EQ(Walk("Content-Type: application/x; name=\"\x81\"x\"\n\nd\n").AttachedFiles, (Lines{"\x81\"x"}));
}

}  // namespace
}  // namespace tam

#include "settings/debug_bundle.h"

#include <gtest/gtest.h>

#include "engine/sjis.h"
#include "engine/text_lines.h"
#include "tests/settings/temp_tree.h"

namespace tam {
namespace {

using Lines = std::vector<std::string>;

DebugBundle Sample() {
  DebugBundle b;
  b.mail = {"From: a@example.jp", "Subject: 件名", "", "本文です"};
  b.program = {"Reply \"はい\"", "' comment"};
  b.option = "詳細";
  b.accountTitle = "仕事";
  b.accountUser = "taro";
  b.accountAddress = "taro@example.jp";
  b.accountName = "";
  return b;
}

// What the debugger held from its previous run.
DebugBundle Previous() {
  DebugBundle p;
  p.mail = {"old mail"};
  p.program = {"old program"};
  p.option = "old option";
  p.accountTitle = p.accountUser = p.accountAddress = p.accountName = "old";
  return p;
}

TEST(DebugBundle, WrittenSectionsReadBackWhole) {
  DebugBundle b = Sample();
  Lines lines = BundleLines(b, true);
  ASSERT_EQ(lines.size(), 1u + 4u + 1u + 2u + 2u + 8u);
  EXPECT_EQ(lines.front(), "[Mail]");
  EXPECT_EQ(lines[lines.size() - 2], "[AccountName]");
  EXPECT_EQ(lines.back(), "");  // an empty value still has its line
  DebugBundle read = Previous();
  ReadBundleText(JoinTextLines(lines), read);
  EXPECT_EQ(read.mail, b.mail);
  EXPECT_EQ(read.program, b.program);
  EXPECT_EQ(read.option, "詳細");
  EXPECT_EQ(read.accountTitle, "仕事");
  EXPECT_EQ(read.accountUser, "taro");
  EXPECT_EQ(read.accountAddress, "taro@example.jp");
  EXPECT_EQ(read.accountName, "");
}

TEST(DebugBundle, MissingSectionsKeepThePreviousValues) {
  Lines lines = BundleLines(Sample(), false);  // a menu item without option: six sections
  int markers = 0;
  for (const std::string& l : lines) markers += !l.empty() && l[0] == '[';
  EXPECT_EQ(markers, 6);
  DebugBundle read = Previous();
  ReadBundleText(JoinTextLines(lines), read);
  EXPECT_EQ(read.option, "old option");
  EXPECT_EQ(read.accountUser, "taro");

  DebugBundle partial = Previous();
  ReadBundleText("ignored before any marker\r\n[AccountUser]\r\nfirst\r\nsecond\r\n", partial);
  EXPECT_EQ(partial.accountUser, "second");  // the last line wins
  EXPECT_EQ(partial.mail, Lines{"old mail"});
  EXPECT_EQ(partial.program, Lines{"old program"});
  EXPECT_EQ(partial.accountTitle, "old");
}

TEST(DebugBundle, MarkersCountOnlyAsWholeExactLines) {
  DebugBundle b = Sample();
  b.mail = {"Subject: x", " [Mail]", "[mail]", "[Other]", "", "[Program]", "lost"};
  DebugBundle read;
  ReadBundleText(JoinTextLines(BundleLines(b, true)), read);
  // A mail line made of a marker ends the mail section there; its lines went
  // to the program, which the real marker then empties.
  EXPECT_EQ(read.mail, (Lines{"Subject: x", " [Mail]", "[mail]", "[Other]", ""}));
  EXPECT_EQ(read.program, b.program);
}

TEST(DebugBundle, AnyLineEndAndNulBytesAreRead) {
  DebugBundle read;
  const char raw[] = "[Mail]\rA\nB\r\n\r\nC\0D\n[Program]\n\0\r[AccountTitle]\r\nT";
  std::string text(raw, sizeof raw - 1);
  ReadBundleText(text, read);
  EXPECT_EQ(read.mail, (Lines{"A", "B", "", std::string("C\0D", 3)}));
  EXPECT_EQ(read.program, (Lines{std::string(1, '\0')}));
  EXPECT_EQ(read.accountTitle, "T");
  // A marker empties its section even when nothing follows it.
  ReadBundleText("[Mail]", read);
  EXPECT_TRUE(read.mail.empty());
}

TEST(DebugBundle, FileIsATemporaryFileInTheFolder) {
  test::TempTree tree;
  tree.MakeDir("Plugins");
  DebugBundle b = Sample();
  std::string name = WriteBundleFile(NativeFiles(), tree.Win("Plugins/"), b, true);
  ASSERT_FALSE(name.empty());
  std::string base = name.substr(name.rfind('\\') + 1);
  EXPECT_EQ(base.substr(0, 3), "TMP");
  EXPECT_EQ(UpperCase(base.substr(base.size() - 4)), ".TMP");  // the system's temporary file name
  EXPECT_EQ(name.substr(0, name.rfind('\\') + 1), tree.Win("Plugins/"));
  EXPECT_EQ(tree.Get("Plugins/" + base), JoinTextLines(BundleLines(b, true)));
  DebugBundle read;
  EXPECT_TRUE(ReadBundleFile(NativeFiles(), name, read));
  EXPECT_EQ(read.program, b.program);
  DebugBundle untouched = Previous();
  EXPECT_FALSE(ReadBundleFile(NativeFiles(), tree.Win("Plugins/none.TMP"), untouched));
  EXPECT_EQ(untouched.mail, Lines{"old mail"});
  EXPECT_TRUE(WriteBundleFile(NativeFiles(), tree.Win("missing/"), b, true).empty());
}

}  // namespace
}  // namespace tam

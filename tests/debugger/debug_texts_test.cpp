// The texts the debugger remembers between runs and the bundle read over
// them at start.
#include "debugger/debug_texts.h"

#include <gtest/gtest.h>

#include "../settings/temp_tree.h"

namespace tam {
namespace {

DebugTexts Sample() {
  DebugTexts t;
  t.mail = "From: a@example.jp\r\n\r\n本文\r\n";
  t.program = "PRINT(\"表\")\r\n";
  t.option = "簡潔 丁寧";
  t.accountTitle = "仕事";
  t.accountUser = "taro";
  t.accountAddress = "taro@example.jp";
  t.accountName = "山田 太郎";
  return t;
}

bool Same(const DebugTexts& a, const DebugTexts& b) {
  return a.mail == b.mail && a.program == b.program && a.option == b.option && a.accountTitle == b.accountTitle &&
         a.accountUser == b.accountUser && a.accountAddress == b.accountAddress && a.accountName == b.accountName;
}

TEST(DebugTexts, RememberedThroughTheSettingsFile) {
  test::TempTree tree;
  SettingsStore store;
  store.Load(tree.Win("Vodrin.ini"));
  RememberTexts(store, Sample());
  ASSERT_TRUE(store.Save());
  SettingsStore again;
  again.Load(tree.Win("Vodrin.ini"));
  EXPECT_TRUE(Same(LoadRememberedTexts(again), Sample()));
  EXPECT_NE(tree.Get("Vodrin.ini").find("Last\\AccountName=String:"), std::string::npos);

  // Nothing remembered: empty texts. A program whose last line is not empty
  // gets an empty line after it.
  SettingsStore empty;
  EXPECT_TRUE(Same(LoadRememberedTexts(empty), DebugTexts{}));
  empty.Write("Last", "Program", Value::Str("A = 1\r\nB = 2"));
  EXPECT_EQ(LoadRememberedTexts(empty).program, "A = 1\r\nB = 2\r\n");
}

TEST(DebugTexts, BundleOverTheRememberedTexts) {
  test::TempTree tree;
  // All seven sections; a mail line "[Program]" ends the mail there, and of
  // two lines under a value section the second wins.
  tree.Put("TMP1.TMP",
           "[Mail]\r\nFrom: b@example.jp\r\n\r\n一行目\r\n[Program]\r\nA = 1\r\n[Program]\r\nPRINT(1)\r\n"
           "[Option]\r\n簡潔\r\n[AccountTitle]\r\n私用\r\n[AccountUser]\r\nhanako\r\nhana\r\n[AccountAddress]\r\n"
           "h@example.jp\r\n[AccountName]\r\n\r\n");
  DebugTexts t = Sample();
  ASSERT_TRUE(ReadBundleInto(NativeFiles(), tree.Win("TMP1.TMP"), t));
  EXPECT_EQ(t.mail, "From: b@example.jp\r\n\r\n一行目\r\n");
  EXPECT_EQ(t.program, "PRINT(1)\r\n");
  EXPECT_EQ(t.option, "簡潔");
  EXPECT_EQ(t.accountTitle, "私用");
  EXPECT_EQ(t.accountUser, "hana");
  EXPECT_EQ(t.accountAddress, "h@example.jp");
  EXPECT_EQ(t.accountName, "");

  // Without [Option] the remembered option stays, and so does a remembered
  // mail text when the bundle has no mail section.
  tree.Put("TMP2.TMP", "[Program]\r\nB = 2\r\n[AccountTitle]\r\n仕事\r\n");
  t = Sample();
  t.mail = "no break at the end";
  ASSERT_TRUE(ReadBundleInto(NativeFiles(), tree.Win("TMP2.TMP"), t));
  EXPECT_EQ(t.option, "簡潔 丁寧");
  EXPECT_EQ(t.mail, "no break at the end");
  EXPECT_EQ(t.program, "B = 2\r\n");

  // A missing file changes nothing.
  t = Sample();
  EXPECT_FALSE(ReadBundleInto(NativeFiles(), tree.Win("TMP3.TMP"), t));
  EXPECT_TRUE(Same(t, Sample()));
}

}  // namespace
}  // namespace tam

#include "plugin/reply_menu.h"

#include <gtest/gtest.h>

#include "plugin/command_code.h"
#include "plugin/kesrel.h"
#include "plugin/reply_settings.h"
#include "settings/form_place.h"

namespace tam {
namespace {

using Strings = std::vector<std::string>;

// The menu as "caption=code" items, "[caption" ... "]" popups and "-".
std::string Show(const MenuNode& n) {
  if (n.kind == MenuNode::kSeparator) return "-";
  if (n.kind == MenuNode::kItem) return n.caption + "=" + std::to_string(n.code);
  std::string s = "[" + n.caption;
  for (const MenuNode& c : n.children) s += " " + Show(c);
  return s + "]";
}

SettingsStore Store(const std::string& text) {
  SettingsStore s;
  s.LoadText(text);
  return s;
}

TEST(CommandCode, PacksProgramOptionAndDebug) {
  struct Case {
    int code;
    bool debug;
    int option, program;
  } cases[] = {{3, false, -1, 3}, {203, false, 1, 3}, {10003, true, -1, 3}, {10103, true, 0, 3}, {9999, false, 98, 99}};
  for (const Case& c : cases) {
    CommandCode d = DecodeCommand(c.code);
    EXPECT_EQ(d.debug, c.debug) << c.code;
    EXPECT_EQ(d.option, c.option) << c.code;
    EXPECT_EQ(d.program, c.program) << c.code;
    EXPECT_EQ(EncodeCommand(d), c.code);
  }
}

TEST(ReplyMenu, ItemsOptionPopupsAndDebugCopy) {
  SettingsStore s = Store(
      "\\ProgramCount=Integer:3\r\nProgram0\\Caption=String:お礼\r\n"
      "Program1\\Option=String:a b c%0D%0Awhole\r\nMenu\\Debugger=Boolean:True\r\n");
  EXPECT_EQ(Show(BuildReplyMenu(s)),
            "[返信作成 お礼=0 [Program1 a=101 whole=201] Program2=2 - [デバッグ お礼=10000 [Program1 a=10101 "
            "whole=10201] Program2=10002]]");
  s.Write("Menu", "Debugger", Value::Bool(false));
  EXPECT_EQ(Show(BuildReplyMenu(s)), "[返信作成 お礼=0 [Program1 a=101 whole=201] Program2=2]");
}

TEST(ReplyMenu, OnlyWhatACommandCodeCanName) {
  // Program 100 would come out as program 0 with option 0, option line 99
  // as a debug item: neither gets an item.
  std::string options;
  for (int i = 0; i < 120; ++i) options += "o" + std::to_string(i) + "%0D%0A";
  SettingsStore s = Store("\\ProgramCount=Integer:1000000\r\nProgram5\\Option=String:" + options + "\r\n");
  MenuNode m = BuildReplyMenu(s);
  ASSERT_EQ(m.children.size(), 100u);
  EXPECT_EQ(Show(m.children[99]), "Program99=99");
  ASSERT_EQ(m.children[5].children.size(), 99u);
  EXPECT_EQ(Show(m.children[5].children[98]), "o98=9905");
}

TEST(ReplyMenu, PlacesFollowTheSwitchesAndNeedPrograms) {
  SettingsStore none = Store("MainWindow\\ContextMenu=Boolean:True\r\n");
  EXPECT_EQ(PlaceFor(none, false, kMainMenuBar), MenuPlace::kNone);
  EXPECT_EQ(PlaceFor(none, false, kMainContext), MenuPlace::kNone);
  SettingsStore s = Store(
      "\\ProgramCount=Integer:1\r\nMainWindow\\ContextMenu=Boolean:True\r\n"
      "ViewWindow\\MainMenu=Boolean:False\r\n");
  EXPECT_EQ(PlaceFor(s, false, kMainMenuBar), MenuPlace::kMenuBar);
  EXPECT_EQ(PlaceFor(s, false, kMainContext), MenuPlace::kContext);
  EXPECT_EQ(PlaceFor(s, true, kViewMenuBar), MenuPlace::kNone);
  EXPECT_EQ(PlaceFor(s, true, kViewContext), MenuPlace::kNone);
  EXPECT_EQ(PlaceFor(s, false, kViewMenuBar), MenuPlace::kNone);  // a view kind from the main window
  EXPECT_EQ(PlaceFor(s, true, 999), MenuPlace::kNone);
}

TEST(ReplyMenu, MenuBarEntryGoesBeforeTheLastHelpOrJoinsItsNamesake) {
  auto at = [](const Strings& items, const std::string& caption) {
    EntryPosition p = FindMenuBarEntry(items, caption);
    return std::to_string(p.position) + (p.isNew ? " new" : " existing");
  };
  EXPECT_EQ(at({"ファイル(&F)", "ヘルプ(&H)", "表示(&V)", "ヘルプ(&H)"}, "AL-Zembra(&K)"), "3 new");
  EXPECT_EQ(at({"ファイル(&F)", "表示(&V)"}, "AL-Zembra(&K)"), "2 new");
  EXPECT_EQ(at({"ファイル(&F)", "AL-Zembra(&K)", "ヘルプ(&H)"}, "AL-Zembra(&K)"), "1 existing");
  EXPECT_EQ(at({}, "X"), "0 new");
}

TEST(ReplySettings, ProgramsWrittenAsTheSetupDialogStoresThem) {
  SettingsStore store =
      Store("\\ProgramCount=Integer:3\r\nProgram2\\Body=String:old\r\nMenu\\Debugger=Boolean:True\r\n");
  WritePrograms(store, {{"返信", "A%B\r\nC", " one  x\r\n\r\n\ttwo\t\r\n"}, {"", "", ""}});
  EXPECT_EQ(store.Text(),
            "\\ProgramCount=Integer:2\r\nProgram2\\Body=String:old\r\nMenu\\Debugger=Boolean:True\r\n"
            "Program0\\Caption=String:返信\r\nProgram0\\Body=String:A%%B%0D%0AC\r\n"
            "Program0\\Option=String:one  x%0D%0Atwo%0D%0A\r\n");
  std::vector<ReplyProgram> back = ReadPrograms(store);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].body, "A%B\r\nC");
  EXPECT_EQ(back[1].caption, "Program1");  // an empty caption is not stored: the default comes back
  EXPECT_EQ(ProgramOptions(store, 0), (Strings{"one  x", "two"}));
  EXPECT_EQ(OptionLabel(ProgramOptions(store, 0)[0]), "one");

  RemoveProgram(store, 2);
  EXPECT_FALSE(store.Exists("Program2", "Body"));
  WriteProgramCount(store, 0);
  EXPECT_TRUE(ReadPrograms(store).empty());
  EXPECT_EQ(ReadPrograms(Store("\\ProgramCount=Integer:500\r\n")).size(), static_cast<std::size_t>(kMaxPrograms));
}

TEST(StartUp, VersionIsComparedByteWise) {
  EXPECT_FALSE(VersionAccepted("1.09"));
  EXPECT_TRUE(VersionAccepted("1.10"));
  EXPECT_TRUE(VersionAccepted("1.2"));
  EXPECT_FALSE(VersionAccepted("1.1"));
  EXPECT_FALSE(VersionAccepted(""));
  EXPECT_FALSE(VersionAccepted(nullptr));
}

TEST(AboutBox, CentredOverItsOwnerAndKeptOnTheScreen) {
  auto at = [](Rect owner) {
    Point p = CentreOver(owner, 200, 100, 1024, 768);
    return std::to_string(p.x) + "," + std::to_string(p.y);
  };
  EXPECT_EQ(at({100, 100, 500, 400}), "200,200");
  EXPECT_EQ(at({900, 700, 1100, 800}), "824,668");
  EXPECT_EQ(at({-300, -300, -100, -200}), "0,0");
}

}  // namespace
}  // namespace tam

#include "plugin/setup_model.h"

#include <gtest/gtest.h>

#include <map>

namespace tam {
namespace {

// Files in memory; writes fail while the folder is read-only.
class MemoryFiles : public FileAccess {
 public:
  bool FileExists(const std::string& path) override { return files.count(path) > 0; }
  std::optional<std::string> ReadAll(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool ReplaceContents(const std::string& path, const std::string& data) override {
    if (readOnly) return false;
    files[path] = data;
    return true;
  }
  std::string CreateTempFile(const std::string&, const std::string&, const std::string&) override { return ""; }
  bool RemoveFile(const std::string& path) override { return files.erase(path) > 0; }
  bool CreateFolder(const std::string&) override { return true; }
  std::optional<std::string> StoredFolderName(const std::string&) override { return std::nullopt; }

  std::map<std::string, std::string> files;
  bool readOnly = false;
};

const char kIni[] = "C:\\AL-Mail\\Plugins\\Kesrel.ini";

struct Dialog {
  MemoryFiles files;
  SettingsStore store{files};
  TSetupModel model;

  explicit Dialog(const std::string& text, bool debugger = true) {
    files.files[kIni] = text;
    store.Load(kIni);
    model.Open(store, debugger);
  }
  std::string Saved() { return files.files[kIni]; }
};

std::string Captions(const TProgramList& p) {
  std::string s;
  for (int i = 0; i < p.Count(); ++i) s += (i ? " " : "") + p.Caption(i) + (i == p.Selected() ? "*" : "");
  return s;
}

TEST(SetupOpen, OutputChoiceFromOutputOrTheOlderDraftSwitch) {
  struct Case {
    const char* text;
    OutputChoice want;
  } cases[] = {
      {"\\Output=String:Sending\r\n", OutputChoice::kSending},
      {"\\Output=String:Draft\r\nOutput\\Draft=Boolean:False\r\n", OutputChoice::kDraft},
      {"\\Output=String:Window\r\n", OutputChoice::kWindow},
      {"\\Output=String:sending\r\n", OutputChoice::kNone},
      {"Output\\Draft=Boolean:False\r\n", OutputChoice::kSending},
      {"Output\\Draft=Boolean:True\r\n", OutputChoice::kDraft},
      {"", OutputChoice::kDraft},
  };
  for (const Case& c : cases) {
    Dialog s(c.text);
    EXPECT_EQ(s.model.output, c.want) << c.text;
  }
}

TEST(SetupOpen, SwitchesProgramsPageAndPanel) {
  Dialog s(
      "MainWindow\\MainMenu=Boolean:False\r\nViewWindow\\ContextMenu=Boolean:True\r\nMenu\\Debugger=Boolean:True\r\n"
      "\\ProgramCount=Integer:3\r\nProgram0\\Caption=String:お礼\r\nProgram0\\Body=String:PRINT(1)%0D%0A\r\n"
      "Program2\\Option=String:a%0D%0Ab%0D%0A\r\n\\ActivePage=Integer:2\r\nProgramList\\Width=Integer:150\r\n");
  const MenuSwitches& w = s.model.switches;
  EXPECT_FALSE(w.mainMenu);
  EXPECT_FALSE(w.mainContext);
  EXPECT_TRUE(w.viewMenu);
  EXPECT_TRUE(w.viewContext);
  EXPECT_TRUE(w.debugger);
  EXPECT_TRUE(s.model.DebuggerShown());
  EXPECT_EQ(Captions(s.model.programs), "お礼* Program1 Program2");
  EXPECT_EQ(s.model.programs.Text(0), "PRINT(1)\r\n");
  EXPECT_EQ(s.model.programs.Options(2), "a\r\nb\r\n");
  EXPECT_EQ(s.model.StartPage(), 2);
  EXPECT_EQ(s.model.PanelWidth(121), 150);

  Dialog none("\\ActivePage=Integer:3\r\n");
  EXPECT_EQ(none.model.programs.Selected(), -1);
  EXPECT_EQ(none.model.StartPage(), -1);
  EXPECT_EQ(none.model.PanelWidth(121), 121);
}

TEST(SetupOpen, AMissingDebuggerSwitchesTheDebugMenuOffInTheStore) {
  Dialog s("Menu\\Debugger=Boolean:True\r\n", false);
  EXPECT_FALSE(s.model.DebuggerShown());
  EXPECT_FALSE(s.model.switches.debugger);
  EXPECT_EQ(s.store.Text(), "Menu\\Debugger=Boolean:False\r\n");
}

TEST(ProgramList, AddNamesTheFirstFreeProgramWithoutRegardToCase) {
  TProgramList p;
  p.Append("Program1", "", "");
  p.Append("Program3", "", "");
  p.Add();  // nothing selected: appended
  EXPECT_EQ(Captions(p), "Program1 Program3 Program2*");
  p.Select(0);
  p.SetCaption("PROGRAM1");
  p.Add();  // inserted in front of the selected one
  EXPECT_EQ(Captions(p), "Program4* PROGRAM1 Program3 Program2");
  EXPECT_EQ(p.Text(0), "");
  EXPECT_EQ(p.Options(0), "");
}

TEST(ProgramList, UpAndDownMoveAllThreeTextsAndKeepTheSelection) {
  TProgramList p;
  p.Append("a", "text a", "opt a");
  p.Append("b", "text b", "opt b");
  p.Append("c", "text c", "opt c");
  p.Select(0);
  p.MoveUp();
  EXPECT_EQ(Captions(p), "a* b c");
  p.MoveDown();
  p.MoveDown();
  EXPECT_EQ(Captions(p), "b c a*");
  EXPECT_EQ(p.Text(2), "text a");
  EXPECT_EQ(p.Options(2), "opt a");
  p.MoveDown();
  EXPECT_EQ(Captions(p), "b c a*");
  p.MoveUp();
  EXPECT_EQ(Captions(p), "b a* c");
  EXPECT_EQ(p.Text(1), "text a");
}

TEST(ProgramList, DeleteSelectsTheNextOrTheLastOrNothing) {
  TProgramList p;
  for (const char* c : {"a", "b", "c"}) p.Append(c, c, "");
  p.Select(1);
  p.Delete();
  EXPECT_EQ(Captions(p), "a c*");
  p.Delete();
  EXPECT_EQ(Captions(p), "a*");
  p.Delete();
  EXPECT_EQ(p.Count(), 0);
  EXPECT_EQ(p.Selected(), -1);
  ProgramDetail d = DetailOf(p);
  EXPECT_FALSE(d.editable);
  EXPECT_FALSE(d.upEnabled || d.downEnabled || d.deleteEnabled);
  EXPECT_EQ(d.addCaption, "追加");
  p.SetText("lost");  // nothing selected: nothing happens
  p.Delete();
  EXPECT_EQ(p.Count(), 0);
}

TEST(ProgramList, DetailFollowsTheSelection) {
  TProgramList p;
  for (const char* c : {"a", "b", "c"}) p.Append(c, std::string("text ") + c, std::string("opt ") + c);
  struct Case {
    int selected;
    bool up, down;
  } cases[] = {{0, false, true}, {1, true, true}, {2, true, false}};
  for (const Case& c : cases) {
    p.Select(c.selected);
    ProgramDetail d = DetailOf(p);
    EXPECT_TRUE(d.editable);
    EXPECT_EQ(d.caption, p.Caption(c.selected));
    EXPECT_EQ(d.text, p.Text(c.selected));
    EXPECT_EQ(d.options, p.Options(c.selected));
    EXPECT_EQ(d.upEnabled, c.up);
    EXPECT_EQ(d.downEnabled, c.down);
    EXPECT_TRUE(d.deleteEnabled);
    EXPECT_EQ(d.addCaption, "挿入");
  }
}

TEST(SetupAccept, WritesSwitchesProgramsAndOutput) {
  Dialog s("\\ProgramCount=Integer:1\r\nProgram0\\Caption=String:old\r\nProgram5\\Body=String:kept\r\n");
  s.model.switches.mainContext = true;
  s.model.switches.debugger = true;
  s.model.programs.SetCaption("引用");
  s.model.programs.SetText("A%B\r\nC");
  s.model.programs.SetOptions("x y \r\n\r\n z");
  s.model.programs.Select(-1);
  s.model.programs.Add();
  s.model.output = OutputChoice::kWindow;
  EXPECT_TRUE(s.model.Accept(s.store));
  EXPECT_TRUE(s.model.RestartAdvised());
  EXPECT_EQ(s.Saved(),
            "\\ProgramCount=Integer:2\r\nProgram0\\Caption=String:引用\r\nProgram5\\Body=String:kept\r\n"
            "MainWindow\\MainMenu=Boolean:True\r\nMainWindow\\ContextMenu=Boolean:True\r\n"
            "ViewWindow\\MainMenu=Boolean:True\r\nViewWindow\\ContextMenu=Boolean:False\r\n"
            "Menu\\Debugger=Boolean:True\r\nProgram0\\Body=String:A%%B%0D%0AC\r\n"
            "Program0\\Option=String:x y%0D%0Az%0D%0A\r\nProgram1\\Caption=String:Program1\r\n"
            "\\Output=String:Window\r\n");
}

TEST(SetupAccept, NoOutputChoiceLeavesTheStoredOne) {
  Dialog s("\\Output=String:Bogus\r\n");
  EXPECT_EQ(s.model.output, OutputChoice::kNone);
  EXPECT_TRUE(s.model.Accept(s.store));
  EXPECT_NE(s.Saved().find("\\Output=String:Bogus\r\n"), std::string::npos);
}

TEST(SetupAccept, RestartAdvisedOnlyForMenuBarsDebuggerAndProgramCount) {
  const std::string base = "\\ProgramCount=Integer:2\r\nMenu\\Debugger=Boolean:False\r\n";
  struct Case {
    const char* what;
    void (*change)(TSetupModel&);
    bool restart;
  } cases[] = {
      {"nothing", [](TSetupModel&) {}, false},
      {"context menus", [](TSetupModel& m) { m.switches.mainContext = m.switches.viewContext = true; }, false},
      {"program text and caption",
       [](TSetupModel& m) {
         m.programs.SetText("changed");
         m.programs.SetCaption("renamed");
       },
       false},
      {"output", [](TSetupModel& m) { m.output = OutputChoice::kSending; }, false},
      {"main menu bar", [](TSetupModel& m) { m.switches.mainMenu = false; }, true},
      {"view menu bar", [](TSetupModel& m) { m.switches.viewMenu = false; }, true},
      {"debugger", [](TSetupModel& m) { m.switches.debugger = true; }, true},
      {"program count", [](TSetupModel& m) { m.programs.Add(); }, true},
  };
  for (const Case& c : cases) {
    Dialog s(base);
    c.change(s.model);
    EXPECT_TRUE(s.model.Accept(s.store)) << c.what;
    EXPECT_EQ(s.model.RestartAdvised(), c.restart) << c.what;
  }
}

TEST(SetupAccept, AFileThatCannotBeWrittenFailsAndTheAdviceIsKeptForTheRetry) {
  Dialog s("");
  s.model.programs.Add();
  s.files.readOnly = true;
  EXPECT_FALSE(s.model.Accept(s.store));
  EXPECT_EQ(s.Saved(), "");
  s.files.readOnly = false;
  EXPECT_TRUE(s.model.Accept(s.store));
  EXPECT_TRUE(s.model.RestartAdvised());
  EXPECT_NE(s.Saved().find("\\ProgramCount=Integer:1\r\n"), std::string::npos);
}

TEST(SetupClose, WritesPageAndPanelWidth) {
  SettingsStore store;
  WriteClosingState(store, 1, 180);
  EXPECT_EQ(store.Text(), "\\ActivePage=Integer:1\r\nProgramList\\Width=Integer:180\r\n");
}

TEST(SetupHelp, HelpFileThenReferenceThenMessage) {
  MemoryFiles files;
  const std::string install = "C:\\AL-Mail\\";
  EXPECT_EQ(ChooseHelp(files, install).missing, "C:\\AL-Mail\\Plugins\\Kesrel.hlp がありません");
  EXPECT_EQ(ChooseHelp(files, install).file, "");
  files.files["C:\\AL-Mail\\Plugins\\Kesrel.html"] = "";
  EXPECT_EQ(ChooseHelp(files, install).file, "C:\\AL-Mail\\Plugins\\Kesrel.html");
  files.files["C:\\AL-Mail\\Plugins\\Kesrel.hlp"] = "";
  EXPECT_EQ(ChooseHelp(files, install).file, "C:\\AL-Mail\\Plugins\\Kesrel.hlp");
  EXPECT_EQ(ChooseHelp(files, install).missing, "");
}

}  // namespace
}  // namespace tam

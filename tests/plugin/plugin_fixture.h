// The plug-in over a mailbox on disk, with a host, windows and a user that
// record what the plug-in asks of them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "fake_host.h"
#include "plugin/kesrel.h"
#include "plugin/reply_settings.h"
#include "tests/settings/temp_tree.h"

namespace tam::test {

class RecordingHost : public FakeHost {
 public:
  struct Import {
    std::string file, folder, contents;
    std::uint32_t flags;
    bool existed;
  };
  void ImportFile(const std::string& file, const std::string& folder, std::uint32_t flags) override {
    Import i{file, folder, "", flags, NativeFiles().FileExists(file)};
    if (auto text = NativeFiles().ReadAll(file)) i.contents = *text;
    imports.push_back(i);
  }
  void FolderMailTo(HostWindow w, const std::string& text) override { mailTo.push_back({w, text}); }
  void SendSetHeader(HostWindow w, const std::string& text) override { filled.push_back({w, "header:" + text}); }
  void SendSetText(HostWindow w, const std::string& text) override { filled.push_back({w, "body:" + text}); }
  std::string ViewGetPath(HostWindow) override { return viewPath; }

  std::vector<Import> imports;
  std::vector<std::pair<HostWindow, std::string>> mailTo, filled;
  std::string viewPath;
};

class RecordingUi : public PluginUi {
 public:
  struct Shown {
    HostWindow owner;
    std::string text, caption;
    unsigned flags;
  };
  int Message(HostWindow owner, const std::string& text, const std::string& caption, unsigned flags) override {
    shown.push_back({owner, text, caption, flags});
    return 1;
  }
  int ShellStart(const std::string& verb, const std::string& file, const std::string& params, int show) override {
    started.push_back(verb + "|" + file + "|" + params + "|" + std::to_string(show));
    return 42;
  }
  std::vector<Shown> shown;
  std::vector<std::string> started;
};

// Windows as a tree: each window has a process, a text and its children in
// z-order; top-level windows are the children of window 0.
class FakeWindows : public WindowSystem {
 public:
  void Add(HostWindow w, HostWindow parent, std::uint32_t process, const std::string& text) {
    windows[w] = {parent, process, text};
    children[parent].push_back(w);
  }
  void Remove(HostWindow w) {
    auto& siblings = children[windows[w].parent];
    siblings.erase(std::find(siblings.begin(), siblings.end(), w));
    windows.erase(w);
  }
  bool IsWindow(HostWindow w) override { return windows.count(w) > 0; }
  std::uint32_t ProcessOf(HostWindow w) override { return IsWindow(w) ? windows[w].process : 0; }
  HostWindow FirstTopLevel() override { return TopChild(0); }
  HostWindow TopChild(HostWindow w) override { return children[w].empty() ? 0 : children[w].front(); }
  HostWindow Next(HostWindow w) override {
    if (!IsWindow(w)) return 0;
    auto& siblings = children[windows[w].parent];
    auto it = std::find(siblings.begin(), siblings.end(), w);
    return ++it == siblings.end() ? 0 : *it;
  }
  int TextLength(HostWindow w) override { return static_cast<int>(windows[w].text.size()); }
  std::string Text(HostWindow w, int size) override { return windows[w].text.substr(0, size); }

  struct Window {
    HostWindow parent;
    std::uint32_t process;
    std::string text;
  };
  std::map<HostWindow, Window> windows;
  std::map<HostWindow, std::vector<HostWindow>> children;
};

constexpr HostWindow kMain = 10, kView = 20;

class PluginFixture : public ::testing::Test {
 protected:
  PluginFixture()
      : plugin(PluginServices{&NativeFiles(), &registry, &ui, &windows,
                              [this](int line, const std::string& text) {
                                errors.push_back(std::to_string(line) + ": " + text);
                                events.push_back("error");
                                return ErrorChoice::kIgnore;
                              },
                              [this](bool busy) { events.push_back(busy ? "busy" : "normal"); }}) {
    registry.PutString(RegistryRoot::kLocalMachine, "SOFTWARE\\CREAR\\AL-Mail", "InstallPath",
                       tree.Win("AL/Almail.exe"));
    tree.Put("AL/Plugins/Kesrel.dll", "");
    host.mailbox = tree.Win("Mail/");
    host.account = tree.Win("Mail/ACC1/");
    tree.Put("Mail/ACC1/Account.ini", "TITLE=仕事\r\nACCOUNT=taro\r\nMAILADDRESS=taro@example.jp\r\nFULLNAME=山田\r\n");
    std::string list;
    for (int i = 1; i <= 12; ++i) {
      std::string entry = Entry(i);
      list += entry + "\r\n";
      tree.Put("Mail/ACC1/INBOX.BOX/" + entry + ".ALM", "From: sender" + std::to_string(i) +
                                                            "@example.jp\r\nSubject: mail " + std::to_string(i) +
                                                            "\r\n\r\nbody\r\n");
    }
    tree.Put("Mail/ACC1/INBOX.BOX/ENTRY.LST", list);
    windows.Add(kMain, 0, 7, "ACC1 - AL-Mail");
    windows.Add(kView, 0, 7, "mail 1");
    settings.SetFileName(tree.Win("AL/Plugins/Kesrel.ini"));
  }
  static std::string Entry(int i) {
    std::string s = std::to_string(i);
    return std::string(8 - s.size(), '0') + s;
  }
  void Select(std::initializer_list<int> mails) {
    host.selected.clear();
    for (int i : mails) host.selected.push_back("ACC1\\INBOX.BOX\\" + Entry(i));
    host.current = host.selected.empty() ? std::string() : host.selected.front();
  }
  void Program(int n, const std::string& body, const std::string& options = "") {
    settings.Write("", "ProgramCount", Value::Int(n + 1));
    settings.Write("Program" + std::to_string(n), "Body", Value::Str(body));
    settings.Write("Program" + std::to_string(n), "Option", Value::Str(options));
  }
  void Start() {
    ASSERT_TRUE(settings.Save());
    plugin.Start(host);
    plugin.RememberMainWindow(kMain);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const auto& s : ui.shown) t.push_back(s.caption + ": " + s.text);
    return t;
  }

  TempTree tree;
  RecordingHost host;
  FakeRegistry registry;
  RecordingPlatform platformRecorder;
  RecordingUi ui;
  FakeWindows windows;
  std::vector<std::string> errors;
  std::vector<std::string> events;  // run-time errors and cursor changes, in order
  SettingsStore settings;
  TKesrel plugin;
};

}  // namespace tam::test

#include <gtest/gtest.h>

#include <algorithm>

#include "plugin/command_code.h"
#include "plugin_fixture.h"

namespace tam {
namespace {

using test::kMain;
using test::kView;
using Strings = std::vector<std::string>;

const char kHello[] = "PRINT(\"Hello \", AccountName, \" \", OptionCount)\r\n";

class ReplyCommand : public test::PluginFixture {};

// The native files, except one that exists but cannot be read.
class UnreadableFiles : public FileAccess {
 public:
  bool FileExists(const std::string& p) override { return NativeFiles().FileExists(p); }
  std::optional<std::string> ReadAll(const std::string& p) override {
    return p == unreadable ? std::nullopt : NativeFiles().ReadAll(p);
  }
  bool ReplaceContents(const std::string& p, const std::string& d) override {
    return NativeFiles().ReplaceContents(p, d);
  }
  std::string CreateTempFile(const std::string& f, const std::string& p, const std::string& d) override {
    return NativeFiles().CreateTempFile(f, p, d);
  }
  bool RemoveFile(const std::string& p) override { return NativeFiles().RemoveFile(p); }
  bool CreateFolder(const std::string& p) override { return NativeFiles().CreateFolder(p); }
  std::optional<std::string> StoredFolderName(const std::string& p) override {
    return NativeFiles().StoredFolderName(p);
  }
  std::string unreadable;
};

TEST_F(ReplyCommand, SelectionChecksTellTheUserAndRunNothing) {
  Program(0, kHello);
  Start();
  Select({});
  plugin.ReplyCommand(kMain, 0);
  // The current mail has left its folder's list: the trash.
  host.selected = {"ACC1\\INBOX.BOX\\00000001"};
  host.current = "ACC1\\INBOX.BOX\\GONEGONE";
  plugin.ReplyCommand(kMain, 0);
  // No current entry.
  host.current.clear();
  plugin.ReplyCommand(kMain, 0);
  // No ENTRY.LST in the current folder.
  host.current = "ACC1\\EMPTY.BOX\\00000001";
  plugin.ReplyCommand(kMain, 0);
  Select({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  tree.Put("Mail/ACC1/INBOX.BOX/00000003.ALM", "");
  plugin.ReplyCommand(kMain, 0);
  EXPECT_EQ(Texts(), (Strings{"無効な操作: メールが選択されていません",
                              "無効な操作: 今のところ、ごみ箱では実行できません", "無効な操作: メールがありません",
                              "エラー: " + host.mailbox + "ACC1\\EMPTY.BOX\\ENTRY.LST がないかカラです",
                              "エラー: 一度に処理できるのは１０メールまでです"}));
  for (const auto& s : ui.shown) {
    EXPECT_EQ(s.owner, kMain);
    EXPECT_EQ(s.flags, kMbOk | kMbIconWarning);
  }
  EXPECT_TRUE(host.imports.empty());
}

TEST_F(ReplyCommand, TenMailsAreAnsweredInSelectionOrderSkippingMissingFiles) {
  Program(0, kHello);
  Start();
  Select({10, 9, 8, 7, 6, 5, 4, 3, 2, 1});
  std::remove(tree.Native("Mail/ACC1/INBOX.BOX/00000005.ALM").c_str());
  plugin.ReplyCommand(kMain, 0);
  EXPECT_TRUE(ui.shown.empty());
  ASSERT_EQ(host.imports.size(), 9u);
  EXPECT_NE(host.imports[0].contents.find("To: sender10@example.jp\r\n"), std::string::npos);
  EXPECT_NE(host.imports[8].contents.find("To: sender1@example.jp\r\n"), std::string::npos);
  // A draft unless Sending is set, into the account's send box; the
  // temporary file lies in the plug-in folder and is gone afterwards.
  const auto& first = host.imports[0];
  EXPECT_TRUE(first.existed);
  EXPECT_EQ(first.flags, kImportDraft);
  EXPECT_EQ(first.folder, "ACC1\\OUTBOX.BOX");
  EXPECT_EQ(first.file.rfind(tree.Win("AL/Plugins/RPQ"), 0), 0u) << first.file;
  EXPECT_FALSE(NativeFiles().FileExists(first.file));
  // Header, one empty line, body.
  EXPECT_NE(first.contents.find("\r\nDate: "), std::string::npos);
  EXPECT_NE(first.contents.find("\r\n\r\nHello 山田 0\r\n"), std::string::npos);
}

TEST_F(ReplyCommand, OutputModesAndOptionLines) {
  Program(0, "PRINT(Option(0), \"/\", Option(1), \"/\", OptionCount)\r\n", "short\r\nlong one two");
  settings.Write("", "Output", Value::Str("Sending"));
  Start();
  Select({1});
  plugin.ReplyCommand(kMain, EncodeCommand({false, 1, 0}));
  ASSERT_EQ(host.imports.size(), 1u);
  EXPECT_EQ(host.imports[0].flags, kImportQueued);
  EXPECT_NE(host.imports[0].contents.find("\r\n\r\nlong/one/3\r\n"), std::string::npos);

  // Window: three mails wait for their send windows.
  plugin.Settings().Write("", "Output", Value::Str("Window"));
  Select({1, 2, 3});
  plugin.ReplyCommand(kMain, EncodeCommand({false, 0, 0}));
  EXPECT_EQ(host.imports.size(), 1u);
  ASSERT_EQ(host.mailTo.size(), 3u);
  EXPECT_EQ(host.mailTo[2], std::make_pair(kMain, std::string("00000003")));
  ASSERT_EQ(plugin.Pending()->Size(), 3u);
  EXPECT_EQ(plugin.Pending()->names[1], "00000002");
  EXPECT_EQ(plugin.Pending()->bodies[1], "short//1\r\n");
  EXPECT_EQ(plugin.Pending()->headers[1].rfind("To: sender2@example.jp\r\nSubject: Re: mail 2\r\nDate: ", 0), 0u);
}

TEST_F(ReplyCommand, ParseErrorIsShownOnceAndEndsTheRun) {
  Program(0, "ENDIF\r\n");
  Start();
  Select({1, 2, 3});
  plugin.ReplyCommand(kMain, 0);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].caption, "プログラム構造エラー");
  EXPECT_EQ(ui.shown[0].owner, 0u);
  EXPECT_EQ(ui.shown[0].flags, kMbOk | kMbIconWarning | kMbTaskModal);
  EXPECT_TRUE(host.imports.empty());
}

TEST_F(ReplyCommand, RunTimeErrorsAreDecidedAndTheReplyGoesOn) {
  Program(0, "PRINT(\"a\")\r\nX = NOSUCHFUNCTION(1)\r\nPRINT(\"b\")\r\n");
  Start();
  Select({1});
  plugin.ReplyCommand(kMain, 0);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("2: ", 0), 0u);
  ASSERT_EQ(host.imports.size(), 1u);
  EXPECT_NE(host.imports[0].contents.find("\r\na\r\nb\r\n"), std::string::npos);
  // The hourglass shows while the program runs, not under the error box,
  // and the normal cursor is back at the end.
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events.front(), "busy");
  auto error = std::find(events.begin(), events.end(), "error");
  ASSERT_NE(error, events.end());
  EXPECT_EQ(error[-1], "normal");
  EXPECT_EQ(std::count(events.begin(), events.end(), "busy"), std::count(events.begin(), events.end(), "normal"));
  EXPECT_EQ(events.back(), "normal");
}

TEST_F(ReplyCommand, FaultsAndChangedSettingsAreReportedNotPassedOn) {
  Program(0, "PRINT(\"a\")\r\nX = NOSUCHFUNCTION(1)\r\n", "one");
  Start();
  Select({1, 2});
  // A fault out of the run: the reply of that mail is not handed over and
  // the run ends; replies before it stay handed over.
  TKesrel faulty(PluginServices{&NativeFiles(), &registry, &ui, &windows,
                                [](int, const std::string&) -> ErrorChoice { throw std::runtime_error("boom"); },
                                nullptr});
  faulty.Start(host);
  faulty.RememberMainWindow(kMain);
  faulty.ReplyCommand(kMain, 100);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].caption, "プログラム実行時エラー");
  EXPECT_NE(ui.shown[0].text.find("boom"), std::string::npos);
  EXPECT_TRUE(host.imports.empty());
  faulty.CleanUp();

  // An option line or a program that is no longer in the settings.
  plugin.ReplyCommand(kMain, EncodeCommand({false, 1, 0}));
  plugin.ReplyCommand(kMain, EncodeCommand({false, -1, 1}));
  plugin.ReplyCommand(kMain, EncodeCommand({true, 4, 0}));
  ASSERT_EQ(ui.shown.size(), 4u);
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(ui.shown[i].caption, "エラー");
  // A mail file that exists but cannot be read.
  UnreadableFiles files;
  files.unreadable = tree.Win("Mail/ACC1/INBOX.BOX/00000001.ALM");
  TKesrel locked(PluginServices{&files, &registry, &ui, &windows, nullptr, nullptr});
  locked.Start(host);
  locked.ReplyCommand(kMain, 100);
  locked.ReplyCommand(kMain, 10100);
  ASSERT_EQ(ui.shown.size(), 6u);
  EXPECT_EQ(ui.shown[5].text, "メールを読み込めません\r\n" + files.unreadable);
  EXPECT_TRUE(host.imports.empty());
  EXPECT_TRUE(plugin.TempFiles().empty());
}

TEST_F(ReplyCommand, ACommandChosenDuringARunIsRefused) {
  Program(0, "X = NOSUCHFUNCTION(1)\r\nPRINT(\"done\")\r\n");
  Start();
  Select({1});
  TKesrel* running = nullptr;
  TKesrel nested(PluginServices{&NativeFiles(), &registry, &ui, &windows,
                                [&](int, const std::string&) {
                                  running->ReplyCommand(kView, 0);  // from a view window's menu
                                  return ErrorChoice::kIgnore;
                                },
                                nullptr});
  running = &nested;
  nested.Start(host);
  nested.ReplyCommand(kMain, 0);
  EXPECT_EQ(Texts(), Strings{"無効な操作: 返信の作成中です。終わってからもう一度選んでください"});
  ASSERT_EQ(host.imports.size(), 1u);
  EXPECT_NE(host.imports[0].contents.find("\r\ndone\r\n"), std::string::npos);
}

TEST_F(ReplyCommand, ViewRouteAnswersTheViewedMail) {
  Program(0, kHello);
  Start();
  host.viewPath = tree.Win("Mail/ACC1/INBOX.BOX/00000004.ALM");
  plugin.ReplyCommand(kView, 0);
  ASSERT_EQ(host.imports.size(), 1u);
  EXPECT_NE(host.imports[0].contents.find("To: sender4@example.jp"), std::string::npos);
  // A mail directly in the mailbox folder; a mail that is gone.
  tree.Put("Mail/TOPLEVEL.ALM", "From: top@example.jp\r\n\r\nx\r\n");
  host.viewPath = tree.Win("Mail/TOPLEVEL.ALM");
  plugin.ReplyCommand(kView, 0);
  ASSERT_EQ(host.imports.size(), 2u);
  EXPECT_NE(host.imports[1].contents.find("To: top@example.jp"), std::string::npos);
  host.viewPath = tree.Win("Mail/ACC1/INBOX.BOX/NOTTHERE.ALM");
  plugin.ReplyCommand(kView, 0);
  EXPECT_EQ(Texts(), Strings{"無効な操作: メールが選択されていません"});
  // The main window is found by its title from any window of its process;
  // without one, the window remembered from the menu stands in.
  windows.windows[kMain].text = "AL-Mail";
  host.viewPath = tree.Win("Mail/ACC1/INBOX.BOX/00000004.ALM");
  Select({1});
  plugin.ReplyCommand(kView, 0);
  plugin.ReplyCommand(kMain, 0);  // the remembered main window: the folder route
  ASSERT_EQ(host.imports.size(), 4u);
  EXPECT_NE(host.imports[2].contents.find("To: sender4@example.jp"), std::string::npos);
  EXPECT_NE(host.imports[3].contents.find("To: sender1@example.jp"), std::string::npos);
}

TEST_F(ReplyCommand, DebugItemsWriteABundleOfTheFirstMailAndStartTheDebugger) {
  Program(0, "PRINT(1)\r\nPRINT(2)", "opt A\r\nopt B");
  Start();
  Select({3, 1, 2});
  std::remove(tree.Native("Mail/ACC1/INBOX.BOX/00000003.ALM").c_str());
  plugin.ReplyCommand(kMain, EncodeCommand({true, 1, 0}));
  EXPECT_TRUE(host.imports.empty());
  ASSERT_EQ(plugin.TempFiles().size(), 1u);
  std::string bundle = plugin.TempFiles()[0];
  EXPECT_EQ(bundle.rfind(tree.Win("AL/Plugins/TMP"), 0), 0u) << bundle;
  EXPECT_EQ(ui.started, Strings{"open|" + tree.Win("AL/Plugins/Vodrin.exe") + "|\"" + bundle + "\"|1"});
  std::optional<std::string> text = NativeFiles().ReadAll(bundle);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            "[Mail]\r\nFrom: sender1@example.jp\r\nSubject: mail 1\r\n\r\nbody\r\n[Program]\r\nPRINT(1)\r\nPRINT(2)\r\n"
            "[Option]\r\nopt B\r\n[AccountTitle]\r\n仕事\r\n[AccountUser]\r\ntaro\r\n[AccountAddress]\r\n"
            "taro@example.jp\r\n[AccountName]\r\n山田\r\n");
  // Without option: no option section. Clean-up deletes every bundle.
  plugin.ReplyCommand(kMain, EncodeCommand({true, -1, 0}));
  ASSERT_EQ(plugin.TempFiles().size(), 2u);
  std::string second = plugin.TempFiles()[1];
  EXPECT_EQ(NativeFiles().ReadAll(second)->find("[Option]"), std::string::npos);
  plugin.CleanUp();
  EXPECT_FALSE(NativeFiles().FileExists(bundle));
  EXPECT_FALSE(NativeFiles().FileExists(second));
  EXPECT_TRUE(plugin.TempFiles().empty());
  EXPECT_EQ(plugin.Pending(), nullptr);
}

}  // namespace
}  // namespace tam

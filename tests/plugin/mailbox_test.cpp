#include "plugin/mailbox.h"

#include <gtest/gtest.h>

#include "fake_host.h"
#include "tests/settings/temp_tree.h"

namespace tam {
namespace {

using test::FakeHost;
using test::FakeRegistry;
using test::RecordingPlatform;
using test::TempTree;
using Lines = std::vector<std::string>;

const std::string kAlMailKey = "SOFTWARE\\CREAR\\AL-Mail";
const std::string kOptionsKey = "Software\\Zembra Lab\\Tamberlo for AL-Mail\\Options";

class Mailbox : public ::testing::Test {
 protected:
  Mailbox() : access(host, NativeFiles(), registry) {
    host.mailbox = tree.Win("Mail/");
    host.account = tree.Win("Mail/ACC1/");
    tree.Put("Mail/ACC1/Account.ini",
             "[Account]\r\nmailaddress=  \"taro@example.jp\" \t\r\nFULLNAME=\"山田 太郎\r\nTITLE=仕事\r\n"
             "Account=\"\"\r\nTITLE=later\r\n");
    tree.Put("Mail/ACC1/INBOX.BOX/ENTRY.LST", "00000001 first\r\n00000002 second\r\nMAILNAME\r\n");
    tree.Put("Mail/ACC1/OUTBOX.BOX/ENTRY.LST", "");
    tree.Put("Mail/ACC1/F1/ENTRY.INI", "TITLE=\"案件\"\r\n");
    tree.Put("Mail/ACC1/F1/F2/ENTRY.INI", "title=\"進行中\r\n");
    tree.Put("Mail/ACC1/F1/F2/ENTRY.LST", "00000009\r\n");
    tree.Put("Mail/ACC1/F1/NOINI/ENTRY.LST", "");
  }
  TempTree tree;
  FakeHost host;
  FakeRegistry registry;
  RecordingPlatform ui;
  MailboxAccess access;
};

TEST_F(Mailbox, AccountStringsComeFromAccountIni) {
  EXPECT_EQ(access.AccountString(42, AccountKey::kAddress), "taro@example.jp");
  EXPECT_EQ(host.accountAskedFor, 42u);
  EXPECT_EQ(access.AccountString(42, AccountKey::kName), "\"山田 太郎");  // no closing quote: kept
  EXPECT_EQ(access.AccountString(42, AccountKey::kTitle), "仕事");        // the first line wins
  EXPECT_EQ(access.AccountString(42, AccountKey::kUser), "");
  host.account = tree.Win("Mail/NONE/");
  EXPECT_EQ(access.AccountString(42, AccountKey::kAddress), "");
}

TEST_F(Mailbox, FolderTitlesWalkTheFolderPath) {
  // ACCOUNT.INI is the account's Account.ini under the host's case rules.
  EXPECT_EQ(access.FolderTitle("ACC1\\INBOX.BOX\\"), "仕事\\郵便受け");
  EXPECT_EQ(access.FolderTitle("ACC1\\inbox.box\\F1\\"), "仕事\\郵便受け");
  EXPECT_EQ(access.FolderTitle("ACC1\\OUTBOX.BOX\\"), "仕事\\送信箱");
  // A title that opens a quote loses its first and last character, even a
  // double-byte one.
  EXPECT_EQ(access.FolderTitle("ACC1\\F1\\F2\\"), "仕事\\案件\\進行");
  EXPECT_EQ(access.FolderTitle("ACC1\\F1\\NOINI\\"), "");
  EXPECT_EQ(access.FolderTitle("ACC1\\"), "仕事");
  EXPECT_EQ(access.FolderTitle("NOACCOUNT\\INBOX.BOX\\"), "");
  EXPECT_EQ(access.FolderTitle("ACC1"), "");
}

TEST_F(Mailbox, SelectionListsTheSelectedEntries) {
  host.current = "ACC1\\INBOX.BOX\\00000002";
  host.selected = {"ACC1\\INBOX.BOX\\00000002", "ACC1\\INBOX.BOX\\00000001"};
  Selection s = access.SelectedEntries(7);
  EXPECT_EQ(s.mailbox, host.mailbox);
  EXPECT_EQ(s.folderPath, "ACC1\\INBOX.BOX\\");
  EXPECT_EQ(s.folderTitle, "仕事\\郵便受け");
  EXPECT_EQ(s.entries, (Lines{"00000002", "00000001"}));

  // Listed, but the host enumerates nothing: title without entries.
  host.selected.clear();
  s = access.SelectedEntries(7);
  EXPECT_EQ(s.folderTitle, "仕事\\郵便受け");
  EXPECT_TRUE(s.entries.empty());

  // A host that never ends the enumeration cannot hold the plug-in.
  host.endless = true;
  s = access.SelectedEntries(7);
  EXPECT_GT(s.entries.size(), 10u);
}

TEST_F(Mailbox, AMailMissingFromItsListIsInTheTrash) {
  host.current = "ACC1\\OUTBOX.BOX\\00000001";  // empty ENTRY.LST
  host.selected = {"ACC1\\OUTBOX.BOX\\00000001"};
  Selection s = access.SelectedEntries(7);
  EXPECT_EQ(s.folderTitle, "ごみ箱");
  EXPECT_EQ(s.folderPath, "");
  EXPECT_TRUE(s.entries.empty());

  host.current = "ACC1\\INBOX.BOX\\0000000X";
  EXPECT_EQ(access.SelectedEntries(7).folderTitle, "ごみ箱");
  host.current = "ACC1\\INBOX.BOX\\mailname";  // names compare in case
  EXPECT_EQ(access.SelectedEntries(7).folderTitle, "ごみ箱");

  // Without an ENTRY.LST only the folder path is known.
  host.current = "ACC1\\NOLIST\\00000001";
  s = access.SelectedEntries(7);
  EXPECT_EQ(s.folderPath, "ACC1\\NOLIST\\");
  EXPECT_EQ(s.folderTitle, "");
  EXPECT_TRUE(s.entries.empty());

  host.current = "";
  s = access.SelectedEntries(7);
  EXPECT_EQ(s.folderPath, "");
  EXPECT_EQ(s.mailbox, host.mailbox);
}

TEST_F(Mailbox, InstallFolderIsRebuiltWithStoredNames) {
  tree.MakeDir("Program Files/AL-Mail32");
  std::string written = tree.Win("PROGRAM FILES/al-mail32/Almail.exe");
  registry.PutString(RegistryRoot::kLocalMachine, kAlMailKey, "InstallPath", written);
  EXPECT_EQ(access.InstallFolder(), tree.Win("Program Files/AL-Mail32/"));
  // A name whose last byte is the trail byte 0x5C (表) is still looked up whole.
  tree.MakeDir("Apps");
  ASSERT_TRUE(NativeFiles().CreateFolder(tree.Win("Apps/Mail表")));
  registry.PutString(RegistryRoot::kLocalMachine, kAlMailKey, "InstallPath", tree.Win("APPS/mail表/Almail.exe"));
  EXPECT_EQ(access.InstallFolder(), tree.Win("Apps/Mail表/"));
  // Components that are not on disk stay as written.
  registry.PutString(RegistryRoot::kLocalMachine, kAlMailKey, "InstallPath", tree.Win("Gone/x/Almail.exe"));
  EXPECT_EQ(access.InstallFolder(), tree.Win("Gone/x/"));
  registry.PutString(RegistryRoot::kLocalMachine, kAlMailKey, "InstallPath", "Almail.exe");
  EXPECT_EQ(access.InstallFolder(), "");
  EXPECT_TRUE(ui.shown.empty());

  registry.values.clear();
  EXPECT_EQ(access.InstallFolder(), "");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "HKEY_LOCAL_MACHINE\\SOFTWARE\\CREAR\\AL-Mail\\InstallPath がありません");
  EXPECT_EQ(ui.shown[0].caption, "エラー");
  EXPECT_EQ(ui.shown[0].flags, 0x30u);
}

TEST_F(Mailbox, PluginFolderAndSettingsFile) {
  registry.PutString(RegistryRoot::kLocalMachine, kAlMailKey, "InstallPath", tree.Win("App/Almail.exe"));
  tree.MakeDir("App/Plugins");
  EXPECT_EQ(access.PluginFolder(), tree.Win("App/Plugins/"));  // found nowhere
  tree.Put("Mail/Plugins/Kesrel.dll", "");
  EXPECT_EQ(access.PluginFolder(), tree.Win("Mail/Plugins/"));
  tree.Put("App/Plugins/Kesrel.dll", "");
  EXPECT_EQ(access.PluginFolder(), tree.Win("App/Plugins/"));

  // The settings are shared (in the install folder) unless the registry says not.
  EXPECT_EQ(access.SettingsFileName(), tree.Win("App/Plugins/Kesrel.ini"));
  registry.values[{RegistryRoot::kCurrentUser, kOptionsKey, "Common"}] = RegistryData{kRegDword, std::string(4, '\0')};
  EXPECT_EQ(access.SettingsFileName(), tree.Win("Mail/Plugins/Kesrel.ini"));
  registry.PutString(RegistryRoot::kCurrentUser, kOptionsKey, "Common", "True");
  EXPECT_EQ(access.SettingsFileName(), tree.Win("App/Plugins/Kesrel.ini"));
}

TEST(IniKey, FirstMatchingLineTrimmed) {
  EXPECT_EQ(IniKeyValue("x=1\r\ntitle = a\r\nTITLE=b", "TITLE="), "b");
  EXPECT_EQ(IniKeyValue("TITLE=\t v \x01\r\n", "TITLE="), "v");
  EXPECT_EQ(IniKeyValue("TITL", "TITLE="), "");
}

#ifndef _WIN32
TEST(PosixPaths, HostPathsMapToNativeOnes) {
  EXPECT_EQ(NativePath("C:\\Program Files\\AL-Mail\\"), "/Program Files/AL-Mail/");
  EXPECT_EQ(NativePath("\\tmp\\表\\ソ\\a"), "/tmp/表/ソ/a");  // trail bytes 0x5C stay
  EXPECT_EQ(NativePath("rel\\x"), "rel/x");
  TempTree tree;
  tree.Put("Dir/Sub/File.TXT", "x");
  EXPECT_TRUE(NativeFiles().FileExists(tree.Win("dir/SUB/file.txt")));
  EXPECT_FALSE(NativeFiles().FileExists(tree.Win("dir/SUB")));
  EXPECT_EQ(NativeFiles().StoredFolderName(tree.Win("DIR/sub/")), "Sub");
  ASSERT_TRUE(NativeFiles().ReplaceContents(tree.Win("dir/sub/new.txt"), "y"));
  EXPECT_EQ(tree.Get("Dir/Sub/new.txt"), "y");
}
#endif

}  // namespace
}  // namespace tam

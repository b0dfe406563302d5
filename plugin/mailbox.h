// What the plug-in reads of the mail client's own files and registry values:
// the host's folders, the current account's identity, the selected entries
// and readable folder titles. Nothing is cached; every call reads afresh.
// Paths are in the host's Windows form and end in a backslash.
#pragma once

#include <string>
#include <vector>

#include "plugin/host_api.h"
#include "plugin/registry.h"
#include "settings/file_access.h"

namespace tam {

enum class AccountKey { kAddress, kName, kTitle, kUser };

struct Selection {
  std::string mailbox;               // the mailbox folder
  std::string folderPath;            // relative to the mailbox folder
  std::string folderTitle;           // "ごみ箱" when the current mail has left its list
  std::vector<std::string> entries;  // 8-character entry names, in the host's order
};

class MailboxAccess {
 public:
  explicit MailboxAccess(HostApi& host, FileAccess& files = NativeFiles(), RegistryAccess& registry = NativeRegistry())
      : host_(host), files_(files), registry_(registry) {}

  // MAILADDRESS=, FULLNAME=, TITLE= or ACCOUNT= of the current account's
  // Account.ini; empty when the file or the key is missing.
  std::string AccountString(HostWindow mainWindow, AccountKey key);
  // The current folder and the selected entries of the main window.
  Selection SelectedEntries(HostWindow mainWindow);
  // "account title\sub-folder titles" of a folder path, or empty.
  std::string FolderTitle(const std::string& folderPath);
  // The host's install folder from the registry, rebuilt with the names stored
  // on disk. Empty, after telling the user, when InstallPath is missing.
  std::string InstallFolder();
  // The folder that holds Kesrel.dll: below the install folder or else below
  // the mailbox folder; the install folder's when neither holds it.
  std::string PluginFolder();
  // Kesrel.ini below the install folder, or below the mailbox folder when the
  // registry's Options\Common says the settings are not shared.
  std::string SettingsFileName();

 private:
  std::string ReadKey(const std::string& file, const std::string& key);

  HostApi& host_;
  FileAccess& files_;
  RegistryAccess& registry_;
};

// Entry text of an ini-like file: the rest of the first line that begins with
// key (compared upper-cased), blanks and control characters trimmed.
std::string IniKeyValue(const std::string& text, const std::string& key);

}  // namespace tam

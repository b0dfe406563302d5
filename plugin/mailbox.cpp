#include "plugin/mailbox.h"

#include "engine/sjis.h"
#include "engine/text_lines.h"
#include "platform/platform.h"

namespace tam {

namespace {

constexpr unsigned kIconWarning = 0x30;
// Far more selected entries than any reply run takes; a host that never ends
// the enumeration cannot hold the plug-in forever.
constexpr int kMaxSelected = 100000;

std::string LastChars(const std::string& s, std::size_t n) { return s.size() <= n ? s : s.substr(s.size() - n); }

// Byte offsets of the backslashes that are characters of their own.
std::vector<std::size_t> Backslashes(const std::string& s) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < s.size(); i += SjisCharSize(s, i))
    if (s[i] == '\\') at.push_back(i);
  return at;
}

// Without the first and the last character (the last may be double-byte).
std::string StripEnds(const std::string& s) {
  if (s.empty()) return s;
  std::size_t first = SjisCharSize(s, 0), last = 0;
  for (std::size_t i = 0; i < s.size(); i += SjisCharSize(s, i)) last = i;
  return last <= first ? std::string() : s.substr(first, last - first);
}

}  // namespace

std::string IniKeyValue(const std::string& text, const std::string& key) {
  for (const std::string& line : SplitTextLines(text))
    if (UpperCase(line.substr(0, key.size())) == key) return Trim(line.substr(key.size()));
  return std::string();
}

std::string MailboxAccess::ReadKey(const std::string& file, const std::string& key) {
  if (!files_.FileExists(file)) return std::string();
  std::optional<std::string> text = files_.ReadAll(file);
  return text ? IniKeyValue(*text, key) : std::string();
}

std::string MailboxAccess::AccountString(HostWindow mainWindow, AccountKey key) {
  static const char* const kKeys[] = {"MAILADDRESS=", "FULLNAME=", "TITLE=", "ACCOUNT="};
  std::string value = ReadKey(host_.GetAccount(mainWindow) + "Account.ini", kKeys[static_cast<int>(key)]);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  else if (value == "\"")
    value.clear();
  return value;
}

std::string MailboxAccess::FolderTitle(const std::string& folderPath) {
  std::vector<std::size_t> slashes = Backslashes(folderPath);
  if (slashes.empty()) return std::string();
  std::string mailbox = host_.GetMailbox();
  std::string walked = folderPath.substr(0, slashes[0] + 1);
  std::string title = ReadKey(mailbox + walked + "ACCOUNT.INI", "TITLE=");
  if (!title.empty() && title[0] == '"') title = StripEnds(title);
  if (title.empty()) return std::string();
  for (std::size_t k = 1; k < slashes.size(); ++k) {
    std::string component = folderPath.substr(slashes[k - 1] + 1, slashes[k] - slashes[k - 1] - 1);
    std::string upper = UpperCase(component);
    if (upper == "INBOX.BOX") return title + "\\郵便受け";
    if (upper == "OUTBOX.BOX") return title + "\\送信箱";
    walked += component + "\\";
    std::string entryIni = mailbox + walked + "ENTRY.INI";
    if (!files_.FileExists(entryIni)) return std::string();
    std::string sub = ReadKey(entryIni, "TITLE=");
    if (!sub.empty() && sub[0] == '"') sub = StripEnds(sub);
    title += "\\" + sub;
  }
  return title;
}

Selection MailboxAccess::SelectedEntries(HostWindow mainWindow) {
  Selection s;
  s.mailbox = host_.GetMailbox();
  std::string current = host_.FolderGetCurrentEntry(mainWindow);
  if (current.empty()) return s;
  std::string entry = LastChars(current, 8);
  s.folderPath = current.substr(0, current.size() - entry.size());
  std::string list = s.mailbox + s.folderPath + "ENTRY.LST";
  if (!files_.FileExists(list)) return s;
  std::optional<std::string> text = files_.ReadAll(list);
  bool listed = false;
  if (text) {
    for (const std::string& line : SplitTextLines(*text)) {
      if (line.substr(0, 8) == entry) {
        listed = true;
        break;
      }
    }
  }
  if (!listed) {
    // The current mail has left its folder's list: it lies in the trash.
    s.folderTitle = "ごみ箱";
    s.folderPath.clear();
    return s;
  }
  s.folderTitle = FolderTitle(s.folderPath);
  for (int n = 0; n < kMaxSelected; ++n) {
    std::string selected = host_.FolderGetSelectEntry(mainWindow, n == 0 ? -1 : 0);
    if (selected.empty()) break;
    s.entries.push_back(LastChars(selected, 8));
  }
  return s;
}

std::string MailboxAccess::InstallFolder() {
  Value v = ReadRegistryValue(registry_, "\\HKEY_LOCAL_MACHINE\\SOFTWARE\\CREAR\\AL-Mail", "InstallPath",
                              Value::Str(std::string()));
  std::string path(v.str());
  if (path.empty()) {
    platform().MessageBox("HKEY_LOCAL_MACHINE\\SOFTWARE\\CREAR\\AL-Mail\\InstallPath がありません", "エラー",
                          kIconWarning);
    return std::string();
  }
  std::vector<std::size_t> slashes = Backslashes(path);
  if (slashes.empty()) return std::string();
  // Rebuild the folder with the names stored on disk (long names, their case).
  std::string folder = path.substr(0, slashes[0]);
  for (std::size_t k = 1; k < slashes.size(); ++k) {
    std::string component = path.substr(slashes[k - 1] + 1, slashes[k] - slashes[k - 1] - 1);
    if (!component.empty()) {
      std::optional<std::string> stored = files_.StoredFolderName(folder + "\\" + component);
      if (stored) component = *stored;
    }
    folder += "\\" + component;
  }
  return folder + "\\";
}

std::string MailboxAccess::PluginFolder() {
  std::string install = InstallFolder();
  if (files_.FileExists(install + "Plugins\\Kesrel.dll")) return install + "Plugins\\";
  std::string mailbox = host_.GetMailbox();
  if (files_.FileExists(mailbox + "Plugins\\Kesrel.dll")) return mailbox + "Plugins\\";
  return install + "Plugins\\";
}

std::string MailboxAccess::SettingsFileName() {
  bool shared = ToBoolean(ReadRegistryValue(registry_, "Options", "Common", Value::Bool(true)));
  std::string base = shared ? InstallFolder() : host_.GetMailbox();
  return base + "Plugins\\Kesrel.ini";
}

}  // namespace tam

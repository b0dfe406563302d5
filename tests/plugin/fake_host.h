// An in-process stand-in for the mail client: its functions answer from
// fields that a test sets, over a real mailbox tree on disk.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/platform.h"
#include "plugin/host_api.h"
#include "plugin/registry.h"

namespace tam::test {

class FakeHost : public HostApi {
 public:
  std::string GetMailbox() override { return mailbox; }
  std::string GetAccount(HostWindow w) override {
    accountAskedFor = w;
    return account;
  }
  std::string FolderGetCurrentEntry(HostWindow) override { return current; }
  std::string FolderGetSelectEntry(HostWindow, int index) override {
    if (index == -1) next = 0;
    if (endless) return "INBOX.BOX\\00000001";
    return next < selected.size() ? selected[next++] : std::string();
  }
  void ImportFile(const std::string&, const std::string&, std::uint32_t) override {}
  void FolderMailTo(HostWindow, const std::string&) override {}
  void SendSetText(HostWindow, const std::string&) override {}
  void SendSetHeader(HostWindow, const std::string&) override {}
  std::string ViewGetPath(HostWindow) override { return std::string(); }

  std::string mailbox, account, current;
  std::vector<std::string> selected;
  std::size_t next = 0;
  bool endless = false;
  HostWindow accountAskedFor = 0;
};

class FakeRegistry : public RegistryAccess {
 public:
  std::optional<RegistryData> Query(RegistryRoot root, const std::string& key, const std::string& name) override {
    auto it = values.find({root, key, name});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void PutString(RegistryRoot root, const std::string& key, const std::string& name, const std::string& s) {
    values[{root, key, name}] = RegistryData{kRegString, s + '\0'};
  }
  std::map<std::tuple<RegistryRoot, std::string, std::string>, RegistryData> values;
};

// Records message boxes instead of showing them.
class RecordingPlatform : public Platform {
 public:
  RecordingPlatform() { SetPlatform(this); }
  ~RecordingPlatform() override { SetPlatform(nullptr); }
  const LocaleInfo& Locale() override { return locale_; }
  LocalTime Now() override { return LocalTime(); }
  LocalTime UtcNow() override { return LocalTime(); }
  int TimeZoneBias() override { return -540; }
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    shown.push_back({text, caption, flags});
    return mbOK;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> SelectDirectory(const std::string&, bool) override { return std::nullopt; }
  // Both forms of the shell call, so that this stand-in fits the interface
  // while its working-folder parameter is being added.
  int ShellOpen(const std::string&, const std::string&) { return 2; }
  int ShellOpen(const std::string&, const std::string&, const std::string&) { return 2; }
  std::uint32_t SystemColor(int) override { return 0; }

  struct Shown {
    std::string text, caption;
    unsigned flags;
  };
  std::vector<Shown> shown;

 private:
  LocaleInfo locale_;
};

}  // namespace tam::test

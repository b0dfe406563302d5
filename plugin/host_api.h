// The mail client's own functions that the plug-in calls, as the plug-in
// relies on them. The plug-in binds the real ones from the host program;
// tests supply their own. A result the host gives as a null string arrives
// here as an empty one.
#pragma once

#include <cstdint>
#include <string>

namespace tam {

// A window of the host, as its functions take it.
using HostWindow = std::uintptr_t;

// Flags of ImportFile.
constexpr std::uint32_t kImportQueued = 0xC1000000u;  // sent at the next send and receive
constexpr std::uint32_t kImportDraft = 0xC0000000u;   // stored unsent

class HostApi {
 public:
  virtual ~HostApi() = default;
  // _APAGetMailbox@0: the mailbox folder, ending in a backslash.
  virtual std::string GetMailbox() = 0;
  // _APAGetAccount@4: the current account's folder, ending in a backslash.
  virtual std::string GetAccount(HostWindow mainWindow) = 0;
  // _APAFolderGetCurrentEntry@4: folder path + 8-character entry name of the
  // focused entry, relative to the mailbox folder; empty when none.
  virtual std::string FolderGetCurrentEntry(HostWindow mainWindow) = 0;
  // _APAFolderGetSelectEntry@8: index -1 gives the first selected entry, 0
  // the next one; empty when there are no more.
  virtual std::string FolderGetSelectEntry(HostWindow mainWindow, int index) = 0;
  // _APAImportFile@12: copies the mail in file into folder (relative to the
  // mailbox folder) with one of the import flags.
  virtual void ImportFile(const std::string& file, const std::string& folder, std::uint32_t flags) = 0;
  // _APAFolderMailTo@8: opens a send window addressed to text.
  virtual void FolderMailTo(HostWindow mainWindow, const std::string& text) = 0;
  // _APASendSetText@8 and _APASendSetHeader@8: fill a send window.
  virtual void SendSetText(HostWindow sendWindow, const std::string& text) = 0;
  virtual void SendSetHeader(HostWindow sendWindow, const std::string& text) = 0;
  // _APAViewGetPath@4: full file name of the mail shown in a view window.
  virtual std::string ViewGetPath(HostWindow viewWindow) = 0;
};

}  // namespace tam

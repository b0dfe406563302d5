// The reply command: from the chosen menu item and the window whose menu was
// used to the replies handed to the host. It finds the meant mails (the
// selection of the main window or the mail of a view window), checks them,
// and runs the reply program over each, or writes a debug bundle of the
// first and starts the debugger on it. Problems reach the user in message
// boxes only; nothing passes out to the host.
#pragma once

#include <string>

#include "plugin/command_code.h"
#include "plugin/kesrel.h"
#include "plugin/mailbox.h"

namespace tam {

class TReplyCommand {
 public:
  TReplyCommand(TKesrel& plugin, HostApi& host, int code);
  void Run(HostWindow received);

 private:
  struct Mail {
    std::string mailbox, folderPath, entry;
    std::string File() const { return mailbox + folderPath + entry + ".ALM"; }
  };

  void FolderRoute();
  void ViewRoute(HostWindow received);
  // One mail: false ends the run.
  bool ReplyTo(const Mail& mail);
  void WriteBundle(const Mail& mail);
  bool HandOver(const Mail& mail, const LineList& header, const LineList& body);

  // The program and option line of the command; false (after telling the
  // user) when the settings no longer hold them.
  bool ReadProgram(std::string& program, std::string& optionLine);
  bool ReadMail(const Mail& mail, LineList& lines);
  ReplyAccount Account();
  void Warn(const std::string& text, const std::string& caption);

  TKesrel& plugin_;
  HostApi& host_;
  CommandCode code_;
  MailboxAccess mailbox_;
  HostWindow main_ = 0;  // the current main window
};

}  // namespace tam

#include "plugin/kesrel.h"

#include <cstring>

#include "plugin/mailbox.h"
#include "plugin/reply_command.h"

namespace tam {

bool VersionAccepted(const char* version) { return version && std::strcmp(version, "1.10") >= 0; }

TKesrel::TKesrel(PluginServices services) : services_(std::move(services)), settings_(*services_.files) {}

TKesrel::~TKesrel() = default;

void TKesrel::Start(HostApi& host) {
  host_ = &host;
  MailboxAccess mailbox(host, *services_.files, *services_.registry);
  settings_.Load(mailbox.SettingsFileName());
  if (!session_) session_ = std::make_unique<TReplySession>();
  pending_ = std::make_unique<PendingReplies>();
}

void TKesrel::CleanUp() {
  for (const std::string& name : tempFiles_) services_.files->RemoveFile(name);
  tempFiles_.clear();
  pending_.reset();
  session_.reset();
  host_ = nullptr;
}

void TKesrel::ReplyCommand(HostWindow received, int code) {
  if (!host_) return;
  TReplyCommand(*this, *host_, code).Run(received);
}

bool TKesrel::WatchTick(HostWindow sendWindow) {
  if (!host_) return true;
  return WatchSendWindow(*services_.windows, *host_, pending_.get(), sendWindow);
}

}  // namespace tam

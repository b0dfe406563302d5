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
  if (!running_) session_.reset();  // else the run still holds it; it goes with the plug-in
  host_ = nullptr;
}

void TKesrel::ReplyCommand(HostWindow received, int code) {
  if (!host_) return;
  if (running_) {
    // Chosen from another window while a message box or dialog of the run
    // is open: the engine is busy with the run.
    services_.ui->Message(0, "返信の作成中です。終わってからもう一度選んでください", "無効な操作",
                          kMbOk | kMbIconWarning | kMbTaskModal);
    return;
  }
  running_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{running_};
  TReplyCommand(*this, *host_, code).Run(received);
}

bool TKesrel::WatchTick(HostWindow sendWindow) {
  if (!host_) return true;
  return WatchSendWindow(*services_.windows, *host_, pending_.get(), sendWindow);
}

}  // namespace tam

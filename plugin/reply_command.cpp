#include "plugin/reply_command.h"

#include <exception>
#include <new>

#include "engine/sjis.h"
#include "engine/text_lines.h"
#include "mail/mail_text.h"
#include "plugin/reply_settings.h"
#include "settings/debug_bundle.h"

namespace tam {

namespace {

constexpr std::size_t kMaxMails = 10;
const char kInvalid[] = "無効な操作";
const char kError[] = "エラー";

// The folder part (up to and including the last backslash) of a path.
std::size_t AfterLastBackslash(const std::string& s) {
  std::size_t after = 0;
  for (std::size_t i = 0; i < s.size(); i += SjisCharSize(s, i))
    if (s[i] == '\\') after = i + 1;
  return after;
}

// Deletes a file when it goes out of scope.
struct FileRemover {
  FileAccess& files;
  std::string name;
  ~FileRemover() {
    if (!name.empty()) files.RemoveFile(name);
  }
};

}  // namespace

TReplyCommand::TReplyCommand(TKesrel& plugin, HostApi& host, int code)
    : plugin_(plugin),
      host_(host),
      code_(DecodeCommand(code)),
      mailbox_(host, *plugin.services_.files, *plugin.services_.registry) {}

void TReplyCommand::Warn(const std::string& text, const std::string& caption) {
  plugin_.services_.ui->Message(main_, text, caption, kMbOk | kMbIconWarning);
}

void TReplyCommand::Run(HostWindow received) {
  try {
    main_ = FindMainWindow(*plugin_.services_.windows, received, plugin_.RememberedMainWindow());
    if (received == main_)
      FolderRoute();
    else
      ViewRoute(received);
  } catch (const std::bad_alloc&) {
    Warn("メモリが足りないため、返信の作成を中止しました", kError);
  } catch (const std::exception& e) {
    Warn(std::string("返信の作成を中止しました\r\n") + e.what(), kError);
  } catch (...) {
    Warn("返信の作成を中止しました", kError);
  }
}

void TReplyCommand::FolderRoute() {
  if (host_.FolderGetSelectEntry(main_, -1).empty()) return Warn("メールが選択されていません", kInvalid);
  Selection s = mailbox_.SelectedEntries(main_);
  if (s.folderTitle == "ごみ箱") return Warn("今のところ、ごみ箱では実行できません", kInvalid);
  if (s.folderPath.empty()) return Warn("メールがありません", kInvalid);
  if (s.entries.empty()) return Warn(s.mailbox + s.folderPath + "ENTRY.LST がないかカラです", kError);
  if (s.entries.size() > kMaxMails) return Warn("一度に処理できるのは１０メールまでです", kError);
  std::vector<Mail> mails;
  for (const std::string& entry : s.entries) {
    Mail m{s.mailbox, s.folderPath, entry};
    if (plugin_.services_.files->FileExists(m.File())) mails.push_back(m);
  }
  if (mails.empty()) return;
  if (code_.debug) return WriteBundle(mails.front());
  for (const Mail& m : mails)
    if (!ReplyTo(m)) return;
}

void TReplyCommand::ViewRoute(HostWindow received) {
  Mail m;
  m.mailbox = host_.GetMailbox();
  std::string path = host_.ViewGetPath(received);
  std::string rest = path.size() > m.mailbox.size() ? path.substr(m.mailbox.size()) : std::string();
  std::size_t split = AfterLastBackslash(rest);
  m.folderPath = rest.substr(0, split);
  if (m.folderPath.empty() || m.folderPath.back() != '\\') m.folderPath += '\\';
  std::string name = rest.substr(split);
  m.entry = name.substr(0, name.size() > 4 ? name.size() - 4 : 0);
  if (!plugin_.services_.files->FileExists(m.File())) return Warn("メールが選択されていません", kInvalid);
  if (code_.debug) return WriteBundle(m);
  ReplyTo(m);
}

bool TReplyCommand::ReadProgram(std::string& program, std::string& optionLine) {
  const SettingsStore& store = plugin_.Settings();
  std::string what = "返信プログラム " + std::to_string(code_.program + 1);
  if (code_.program < 0 || code_.program >= ProgramCount(store)) {
    Warn(what + " がありません。設定が変わったときは、メニューを開き直してください", kError);
    return false;
  }
  program = ProgramBody(store, code_.program);
  optionLine.clear();
  if (code_.option < 0) return true;
  std::vector<std::string> options = ProgramOptions(store, code_.program);
  if (static_cast<std::size_t>(code_.option) >= options.size()) {
    Warn(what + " のオプション " + std::to_string(code_.option + 1) +
             " がありません。設定が変わったときは、メニューを開き直してください",
         kError);
    return false;
  }
  optionLine = options[code_.option];
  return true;
}

bool TReplyCommand::ReadMail(const Mail& mail, LineList& lines) {
  std::optional<std::string> text = plugin_.services_.files->ReadAll(mail.File());
  if (!text) {
    Warn("メールを読み込めません\r\n" + mail.File(), kError);
    return false;
  }
  lines = SplitTextLines(*text);
  return true;
}

ReplyAccount TReplyCommand::Account() {
  HostWindow w = plugin_.RememberedMainWindow();
  return {mailbox_.AccountString(w, AccountKey::kTitle), mailbox_.AccountString(w, AccountKey::kUser),
          mailbox_.AccountString(w, AccountKey::kAddress), mailbox_.AccountString(w, AccountKey::kName)};
}

bool TReplyCommand::ReplyTo(const Mail& mail) {
  std::string program, optionLine;
  if (!ReadProgram(program, optionLine)) return false;
  TReplySession& session = *plugin_.session_;
  std::string loadError;
  {
    LineList lines;
    if (!ReadMail(mail, lines)) return false;
    loadError = session.Prepare(lines, program, optionLine, Account());
  }
  if (!loadError.empty()) {
    plugin_.services_.ui->Message(0, loadError, "プログラム構造エラー", kMbOk | kMbIconWarning | kMbTaskModal);
    return false;
  }
  LineList header, body;
  ReplyRunReport report = session.Run(header, body, plugin_.services_.decide, plugin_.services_.busy);
  if (report.faulted) {
    // The reply is incomplete: it is not handed over, and the run ends.
    plugin_.services_.ui->Message(0,
                                  std::to_string(report.faultLine) + "行目で実行を続けられなくなりました。\r\n" +
                                      report.fault + "\r\nこのメールの返信は作成しません。",
                                  "プログラム実行時エラー", kMbOk | kMbIconWarning | kMbTaskModal);
    return false;
  }
  return HandOver(mail, header, body);
}

bool TReplyCommand::HandOver(const Mail& mail, const LineList& header, const LineList& body) {
  OutputMode mode = ReadOutputMode(plugin_.Settings());
  if (mode == OutputMode::kWindow) {
    PendingReplies* pending = plugin_.Pending();
    if (!pending) return false;
    pending->Add(mail.entry, JoinTextLines(header), JoinTextLines(body));
    host_.FolderMailTo(main_, mail.entry);
    return true;
  }
  std::string account = host_.GetAccount(main_);
  std::string folder =
      (account.size() > mail.mailbox.size() ? account.substr(mail.mailbox.size()) : std::string()) + "OUTBOX.BOX";
  std::string pluginFolder = mailbox_.PluginFolder();
  FileRemover temp{*plugin_.services_.files, plugin_.services_.files->CreateTempFile(
                                                 pluginFolder, "RPQ", JoinTextLines(StoredReply(header, body)))};
  if (temp.name.empty()) {
    Warn("返信を一時ファイルに書き込めません\r\n" + pluginFolder, kError);
    return false;
  }
  host_.ImportFile(temp.name, folder, mode == OutputMode::kSending ? kImportQueued : kImportDraft);
  return true;
}

void TReplyCommand::WriteBundle(const Mail& mail) {
  std::string program, optionLine;
  if (!ReadProgram(program, optionLine)) return;
  DebugBundle b;
  if (!ReadMail(mail, b.mail)) return;
  // The program goes in as one text: a final line break leaves an empty line.
  b.program = SplitTextLines(program);
  if (!program.empty() && (program.back() == '\n' || program.back() == '\r')) b.program.emplace_back();
  b.option = optionLine;
  ReplyAccount a = Account();
  b.accountTitle = a.title;
  b.accountUser = a.user;
  b.accountAddress = a.address;
  b.accountName = a.name;
  std::string folder = mailbox_.PluginFolder();
  std::string name = WriteBundleFile(*plugin_.services_.files, folder, b, code_.option >= 0);
  if (name.empty()) return Warn("デバッグ用の一時ファイルを書き込めません\r\n" + folder, kError);
  plugin_.TempFiles().push_back(name);
  plugin_.services_.ui->ShellStart("open", folder + "Vodrin.exe", "\"" + name + "\"", kSwShowNormal);
}

}  // namespace tam

// The 28 functions that the mail client exports for its plug-ins, under
// their decorated names (see almail.def). The ones a plug-in only looks up
// report any call, since no plug-in of this kind should make one.
#include <string>

#include "testhost/host.h"
#include "testhost/menus.h"

namespace almail {
namespace {

// Strings handed to the plug-in stay valid until the same function is
// called again; "nothing" is a null pointer unless asked otherwise.
const char* Give(std::string& keep, const std::string& value) {
  keep = value;
  if (keep.empty() && !host().config.nullAsEmpty) return nullptr;
  return keep.c_str();
}

std::string Text(const char* s) { return s ? s : ""; }

void Unexpected(const char* name) { Fault(std::string("! the plug-in called ") + name); }

void CheckMain(HWND window, const char* name) {
  if (window != host().main) Fault(std::string("! ") + name + " was given a window that is not the main window");
}

}  // namespace
}  // namespace almail

using almail::host;

extern "C" {

void __stdcall APASetTimer(DWORD, DWORD, DWORD) { almail::Unexpected("_APASetTimer@12"); }
void __stdcall APAExecALMail(DWORD) { almail::Unexpected("_APAExecALMail@4"); }

UINT __stdcall APARegistCallback(void(__stdcall* proc)(HWND, std::uint32_t), std::uint32_t user) {
  return almail::RegisterCommand(proc, user);
}

const char* __stdcall APAGetMailbox() {
  static std::string keep;
  return almail::Give(keep, host().config.mailbox);
}

const char* __stdcall APAGetAccount(HWND main) {
  static std::string keep;
  almail::CheckMain(main, "_APAGetAccount@4");
  return almail::Give(keep, host().config.mailbox + host().config.account + "\\");
}

void __stdcall APAGetFolderName(DWORD) { almail::Unexpected("_APAGetFolderName@4"); }

void __stdcall APAImportFile(const char* file, const char* folder, DWORD flags) {
  const std::string name = almail::Text(file), where = almail::Text(folder);
  const std::string entry = almail::StoreMail(name, where, flags);
  std::string from = name;
  const std::string& install = host().config.install;
  if (from.size() > install.size() && lstrcmpiA(from.substr(0, install.size()).c_str(), install.c_str()) == 0)
    from = from.substr(install.size());
  const std::size_t slash = from.rfind('\\');
  // The temporary file's name is the system's choice: only its prefix is shown.
  from = from.substr(0, slash + 1) + from.substr(slash + 1, 3) + "*";
  almail::Out("import " + where + " " + almail::Hex(flags) + " from " + from + (entry.empty() ? " failed" : ""));
  host().importedFiles.push_back(name);
}

void __stdcall APAMoveMail(DWORD, DWORD) { almail::Unexpected("_APAMoveMail@8"); }
void __stdcall APAMarkMail(DWORD, DWORD, DWORD) { almail::Unexpected("_APAMarkMail@12"); }
void __stdcall APADeleteMail(DWORD) { almail::Unexpected("_APADeleteMail@4"); }
void __stdcall APAFolderGetCurrentFolder(DWORD) { almail::Unexpected("_APAFolderGetCurrentFolder@4"); }

const char* __stdcall APAFolderGetCurrentEntry(HWND main) {
  static std::string keep;
  almail::CheckMain(main, "_APAFolderGetCurrentEntry@4");
  const almail::FolderView& v = host().view;
  return almail::Give(keep, v.current.empty() ? std::string() : v.folder + v.current);
}

const char* __stdcall APAFolderGetSelectEntry(HWND main, int index) {
  static std::string keep;
  almail::CheckMain(main, "_APAFolderGetSelectEntry@8");
  almail::FolderView& v = host().view;
  if (index == -1) v.cursor = 0;
  if (v.cursor >= v.selected.size()) return almail::Give(keep, "");
  return almail::Give(keep, v.folder + v.selected[v.cursor++]);
}

void __stdcall APAFolderMailTo(HWND main, const char* text) {
  almail::CheckMain(main, "_APAFolderMailTo@8");
  almail::Out("mailto " + almail::Text(text));
  almail::OpenSendWindow(almail::Text(text), true);
}

void __stdcall APAFolderReply(DWORD, DWORD) { almail::Unexpected("_APAFolderReply@8"); }
void __stdcall APAFolderOpenMail(DWORD, DWORD, DWORD) { almail::Unexpected("_APAFolderOpenMail@12"); }
void __stdcall APASendGetText(DWORD, DWORD) { almail::Unexpected("_APASendGetText@8"); }
void __stdcall APASendGetHeader(DWORD) { almail::Unexpected("_APASendGetHeader@4"); }

void __stdcall APASendSetText(HWND send, const char* text) {
  almail::SendWindow* s = almail::FindSend(send);
  if (!s || !IsWindow(send)) return almail::Fault("! _APASendSetText@8 was given a window that is no send window");
  SetWindowTextA(s->body, text ? text : "");
  s->textSet = true;
}

void __stdcall APASendSetHeader(HWND send, const char* text) {
  almail::SendWindow* s = almail::FindSend(send);
  if (!s || !IsWindow(send)) return almail::Fault("! _APASendSetHeader@8 was given a window that is no send window");
  SetWindowTextA(s->header, text ? text : "");
  s->headerSet = true;
}

void __stdcall APASendGetEditor(DWORD) { almail::Unexpected("_APASendGetEditor@4"); }
void __stdcall APAViewGetText(DWORD) { almail::Unexpected("_APAViewGetText@4"); }
void __stdcall APAViewGetHeader(DWORD) { almail::Unexpected("_APAViewGetHeader@4"); }
void __stdcall APAViewSetText(DWORD, DWORD) { almail::Unexpected("_APAViewSetText@8"); }

const char* __stdcall APAViewGetPath(HWND view) {
  static std::string keep;
  almail::ViewWindow* v = almail::FindView(view);
  if (!v) {
    almail::Fault("! _APAViewGetPath@4 was given a window that is no view window");
    return almail::Give(keep, "");
  }
  return almail::Give(keep, host().config.mailbox + v->path + ".ALM");
}

void __stdcall APAViewGetEditor(DWORD) { almail::Unexpected("_APAViewGetEditor@4"); }
void __stdcall APAViewChangeMail(DWORD, DWORD) { almail::Unexpected("_APAViewChangeMail@8"); }
void __stdcall APAJisToSjis(DWORD, DWORD, DWORD) { almail::Unexpected("_APAJisToSjis@12"); }

}  // extern "C"

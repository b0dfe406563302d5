#include "testhost/plugin.h"

#include "testhost/boxes.h"
#include "testhost/checked_call.h"
#include "testhost/host.h"

namespace almail {

namespace {

const char* const kExports[] = {"APCGetPlugName", "APCVersionInfo",    "APCStartUp",      "APCCleanUp",
                                "APCSetup",       "APCFolderInitMenu", "APCViewInitMenu", "APCSendInitMenu"};

std::uintptr_t Arg(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

}  // namespace

Plugin& plugin() {
  static Plugin p;
  return p;
}

bool Plugin::Load(const std::string& file) {
  module_ = LoadLibraryA(file.c_str());
  if (!module_) {
    Out("! cannot load the plug-in " + file + " (error " + std::to_string(GetLastError()) + ")");
    return false;
  }
  AnswerMessageBoxesOf(module_);
  for (const char* name : kExports)
    if (!GetProcAddress(module_, name)) Fault(std::string("! the plug-in does not export ") + name);
  return true;
}

const void* Plugin::Export(const char* name) {
  return module_ ? reinterpret_cast<const void*>(GetProcAddress(module_, name)) : nullptr;
}

bool Plugin::Start(const std::string& version) {
  if (const void* fn = Export("APCGetPlugName")) {
    const char* name = reinterpret_cast<const char*>(CheckedCall(fn, {}, "APCGetPlugName"));
    Out(std::string("plug-in: ") + (name ? name : "(null)"));
  }
  const void* fn = Export("APCStartUp");
  if (!fn) return false;
  const std::uintptr_t r = CheckedCall(fn, {Arg(version.c_str())}, "APCStartUp");
  Out("startup " + version + ": " + (r == 0 ? "false" : r == 0xFFFFFFFFu ? "true" : "true (" + Hex(r) + ")"));
  started_ = r != 0;
  return started_;
}

void Plugin::FolderInitMenu(HWND window, HMENU menu, int kind) {
  if (const void* fn = started_ ? Export("APCFolderInitMenu") : nullptr)
    CheckedCall(fn, {Arg(window), Arg(menu), static_cast<std::uint32_t>(kind)}, "APCFolderInitMenu");
}

void Plugin::ViewInitMenu(HWND window, HMENU menu, int kind) {
  if (const void* fn = started_ ? Export("APCViewInitMenu") : nullptr)
    CheckedCall(fn, {Arg(window), Arg(menu), static_cast<std::uint32_t>(kind)}, "APCViewInitMenu");
}

void Plugin::SendInitMenu(HWND window, HMENU menu) {
  if (const void* fn = started_ ? Export("APCSendInitMenu") : nullptr)
    CheckedCall(fn, {Arg(window), Arg(menu), 301}, "APCSendInitMenu");
}

void Plugin::VersionInfo(HWND owner) {
  // The about box may be shown before the start, as the client offers it
  // in its plug-in list.
  if (const void* fn = Export("APCVersionInfo")) CheckedCall(fn, {Arg(owner)}, "APCVersionInfo");
  Out("about box closed");
}

void Plugin::Setup(HWND owner) {
  if (const void* fn = started_ ? Export("APCSetup") : nullptr) CheckedCall(fn, {Arg(owner)}, "APCSetup");
  Out("setup closed");
}

void Plugin::Unload() {
  if (!module_) return;
  if (started_) {
    if (const void* fn = Export("APCCleanUp")) CheckedCall(fn, {}, "APCCleanUp");
    Out("cleanup");
    started_ = false;
  }
  FreeLibrary(module_);
  module_ = nullptr;
}

}  // namespace almail

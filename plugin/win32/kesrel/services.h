// The plug-in's single state on win32 and the system services it works
// with: message boxes, shell starts and the host's windows.
#pragma once

#include <windows.h>

#include <string>

#include "plugin/kesrel.h"

namespace tam::win {

// The plug-in, from the loading of the library to its unloading.
TKesrel& Plugin();

// The system's windows, as the plug-in walks them.
WindowSystem& SystemWindows();

// The module of the plug-in (for its window classes).
HINSTANCE PluginInstance();
void SetPluginInstance(HINSTANCE instance);

// Runs body and turns anything it throws into a message box, so that no
// fault reaches the host. False when body threw.
template <class F>
bool Guarded(F body) noexcept;

void ReportFault(const char* what) noexcept;

template <class F>
bool Guarded(F body) noexcept {
  try {
    body();
    return true;
  } catch (const std::bad_alloc&) {
    ReportFault("メモリが足りません");
  } catch (const std::exception& e) {
    ReportFault(e.what());
  } catch (...) {
    ReportFault("原因不明の障害です");
  }
  return false;
}

// Every export, callback and window procedure is called by code whose stack
// may be aligned to 4 bytes only.
#define TAM_REALIGN __attribute__((force_align_arg_pointer))

}  // namespace tam::win

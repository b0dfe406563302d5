// The binding to the mail client's own functions: the product values in the
// registry, the host program's module and its 28 functions, all or none.
#pragma once

#include <windows.h>

#include "plugin/host_api.h"

namespace tam::win {

// A menu command procedure as the host calls it.
using CommandProc = void(__stdcall*)(HWND window, int userValue);

// Writes the product values, loads "Almail.exe" and looks up every host
// function; false (nothing bound) when the module or any name is missing.
bool BindHost();
// Releases the host module; the functions are unbound afterwards.
void ReleaseHost();
bool HostBound();
// The bound functions; only while bound.
HostApi& BoundHost();
// _APARegistCallback@8: the menu identifier for proc with userValue.
UINT RegistCallback(CommandProc proc, int userValue);

}  // namespace tam::win

// Vodrin.exe: the debugger of reply programs. The first parameter may name a
// debug bundle written by the plug-in.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "debugger/win32/debug_form.h"
#include "debugger/win32/vodrin_ids.h"
#include "platform/platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  const std::vector<std::string> params = tam::os::ProgramParameters();
  const tam::vodrin::TAppli appli = tam::vodrin::TAppli::OfThisProgram();
  if (!tam::vodrin::CreateDebugForm(appli, params.size() > 1 ? params[1] : std::string())) return 1;
  HWND main = FindWindowA(tam::vodrin::kDebugFormClass, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (main && IsDialogMessageA(main, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

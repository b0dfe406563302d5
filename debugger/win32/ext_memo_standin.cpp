#include "debugger/win32/ext_memo_standin.h"

#include <richedit.h>

#include "debugger/win32/forms.h"

namespace tam::win {

HWND CreateExtMemo(HWND parent, int id, DWORD style, int x, int y, int width, int height) {
  static HMODULE riched = LoadLibraryA("RICHED32.DLL");
  if (!riched) return nullptr;
  return CreateWindowExA(WS_EX_CLIENTEDGE, "RICHEDIT", "", WS_CHILD | style, x, y, width, height, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

std::string ExtMemoText(HWND memo) {
  const std::string text = vodrin::WindowText(memo);
  // RichEdit 1.0 keeps a line break as CR LF; a lone CR becomes CR LF.
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
  }
  return out;
}

void SetExtMemoText(HWND memo, const std::string& text) { SetWindowTextA(memo, text.c_str()); }

}  // namespace tam::win

// Dialog templates built in memory, so that the library's dialogs need no
// resource file. Texts are Shift-JIS and become UTF-16 in the template.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tam::win32 {

// Shift-JIS to UTF-16 and back (code page 932).
std::wstring Wide(const std::string& sjis);
std::string Narrow(const std::wstring& wide);

// A control's text as Shift-JIS.
std::string ControlText(HWND control);

class DialogTemplate {
 public:
  // Dimensions in dialog units; the font is the Japanese dialog font.
  DialogTemplate(const std::string& caption, DWORD style, short cx, short cy);
  // One control of a predefined class (0x80 button, 0x81 edit, 0x82 static,
  // 0x83 list box, 0x85 combo box) or of a registered class name.
  void Add(WORD id, WORD atom, const std::string& text, DWORD style, short x, short y, short cx, short cy);
  void Add(WORD id, const wchar_t* className, const std::string& text, DWORD style, short x, short y, short cx,
           short cy);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id);
  void Text(const std::wstring& s);
  void AlignToDword();
  std::vector<WORD> words_;
};

}  // namespace tam::win32

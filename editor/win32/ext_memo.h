// The program editor control: the system's RichEdit 1.0 window ("RICHEDIT"
// of RICHED32.DLL) in plain-text mode, subclassed so that it keeps the IME
// colours and line-breaking options, a wrap area in half-width cells, and
// draws marks for line ends, tabs, blanks, control characters and the end of
// the text, the caret underline and the wrap-column line.
//
// The window answers every EM_ and WM_ message as RichEdit does; the object
// behind it (ExtMemoOf) holds the properties.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/edit_area.h"
#include "editor/edit_marks.h"
#include "editor/rich_edit_options.h"

namespace tam::win {

// The rich-edit control with the IME colours and the line-breaking options.
class TCustomExtRichEdit {
 public:
  explicit TCustomExtRichEdit(HWND handle);
  virtual ~TCustomExtRichEdit();
  TCustomExtRichEdit(const TCustomExtRichEdit&) = delete;
  TCustomExtRichEdit& operator=(const TCustomExtRichEdit&) = delete;

  HWND Handle() const { return handle_; }

  editor::TImeColors ImeColors;
  editor::TWordWrapOption WordWrapOption;
  bool InsertMode = true;  // toggled by Insert without Shift and Ctrl
  // Applied when the window is made (as CreateExtMemo was given them).
  bool SelectionBar = true;
  bool Vertical = false;

  // Whether the control answers the Far East messages (Wine's RichEdit does
  // not: the options are then kept here only).
  bool HasWordWrapMode() const { return farEastWordWrap_; }
  bool HasPunctuation() const { return farEastPunctuation_; }
  bool HasImeColor() const { return farEastImeColor_; }

  // Sends the stored flag word again (after WordWrapOption changed).
  void ApplyWordWrapOption();

 protected:
  // Creation steps of this class: options, line-breaking tables, IME colours.
  virtual void Created();
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  friend LRESULT CALLBACK ExtMemoProc(HWND, UINT, WPARAM, LPARAM);
  friend HWND CreateExtMemo(HWND, int, DWORD, int, int, int, int, bool, bool);
  void SendImeColors();
  bool SendPunctuation(editor::TPunctuationKind kind, const std::string& chars);
  std::string ReadPunctuation(editor::TPunctuationKind kind);

  HWND handle_;
  WNDPROC original_ = nullptr;
  bool farEastWordWrap_ = false, farEastPunctuation_ = false, farEastImeColor_ = false;
};

// The program editor.
class TExtMemo : public TCustomExtRichEdit {
 public:
  explicit TExtMemo(HWND handle);
  ~TExtMemo() override;

  editor::TEditArea EditArea;
  editor::TEditMarks EditMarks;
  editor::TMarker CaretMarker;
  editor::TMarker WordWrapMarker;

  // The clipboard holds text the control takes.
  bool CanPaste() const;

  // What the Tab key does (shift: Shift+Tab held). Unset, a tab is typed as
  // any character; set, the control also asks a dialog for the Tab key and
  // the key does only this.
  std::function<void(bool shift)> OnTabKey;

  // Whole text as Shift-JIS bytes, lines joined by CR LF.
  std::string Text() const;
  void SetText(const std::string& text);

  // Tab stops at 1..count times step pixels, on every paragraph.
  void SetTabStops(int stepPixels, int count = 31);

  // The control's background colour (RGB).
  COLORREF Color() const;
  // Positions a double-byte character takes in this control (1 or 2).
  int DoubleByteWidth() const { return doubleByteWidth_; }
  // Draws the marks of positions [from, to] (to may be the text length).
  void DrawMarks(std::int32_t from, std::int32_t to, bool erase);
  // Measures the cell height again and applies the wrap area.
  void FontChanged();
  void ApplyWrapArea();
  bool WordWrap() const;

 protected:
  void Created() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct MarkFonts;
  void LoadText(const char* text);
  void Repaint();
  void Paint(const RECT& update);
  void DrawWrapColumn(HDC dc);
  void DrawCaretUnderline(bool erase);
  void EraseCaretUnderline();
  void SelectionChanged();
  std::int32_t TextLength() const;
  std::int32_t CharFromPos(int x, int y) const;
  POINT PosFromChar(std::int32_t pos) const;
  std::string LineBytes(std::int32_t line, std::int32_t positions) const;
  int DoubleByteBlankHeight(HDC dc) const;

  HFONT font_ = nullptr;  // the font set with WM_SETFONT (none: the system's)
  COLORREF background_ = 0;
  bool systemBackground_ = true;
  int doubleByteWidth_ = 1;
  std::int32_t underlineLine_ = -1;
  bool underlineShown_ = false;
  editor::TSelection previousSelection_;
  RECT sentRect_ = {0, 0, 0, 0}, reportedRect_ = {0, 0, 0, 0};
  bool painting_ = false;
  bool loading_ = false;
  bool tabShift_ = false;  // Shift held when the Tab key went down
};

// Makes the program editor as a child window (style as for "RICHEDIT";
// WS_CHILD is added). Returns nullptr when RICHED32.DLL is missing.
HWND CreateExtMemo(HWND parent, int id, DWORD style, int x, int y, int width, int height);
// The same with the selection-bar and vertical-text options of the window
// chosen (they are applied when it is made).
HWND CreateExtMemo(HWND parent, int id, DWORD style, int x, int y, int width, int height, bool selectionBar,
                   bool vertical);
// The editor object behind a window made by CreateExtMemo (else nullptr).
TExtMemo* ExtMemoOf(HWND memo);
// Whole text as Shift-JIS bytes, lines joined by CR LF.
std::string ExtMemoText(HWND memo);
void SetExtMemoText(HWND memo, const std::string& text);

}  // namespace tam::win

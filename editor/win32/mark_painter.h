// Draws the editor's marks on a device context: the glyphs of the "Symbol"
// and "MSゴシック" fonts where the system has them, and equivalent arrows,
// dots and boxes at the same places where it does not.
#pragma once

#include <windows.h>

#include "editor/edit_marks.h"

namespace tam::win {

class MarkPainter {
 public:
  // font: the control's font (nullptr: the system font).
  MarkPainter(HDC dc, HFONT font, COLORREF control);
  ~MarkPainter();
  MarkPainter(const MarkPainter&) = delete;
  MarkPainter& operator=(const MarkPainter&) = delete;

  // cell: when given and not empty, the background is laid over it first.
  void Draw(const editor::TMarkPlace& place, int x, int y, const editor::TMarkColors& colors,
            const RECT* cell = nullptr);
  // The bands between the client and the formatting rectangle, in the
  // control's colour.
  void FillBands(const RECT& client, const RECT& format);
  int MarkHeight() const { return height_; }

 private:
  void Fill(const RECT& r, COLORREF color);
  void DrawShape(const editor::TMarkPlace& place, int x, int y, COLORREF glyph, COLORREF background);

  HDC dc_;
  COLORREF control_;
  int height_ = 0;  // the marks' font height: the double-byte blank's less 2
  HFONT symbol_ = nullptr, gothic_ = nullptr, text_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  LOGFONTA like_ = {};  // the control's font, for control characters' letters
};

// Whether the system has a font of that face name.
bool HasFontFace(HDC dc, const char* face);

}  // namespace tam::win

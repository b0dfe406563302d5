#include "editor/win32/mark_painter.h"

#include <algorithm>
#include <cstring>

namespace tam::win {

using namespace editor;

namespace {

const char kSymbolFace[] = "Symbol";
const char kGothicFace[] = "MSゴシック";

int CALLBACK FaceFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

HFONT MakeFont(const char* face, int height, BYTE charset, const LOGFONTA* like) {
  LOGFONTA lf = {};
  if (like) lf = *like;
  lf.lfHeight = height;
  lf.lfWidth = 0;
  lf.lfCharSet = charset;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

}  // namespace

bool HasFontFace(HDC dc, const char* face) {
  LOGFONTA lf = {};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  EnumFontFamiliesExA(dc, &lf, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

MarkPainter::MarkPainter(HDC dc, HFONT font, COLORREF control) : dc_(dc), control_(control) {
  HFONT base = font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  oldFont_ = SelectObject(dc, base);
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc, "\x81\x40", 2, &size);
  height_ = std::max<int>(size.cy - 2, 4);
  LOGFONTA like = {};
  GetObjectA(base, sizeof like, &like);
  // The lookups are made once: the fonts of a system do not come and go.
  static const bool hasSymbol = HasFontFace(dc, kSymbolFace);
  static const bool hasGothic = HasFontFace(dc, kGothicFace);
  if (hasSymbol) symbol_ = MakeFont(kSymbolFace, height_, SYMBOL_CHARSET, nullptr);
  if (hasGothic) gothic_ = MakeFont(kGothicFace, height_, SHIFTJIS_CHARSET, nullptr);
  like_ = like;
  SetBkMode(dc, OPAQUE);
}

MarkPainter::~MarkPainter() {
  SelectObject(dc_, oldFont_);
  for (HFONT f : {symbol_, gothic_, text_})
    if (f) DeleteObject(f);
}

void MarkPainter::Fill(const RECT& r, COLORREF color) {
  SetBkColor(dc_, color);
  ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void MarkPainter::FillBands(const RECT& client, const RECT& format) {
  RECT bands[4] = {{client.left, client.top, client.right, format.top},
                   {client.left, format.bottom, client.right, client.bottom},
                   {client.left, format.top, format.left, format.bottom},
                   {format.right, format.top, client.right, format.bottom}};
  for (const RECT& band : bands)
    if (band.right > band.left && band.bottom > band.top) Fill(band, control_);
}

void MarkPainter::Draw(const TMarkPlace& place, int x, int y, const TMarkColors& colors, const RECT* cell) {
  COLORREF glyph = colors.glyph < 0 ? GetSysColor(colors.glyph & 0xFF) : static_cast<COLORREF>(colors.glyph);
  COLORREF background =
      colors.background < 0 ? GetSysColor(colors.background & 0xFF) : static_cast<COLORREF>(colors.background);
  HFONT font = place.font == TMarkFont::Symbol ? symbol_ : gothic_;
  // A control character's letter needs no special font.
  if (!font && place.kind == Ctrl) {
    if (!text_) text_ = MakeFont(like_.lfFaceName, height_, like_.lfCharSet, &like_);
    font = text_;
  }
  if (!font) {
    DrawShape(place, x, y, glyph, background);
    return;
  }
  if (cell && !IsRectEmpty(cell)) Fill(*cell, background);
  SelectObject(dc_, font);
  SetTextColor(dc_, glyph);
  SetBkColor(dc_, background);
  TextOutA(dc_, x, y, place.glyph.data(), static_cast<int>(place.glyph.size()));
}

// The equivalent marks: an arrow to the right for a tab, a bent arrow down
// for a line end, a dot for a blank, a box for a double-byte blank and an
// arrow to the left for the end of the text.
void MarkPainter::DrawShape(const TMarkPlace& place, int x, int y, COLORREF glyph, COLORREF background) {
  int h = height_, w = place.kind == DSp ? h : std::max(h / 2, 4);
  Fill({x, y, x + w, y + h}, background);
  HPEN pen = CreatePen(PS_SOLID, 1, glyph);
  HGDIOBJ oldPen = SelectObject(dc_, pen);
  int midY = y + h / 2, midX = x + w / 2;
  auto line = [&](int x1, int y1, int x2, int y2) {
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
  };
  switch (place.kind) {
    case Tab:
      line(x + 1, y + 2, x + w - 1, midY);
      line(x + w - 1, midY, x, y + h - 2);
      break;
    case CrLf:
      line(midX, y + 1, midX, y + h - 1);
      line(x + 1, y + h - 1 - w / 2, midX, y + h - 1);
      line(midX, y + h - 1, x + w, y + h - 2 - w / 2);
      break;
    case SSp: {
      RECT dot = {midX - 1, midY, midX + 1, midY + 2};
      HBRUSH brush = CreateSolidBrush(glyph);
      FillRect(dc_, &dot, brush);
      DeleteObject(brush);
      break;
    }
    case DSp: {
      HGDIOBJ oldBrush = SelectObject(dc_, GetStockObject(NULL_BRUSH));
      Rectangle(dc_, x + 1, y + 1, x + w - 1, y + h - 1);
      SelectObject(dc_, oldBrush);
      break;
    }
    case Eot:
      line(x, midY, x + w + 2, midY);
      line(x, midY, x + w / 2, midY - w / 2);
      line(x, midY, x + w / 2, midY + w / 2);
      break;
    case Ctrl:
      break;
  }
  SelectObject(dc_, oldPen);
  DeleteObject(pen);
}

}  // namespace tam::win

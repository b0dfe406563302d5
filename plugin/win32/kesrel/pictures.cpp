#include "plugin/win32/kesrel/pictures.h"

namespace tam::win {

namespace {

constexpr int kSize = 32;

// A 32 x 32 colour bitmap drawn by paint on a memory device context.
template <class Paint>
HBITMAP Draw(Paint paint) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kSize, kSize);
  ReleaseDC(nullptr, screen);
  if (!dc || !bitmap) {
    if (dc) DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  HGDIOBJ old = SelectObject(dc, bitmap);
  paint(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace

HICON MakePluginIcon() {
  // A folded letter in blue with a reply arrow.
  HBITMAP colour = Draw([](HDC dc) {
    RECT all = {0, 0, kSize, kSize};
    Fill(dc, all, RGB(0, 0, 0));
    RECT paper = {3, 7, 29, 25};
    Fill(dc, paper, RGB(255, 255, 255));
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(0, 64, 160));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, 3, 7, nullptr);
    LineTo(dc, 16, 17);
    LineTo(dc, 29, 7);
    MoveToEx(dc, 20, 28, nullptr);
    LineTo(dc, 28, 28);
    MoveToEx(dc, 20, 28, nullptr);
    LineTo(dc, 23, 25);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  });
  HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, nullptr);
  if (mask) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
    RECT paper = {3, 7, 29, 25};
    FillRect(dc, &paper, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT arrow = {19, 24, 29, 30};
    FillRect(dc, &arrow, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  HICON icon = nullptr;
  if (colour && mask) {
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    icon = CreateIconIndirect(&info);
  }
  if (colour) DeleteObject(colour);
  if (mask) DeleteObject(mask);
  return icon ? icon : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
}

HBITMAP MakeHiddenPicture() {
  // A zebra's stripes, for the series' name.
  return Draw([](HDC dc) {
    RECT all = {0, 0, kSize, kSize};
    Fill(dc, all, RGB(255, 255, 255));
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    for (int x = -kSize; x < kSize; x += 7) {
      MoveToEx(dc, x, kSize, nullptr);
      LineTo(dc, x + kSize, 0);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  });
}

}  // namespace tam::win

#include "editor/win32/ext_memo.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "editor/win32/mark_painter.h"
#include "engine/sjis.h"
#include "engine/text_lines.h"

namespace tam::win {

using namespace editor;

namespace {

// The editor object of each window. Looked up on every message: a window
// property would cost a call to the window server each time under Wine.
std::unordered_map<HWND, TCustomExtRichEdit*>& Objects() {
  static std::unordered_map<HWND, TCustomExtRichEdit*> objects;
  return objects;
}

TCustomExtRichEdit* ObjectOf(HWND window) {
  auto found = Objects().find(window);
  return found == Objects().end() ? nullptr : found->second;
}

COLORREF Rgb(TColor c) { return c < 0 ? GetSysColor(c & 0xFF) : static_cast<COLORREF>(c); }

HMODULE RichEditLibrary() {
  static HMODULE library = LoadLibraryA("RICHED32.DLL");
  return library;
}

// Positions a double-byte character takes in this system's RichEdit: one
// where it counts characters, two where it counts bytes.
int ProbeDoubleByteWidth(HWND parent) {
  static int width = 0;
  if (width) return width;
  HWND probe =
      CreateWindowExA(0, "RICHEDIT", "", WS_CHILD, 0, 0, 200, 40, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!probe) return 1;
  // A double-byte blank and a letter: where position 1 lies between the
  // two, a double-byte character takes one position.
  SetWindowTextA(probe,
                 "\x81\x40"
                 "a");
  LONG x[3];
  for (int i = 0; i < 3; ++i) {
    POINTL p = {0, 0};
    SendMessageA(probe, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), i);
    x[i] = p.x;
  }
  DestroyWindow(probe);
  width = x[0] < x[1] && x[1] < x[2] ? 1 : 2;
  return width;
}

// Lone CRs and LFs become CR LF, as the rest of the system keeps lines.
std::string WithCrLf(const std::string& text) {
  if (text.empty()) return text;
  std::string joined = JoinTextLines(SplitTextLines(text));
  char last = text.back();
  if (last != '\r' && last != '\n') joined.resize(joined.size() - 2);
  return joined;
}

}  // namespace

// --- TCustomExtRichEdit -------------------------------------------------------

TCustomExtRichEdit::TCustomExtRichEdit(HWND handle) : handle_(handle) {
  ImeColors.OnChange = [this] { SendImeColors(); };
  WordWrapOption.SendPunctuation = [this](TPunctuationKind kind, const std::string& chars) {
    return SendPunctuation(kind, chars);
  };
}

TCustomExtRichEdit::~TCustomExtRichEdit() = default;

LRESULT TCustomExtRichEdit::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(original_, handle_, message, wParam, lParam);
}

LRESULT TCustomExtRichEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN && wParam == VK_INSERT && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0)
    InsertMode = !InsertMode;
  return Default(message, wParam, lParam);
}

std::string TCustomExtRichEdit::ReadPunctuation(TPunctuationKind kind) {
  std::string buffer(2048, '\0');
  PUNCTUATION p = {2048, buffer.data()};
  if (!SendMessageA(handle_, EM_GETPUNCTUATION, kind, reinterpret_cast<LPARAM>(&p))) return std::string();
  farEastPunctuation_ = true;
  buffer.resize(strnlen(buffer.data(), buffer.size()));
  return buffer;
}

bool TCustomExtRichEdit::SendPunctuation(TPunctuationKind kind, const std::string& chars) {
  // A control without the message keeps the string in the object only.
  if (!farEastPunctuation_ || !handle_) return true;
  std::string copy = chars;
  PUNCTUATION p = {static_cast<UINT>(copy.size() + 1), copy.data()};
  return SendMessageA(handle_, EM_SETPUNCTUATION, kind, reinterpret_cast<LPARAM>(&p)) != 0;
}

void TCustomExtRichEdit::SendImeColors() {
  if (!handle_) return;
  COMPCOLOR colors[4];
  for (int i = 0; i < 4; ++i) {
    const TImeColor& c = ImeColors.All()[i];
    colors[i] = {Rgb(c.icText), Rgb(c.icBackground), c.Style};
  }
  farEastImeColor_ = SendMessageA(handle_, EM_SETIMECOLOR, 0, reinterpret_cast<LPARAM>(colors)) != 0;
}

void TCustomExtRichEdit::ApplyWordWrapOption() { SendMessageA(handle_, EM_SETWORDWRAPMODE, WordWrapOption.Flags(), 0); }

void TCustomExtRichEdit::Created() {
  LRESULT modified = SendMessageA(handle_, EM_GETMODIFY, 0, 0);
  DWORD options = (SelectionBar ? ECO_SELECTIONBAR : 0) | (Vertical ? ECO_VERTICAL : 0);
  if (options) SendMessageA(handle_, EM_SETOPTIONS, ECOOP_OR, options);
  // The built-in line-breaking tables, each read under its own level.
  const TPunctuationKind kinds[] = {pcFollowing, pcLeading, pcOverflow, pcDelimiter};
  SendMessageA(handle_, EM_SETWORDWRAPMODE, kReadLevel1Flags, 0);
  farEastWordWrap_ = (SendMessageA(handle_, EM_GETWORDWRAPMODE, 0, 0) & 0x3F0) == kReadLevel1Flags;
  for (TPunctuationKind k : kinds) WordWrapOption.SetTable(TPunctuationMode::wbfLevel1, k, ReadPunctuation(k));
  SendMessageA(handle_, EM_SETWORDWRAPMODE, kReadLevel2Flags, 0);
  for (TPunctuationKind k : kinds) WordWrapOption.SetTable(TPunctuationMode::wbfLevel2, k, ReadPunctuation(k));
  ApplyWordWrapOption();
  SendImeColors();
  SendMessageA(handle_, EM_SETMODIFY, modified, 0);
}

// --- TExtMemo -------------------------------------------------------------------

TExtMemo::TExtMemo(HWND handle) : TCustomExtRichEdit(handle) {
  EditArea.OnChange = [this] { ApplyWrapArea(); };
  // The overflow flag decides the wrap area's width.
  WordWrapOption.OnFlagsChange = [this] {
    ApplyWordWrapOption();
    ApplyWrapArea();
  };
  EditMarks.OnChange = [this] { Repaint(); };
  CaretMarker.OnChange = [this] { Repaint(); };
  WordWrapMarker.OnChange = [this] { Repaint(); };
}

TExtMemo::~TExtMemo() = default;

void TExtMemo::Created() {
  TCustomExtRichEdit::Created();
  doubleByteWidth_ = ProbeDoubleByteWidth(GetParent(Handle()));
  RECT r, client;
  SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  GetClientRect(Handle(), &client);
  EditArea.Margin.SetLeft(r.left);
  EditArea.Margin.SetTop(r.top);
  EditArea.Margin.SetBottom(client.bottom - r.bottom);
  FontChanged();
}

bool TExtMemo::WordWrap() const { return !(GetWindowLongPtrA(Handle(), GWL_STYLE) & (ES_AUTOHSCROLL | WS_HSCROLL)); }

COLORREF TExtMemo::Color() const { return systemBackground_ ? GetSysColor(COLOR_WINDOW) : background_; }

bool TExtMemo::CanPaste() const { return SendMessageA(Handle(), EM_CANPASTE, CF_TEXT, 0) != 0; }

std::string TExtMemo::Text() const {
  // Wine's RichEdit counts the length in characters even here: grow the
  // buffer until the text fits.
  GETTEXTLENGTHEX ex = {GTL_NUMBYTES | GTL_PRECISE, 932};
  LRESULT bytes = SendMessageA(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&ex), 0);
  std::size_t size = std::max<std::size_t>(static_cast<std::size_t>(std::max<LRESULT>(bytes, 0)),
                                           static_cast<std::size_t>(GetWindowTextLengthA(Handle())) * 2) +
                     16;
  std::string buffer;
  for (;;) {
    buffer.assign(size, '\0');
    LRESULT got = SendMessageA(Handle(), WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer.data()));
    if ((got >= 0 && static_cast<std::size_t>(got) + 1 < size) || size > (std::size_t{1} << 30)) {
      std::size_t filled = got < 0 ? 0 : std::min(static_cast<std::size_t>(got), size - 1);
      buffer.resize(strnlen(buffer.data(), filled));
      break;
    }
    size *= 2;
  }
  return WithCrLf(buffer);
}

namespace {
struct StreamSource {
  const char* text;
  std::size_t left;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* got) {
  auto* source = reinterpret_cast<StreamSource*>(cookie);
  std::size_t n = std::min(source->left, static_cast<std::size_t>(std::max<LONG>(size, 0)));
  // A piece ends on a character boundary: Wine's RichEdit converts each
  // piece on its own and would split a double-byte character.
  if (n < source->left) {
    std::size_t boundary = 0;
    while (boundary < n) {
      bool pair = IsLeadByte(static_cast<unsigned char>(source->text[boundary])) &&
                  static_cast<unsigned char>(source->text[boundary + 1]) >= 0x40;
      std::size_t step = pair ? 2 : 1;
      if (boundary + step > n) break;
      boundary += step;
    }
    if (boundary > 0) n = boundary;
  }
  memcpy(buffer, source->text, n);
  source->text += n;
  source->left -= n;
  *got = static_cast<LONG>(n);
  return 0;
}
}  // namespace

void TExtMemo::SetText(const std::string& text) {
  SendMessageA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The text goes in as a plain-text stream: RichEdit takes a long text that
// way in time proportional to it, where setting it as the window text
// takes far longer.
void TExtMemo::LoadText(const char* text) {
  loading_ = true;
  StreamSource source = {text ? text : "", text ? strlen(text) : 0};
  EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&source), 0, ReadStream};
  SendMessageA(Handle(), EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
  SendMessageA(Handle(), EM_SETMODIFY, FALSE, 0);
  loading_ = false;
}

void TExtMemo::SetTabStops(int stepPixels, int count) {
  HDC dc = GetDC(Handle());
  int ppi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(Handle(), dc);
  PARAFORMAT format = {};
  format.cbSize = sizeof format;
  format.dwMask = PFM_TABSTOPS;
  format.cTabCount = static_cast<SHORT>(std::clamp(count, 0, MAX_TAB_STOPS));
  for (int k = 0; k < format.cTabCount; ++k) format.rgxTabs[k] = MulDiv((k + 1) * stepPixels, 1440, ppi ? ppi : 96);
  CHARRANGE kept = {0, 0};
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  SendMessageA(Handle(), EM_SETSEL, 0, -1);
  SendMessageA(Handle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
  SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
}

void TExtMemo::Repaint() {
  if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
}

int TExtMemo::DoubleByteBlankHeight(HDC dc) const {
  HGDIOBJ old = SelectObject(dc, font_ ? font_ : GetStockObject(SYSTEM_FONT));
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc, "\x81\x40", 2, &size);
  SelectObject(dc, old);
  return size.cy;
}

void TExtMemo::FontChanged() {
  HDC dc = GetDC(Handle());
  int c = CellHeightFor(DoubleByteBlankHeight(dc));
  int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(Handle(), dc);
  CHARFORMATA format = {};
  format.cbSize = sizeof format;
  format.dwMask = CFM_SIZE;
  format.yHeight = CharSizeTwips(c, ppi);
  SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EditArea.SetCellHeight(c);
  ApplyWrapArea();
}

void TExtMemo::ApplyWrapArea() {
  if (!Handle()) return;
  RECT client;
  GetClientRect(Handle(), &client);
  TRect area = EditArea.WrapArea(client.bottom, WordWrapOption.WordWrapMode());
  // Without word wrap the margins still hold; the text runs to the right edge.
  if (!WordWrap()) area.right = std::max<int>(client.right, area.left + 1);
  RECT want = {area.left, area.top, area.right, std::max(area.bottom, area.top + 1)}, have;
  SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&have));
  // The control reports the rectangle it was given in its own way (RichEdit
  // 1.0 one pixel up and left): it is sent again only when it was changed.
  if (EqualRect(&want, &sentRect_) && EqualRect(&have, &reportedRect_)) return;
  SendMessageA(Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&want));
  sentRect_ = want;
  SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&reportedRect_));
}

std::int32_t TExtMemo::TextLength() const {
  // In positions: the last line's start and length (the window text length
  // counts bytes on some systems and characters on others).
  LRESULT lines = SendMessageA(Handle(), EM_GETLINECOUNT, 0, 0);
  LRESULT start = SendMessageA(Handle(), EM_LINEINDEX, lines > 0 ? lines - 1 : 0, 0);
  if (start < 0) return 0;
  return static_cast<std::int32_t>(start + SendMessageA(Handle(), EM_LINELENGTH, start, 0));
}

std::int32_t TExtMemo::CharFromPos(int x, int y) const {
  POINTL p = {x, y};
  return static_cast<std::int32_t>(SendMessageA(Handle(), EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&p)));
}

POINT TExtMemo::PosFromChar(std::int32_t pos) const {
  POINTL p = {0, 0};
  SendMessageA(Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), pos);
  return {p.x, p.y};
}

std::string TExtMemo::LineBytes(std::int32_t line, std::int32_t positions) const {
  std::size_t size = static_cast<std::size_t>(std::max(positions, 0)) * 2 + 8;
  std::string buffer(size, '\0');
  *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(std::min<std::size_t>(size, 0xFFFF));
  LRESULT got = SendMessageA(Handle(), EM_GETLINE, line, reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(static_cast<std::size_t>(std::clamp<LRESULT>(got, 0, static_cast<LRESULT>(size))));
  // The line break, where the control leaves it out, stands for the
  // positions not yet covered.
  std::int32_t covered = 0;
  for (std::size_t i = 0; i < buffer.size();) {
    std::size_t n = SjisCharSize(buffer, i);
    covered += n == 2 ? doubleByteWidth_ : 1;
    i += n;
  }
  // (A line cut short by the control's limit gets none.)
  if (positions - covered == 2)
    buffer += "\r\n";
  else if (positions - covered == 1)
    buffer += "\r";
  return buffer;
}

void TExtMemo::DrawMarks(std::int32_t from, std::int32_t to, bool erase) {
  if (!Handle() || !IsWindowVisible(Handle())) return;
  std::int32_t length = TextLength();
  from = std::clamp(from, 0, length);
  to = std::clamp(to, from, length);
  CHARRANGE sel = {0, 0};
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  TSelection selection{std::min(sel.cpMin, sel.cpMax), std::max(sel.cpMin, sel.cpMax)};

  // The text of the whole lines that hold the range.
  std::string text;
  std::int32_t textStart = 0;
  if (EditMarks.AnyInText() && from < length) {
    std::int32_t first = static_cast<std::int32_t>(SendMessageA(Handle(), EM_EXLINEFROMCHAR, 0, from));
    std::int32_t last =
        static_cast<std::int32_t>(SendMessageA(Handle(), EM_EXLINEFROMCHAR, 0, std::min(to, length - 1)));
    textStart = static_cast<std::int32_t>(SendMessageA(Handle(), EM_LINEINDEX, first, 0));
    std::int32_t start = textStart;
    for (std::int32_t line = first; line <= last; ++line) {
      LRESULT next = SendMessageA(Handle(), EM_LINEINDEX, line + 1, 0);
      std::int32_t end = next < 0 || next < start ? length : static_cast<std::int32_t>(next);
      text += LineBytes(line, end - start);
      start = end;
    }
  }
  std::vector<TMarkPlace> places =
      LayoutMarks(EditMarks, text, textStart, length, to >= length, selection, doubleByteWidth_);

  HDC dc = GetDC(Handle());
  RECT format;
  SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  MarkPainter painter(dc, font_, Color());
  for (const TMarkPlace& place : places) {
    if (place.pos < from || place.pos > to) continue;
    POINT at = PosFromChar(place.pos);
    if (place.kind == Eot && at.x >= format.right) continue;
    // A control character's letter covers the whole of the box the control
    // shows for it.
    RECT cell = {0, 0, 0, 0};
    if (place.kind == Ctrl) {
      POINT next = PosFromChar(place.pos + 1);
      if (next.y == at.y && next.x > at.x) cell = {at.x, at.y, next.x, at.y + EditArea.CellHeight()};
    }
    painter.Draw(place, at.x + place.dx, at.y + place.dy, MarkColors(EditMarks[place.kind], Color(), erase), &cell);
  }
  if (!erase) {
    RECT client;
    GetClientRect(Handle(), &client);
    painter.FillBands(client, format);
    DrawWrapColumn(dc);
  }
  ReleaseDC(Handle(), dc);
}

void TExtMemo::DrawWrapColumn(HDC dc) {
  if (!WordWrapMarker.Enabled()) return;
  RECT client;
  GetClientRect(Handle(), &client);
  int x = EditArea.WrapColumnX();
  HBRUSH brush = CreateSolidBrush(Rgb(WordWrapMarker.Color()));
  RECT line = {x, client.top, x + 1, client.bottom};
  FillRect(dc, &line, brush);
  DeleteObject(brush);
}

void TExtMemo::DrawCaretUnderline(bool erase) {
  if (!CaretMarker.Enabled()) return;
  CHARRANGE sel = {0, 0};
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  RECT format;
  SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  HDC dc = GetDC(Handle());
  auto drawLine = [&](std::int32_t line, COLORREF color) {
    LRESULT index = SendMessageA(Handle(), EM_LINEINDEX, line, 0);
    if (index < 0) return;
    int y = PosFromChar(static_cast<std::int32_t>(index)).y + EditArea.CellHeight() - 1;
    HBRUSH brush = CreateSolidBrush(color);
    RECT r = {format.left, y, format.right, y + 1};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  };
  std::int32_t line = static_cast<std::int32_t>(SendMessageA(Handle(), EM_EXLINEFROMCHAR, 0, sel.cpMin));
  if (GetFocus() == Handle()) {
    POINT caret;
    if (GetCaretPos(&caret)) {
      std::int32_t atPoint =
          static_cast<std::int32_t>(SendMessageA(Handle(), EM_EXLINEFROMCHAR, 0, CharFromPos(caret.x, caret.y)));
      line = CaretUnderlineLine(line, atPoint);
    }
  }
  if (underlineShown_ && (erase || line != underlineLine_ || sel.cpMin != sel.cpMax)) {
    drawLine(underlineLine_, Color());
    underlineShown_ = false;
  }
  if (!erase && sel.cpMin == sel.cpMax) {
    std::int32_t first = static_cast<std::int32_t>(SendMessageA(Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
    std::int32_t last = static_cast<std::int32_t>(
        SendMessageA(Handle(), EM_EXLINEFROMCHAR, 0, CharFromPos(format.left, format.bottom)));
    if (CaretUnderlineShown(line, first, last)) {
      drawLine(line, Rgb(CaretMarker.Color()));
      underlineShown_ = true;
      underlineLine_ = line;
    }
  }
  ReleaseDC(Handle(), dc);
}

void TExtMemo::EraseCaretUnderline() { DrawCaretUnderline(true); }

void TExtMemo::Paint(const RECT& update) {
  painting_ = true;
  std::int32_t from = CharFromPos(update.left, update.top);
  std::int32_t to = CharFromPos(update.right, update.bottom);
  DrawMarks(from, to, false);
  DrawCaretUnderline(false);
  painting_ = false;
}

void TExtMemo::SelectionChanged() {
  CHARRANGE sel = {0, 0};
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  TSelection now{std::min(sel.cpMin, sel.cpMax), std::max(sel.cpMin, sel.cpMax)};
  if (now == previousSelection_) return;
  TSelection before = previousSelection_;
  previousSelection_ = now;
  if (before.start < before.end) {
    // Only what can be seen of the old selection is drawn again.
    RECT client;
    GetClientRect(Handle(), &client);
    std::int32_t top = CharFromPos(0, 0), bottom = CharFromPos(client.right, client.bottom);
    std::int32_t from = std::max(before.start, top), to = std::min(before.end, bottom);
    if (from <= to) DrawMarks(from, to, false);
  }
  DrawCaretUnderline(false);
}

LRESULT TExtMemo::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      RECT update;
      BOOL dirty = GetUpdateRect(Handle(), &update, FALSE);
      LRESULT result = Default(message, wParam, lParam);
      if (dirty && !IsRectEmpty(&update) && !painting_) Paint(update);
      return result;
    }
    case WM_SETTEXT: {
      LoadText(reinterpret_cast<const char*>(lParam));
      SelectionChanged();
      return TRUE;
    }
    case WM_NCPAINT:
    case WM_SIZE: {
      LRESULT result = Default(message, wParam, lParam);
      ApplyWrapArea();
      return result;
    }
    case WM_SETFONT: {
      font_ = reinterpret_cast<HFONT>(wParam);
      LRESULT result = Default(message, wParam, lParam);
      if (!loading_) FontChanged();
      return result;
    }
    case EM_SETBKGNDCOLOR: {
      LRESULT result = Default(message, wParam, lParam);
      systemBackground_ = wParam != 0;
      background_ = static_cast<COLORREF>(lParam);
      return result;
    }
    case WM_GETDLGCODE:
      if (OnTabKey) return Default(message, wParam, lParam) | DLGC_WANTTAB | DLGC_WANTCHARS;
      break;
    case WM_KEYDOWN: {
      bool shift = GetKeyState(VK_SHIFT) < 0;
      if (OnTabKey && wParam == VK_TAB) {
        // The tab character that follows does the work.
        tabShift_ = shift;
        return 0;
      }
      bool moving = wParam >= VK_PRIOR && wParam <= VK_DOWN;
      if (shift && moving) EraseCaretUnderline();
      LRESULT result = TCustomExtRichEdit::WndProc(message, wParam, lParam);
      SelectionChanged();
      if ((shift && moving) || (wParam == VK_DELETE && !shift)) DrawCaretUnderline(false);
      return result;
    }
    case WM_CHAR: {
      if (OnTabKey && wParam == '\t') {
        try {
          OnTabKey(tabShift_);
        } catch (...) {
          // Out of memory: the key does nothing.
        }
        SelectionChanged();
        return 0;
      }
      if (wParam != VK_BACK && wParam != VK_RETURN && EditMarks.AnyInText()) {
        CHARRANGE sel = {0, 0};
        SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
        std::int32_t line = static_cast<std::int32_t>(SendMessageA(Handle(), EM_EXLINEFROMCHAR, 0, sel.cpMin));
        std::int32_t start = static_cast<std::int32_t>(SendMessageA(Handle(), EM_LINEINDEX, line, 0));
        LRESULT next = SendMessageA(Handle(), EM_LINEINDEX, line + 1, 0);
        std::int32_t end = next < start ? TextLength() : static_cast<std::int32_t>(next);
        std::string bytes = LineBytes(line, end - start);
        // The bytes from the selection start on.
        std::size_t i = 0;
        for (std::int32_t pos = start; pos < sel.cpMin && i < bytes.size();) {
          std::size_t n = SjisCharSize(bytes, i);
          pos += n == 2 ? DoubleByteWidth() : 1;
          i += n;
        }
        if (auto redrawEnd = BlankStretchRedrawEnd(bytes.substr(i), sel.cpMin, false)) {
          DrawMarks(sel.cpMin, *redrawEnd - 1, true);
          LRESULT result = Default(message, wParam, lParam);
          DrawMarks(sel.cpMin, *redrawEnd, false);
          SelectionChanged();
          return result;
        }
      }
      LRESULT result = Default(message, wParam, lParam);
      SelectionChanged();
      return result;
    }
    case WM_LBUTTONDOWN: {
      EraseCaretUnderline();
      LRESULT result = Default(message, wParam, lParam);
      SelectionChanged();
      DrawCaretUnderline(false);
      return result;
    }
    case WM_LBUTTONDBLCLK: {
      EraseCaretUnderline();
      LRESULT result = Default(message, wParam, lParam);
      SelectionChanged();
      return result;
    }
    case EM_SETSEL:
    case EM_EXSETSEL: {
      bool all = message == EM_SETSEL ? (wParam == 0 && static_cast<int>(lParam) == -1) : false;
      if (all) EraseCaretUnderline();
      LRESULT result = Default(message, wParam, lParam);
      SelectionChanged();
      return result;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case EM_REPLACESEL:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case WM_KEYUP: {
      LRESULT result = TCustomExtRichEdit::WndProc(message, wParam, lParam);
      SelectionChanged();
      return result;
    }
  }
  return TCustomExtRichEdit::WndProc(message, wParam, lParam);
}

// --- the window -------------------------------------------------------------------

LRESULT CALLBACK ExtMemoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TCustomExtRichEdit* memo = ObjectOf(window);
  if (!memo) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    WNDPROC original = memo->original_;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    Objects().erase(window);
    delete memo;
    return CallWindowProcA(original, window, message, wParam, lParam);
  }
  return memo->WndProc(message, wParam, lParam);
}

HWND CreateExtMemo(HWND parent, int id, DWORD style, int x, int y, int width, int height) {
  return CreateExtMemo(parent, id, style, x, y, width, height, true, false);
}

HWND CreateExtMemo(HWND parent, int id, DWORD style, int x, int y, int width, int height, bool selectionBar,
                   bool vertical) {
  if (!RichEditLibrary()) return nullptr;
  HWND window = CreateWindowExA(WS_EX_CLIENTEDGE, "RICHEDIT", "", WS_CHILD | style, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (!window) return nullptr;
  auto* memo = new TExtMemo(window);
  memo->SelectionBar = selectionBar;
  memo->Vertical = vertical;
  Objects()[window] = memo;
  memo->original_ =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ExtMemoProc)));
  static_cast<TCustomExtRichEdit*>(memo)->Created();
  return window;
}

TExtMemo* ExtMemoOf(HWND memo) {
  if (!memo || !IsWindow(memo)) return nullptr;
  return static_cast<TExtMemo*>(ObjectOf(memo));
}

std::string ExtMemoText(HWND memo) {
  if (TExtMemo* m = ExtMemoOf(memo)) return m->Text();
  return std::string();
}

void SetExtMemoText(HWND memo, const std::string& text) {
  if (TExtMemo* m = ExtMemoOf(memo)) m->SetText(text);
}

}  // namespace tam::win

// The program editor control alone in a test window, under Wine: its
// properties against the real RichEdit window, and the marks and lines it
// draws, read back from the screen.
#include "editor/win32/ext_memo.h"

#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace tam::win {
namespace {

using namespace editor;

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 160, 0), kBlue = RGB(0, 0, 255);

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class ExtMemoWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    // The cases run as processes of their own, maybe side by side: one at a
    // time owns the screen corner whose pixels it reads.
    screen_ = CreateMutexA(nullptr, FALSE, "TamberloExtMemoTestScreen");
    ASSERT_TRUE(screen_);
    DWORD waited = WaitForSingleObject(screen_, 300000);
    ASSERT_TRUE(waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED);
    WNDCLASSA c = {};
    c.lpfnWndProc = DefWindowProcA;
    c.hInstance = GetModuleHandleA(nullptr);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = "TExtMemoTestForm";
    RegisterClassA(&c);
    // Above other tests' windows on the same display: the pixels are read back.
    form_ = CreateWindowExA(WS_EX_TOPMOST, c.lpszClassName, "ExtMemo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                            nullptr, nullptr, c.hInstance, nullptr);
    ASSERT_TRUE(form_);
    memo_ = CreateExtMemo(form_, 100,
                          WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                              ES_WANTRETURN | ES_NOHIDESEL,
                          8, 8, 600, 400);
    ASSERT_TRUE(memo_);
    ext_ = ExtMemoOf(memo_);
    ASSERT_TRUE(ext_);
    ext_->EditArea.Margin.SetLeft(10);
    ext_->EditArea.Margin.SetTop(2);
    ext_->EditArea.Margin.SetBottom(1);
    SetFocus(memo_);
    Pump();
  }
  void TearDown() override {
    if (form_) DestroyWindow(form_);
    Pump();
    if (screen_) {
      ReleaseMutex(screen_);
      CloseHandle(screen_);
    }
  }

  void Redraw() {
    InvalidateRect(memo_, nullptr, TRUE);
    UpdateWindow(memo_);
    Pump();
  }
  POINT At(std::int32_t pos) {
    POINTL p = {0, 0};
    SendMessageA(memo_, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), pos);
    return {p.x, p.y};
  }
  // Pixels of the colour in the box right and below of the point (a cell).
  int Count(POINT at, COLORREF color, int width = 0, int height = 0) {
    int c = ext_->EditArea.CellHeight();
    if (!width) width = c;
    if (!height) height = c;
    HDC dc = GetDC(memo_);
    int n = 0;
    for (int y = at.y; y < at.y + height; ++y)
      for (int x = at.x; x < at.x + width; ++x)
        if (GetPixel(dc, x, y) == color) ++n;
    ReleaseDC(memo_, dc);
    return n;
  }

  HANDLE screen_ = nullptr;
  HWND form_ = nullptr, memo_ = nullptr;
  TExtMemo* ext_ = nullptr;
};

TEST_F(ExtMemoWindow, TextKeepsShiftJisAndCrLf) {
  SetExtMemoText(memo_, "IF A = \"日本語\" THEN\r\n\t返信\x81\x40\r\nENDIF");
  EXPECT_EQ(ExtMemoText(memo_), "IF A = \"日本語\" THEN\r\n\t返信\x81\x40\r\nENDIF");
  SetExtMemoText(memo_, "a\nb\n");
  EXPECT_EQ(ExtMemoText(memo_), "a\r\nb\r\n");
  SetExtMemoText(memo_, "");
  EXPECT_EQ(ExtMemoText(memo_), "");
  // A long Japanese text comes back whole.
  std::string longText;
  for (int i = 0; i < 2000; ++i) longText += "漢字の行\x81\x40\t" + std::to_string(i) + "\r\n";
  SetExtMemoText(memo_, longText);
  EXPECT_TRUE(ExtMemoText(memo_) == longText);
  // Also where a double-byte character falls on every possible piece edge.
  std::string shifted = "x" + longText;
  SetExtMemoText(memo_, shifted);
  EXPECT_TRUE(ExtMemoText(memo_) == shifted);
  EXPECT_EQ(ExtMemoText(nullptr), "");
}

TEST_F(ExtMemoWindow, CreationDefaultsAndWhatThisRichEditAnswers) {
  EXPECT_TRUE(ext_->InsertMode);
  EXPECT_TRUE(ext_->SelectionBar);
  EXPECT_FALSE(ext_->Vertical);
  EXPECT_EQ(ext_->EditArea.LineLength(), 80u);
  EXPECT_GT(ext_->EditArea.CellHeight(), 0);
  EXPECT_EQ(ext_->EditArea.CellHeight() % 2, 0);
  EXPECT_TRUE(SendMessageA(memo_, EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR);
  std::printf("Far East messages: word-wrap mode %s, punctuation %s, IME colours %s; double-byte width %d\n",
              ext_->HasWordWrapMode() ? "yes" : "no", ext_->HasPunctuation() ? "yes" : "no",
              ext_->HasImeColor() ? "yes" : "no", ext_->DoubleByteWidth());
  // Without the messages the options stay in the object.
  TImeColor untransfered{0, 0xFFFFFF, fsUnderline};
  ext_->ImeColors.Set(Untransfered, untransfered);
  EXPECT_EQ(ext_->ImeColors[Untransfered], untransfered);
  EXPECT_FALSE(SendMessageA(memo_, EM_GETMODIFY, 0, 0));

  HWND plain = CreateExtMemo(form_, 101, ES_MULTILINE, 0, 0, 100, 100, false, false);
  ASSERT_TRUE(plain);
  EXPECT_FALSE(ExtMemoOf(plain)->SelectionBar);
  EXPECT_FALSE(SendMessageA(plain, EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR);
  DestroyWindow(plain);
  EXPECT_EQ(ExtMemoOf(plain), nullptr);
}

TEST_F(ExtMemoWindow, MarginLeftRefusesFiveAndTakesTen) {
  SetExtMemoText(memo_, "PRINT");
  ASSERT_TRUE(ext_->EditArea.Margin.SetLeft(14));
  int at14 = At(0).x;
  EXPECT_FALSE(ext_->EditArea.Margin.SetLeft(5));
  EXPECT_EQ(ext_->EditArea.Margin.Left(), 14);
  EXPECT_EQ(At(0).x, at14);
  EXPECT_TRUE(ext_->EditArea.Margin.SetLeft(10));
  EXPECT_EQ(ext_->EditArea.Margin.Left(), 10);
  EXPECT_EQ(At(0).x, at14 - 4);  // the text moved with the margin
  ASSERT_TRUE(ext_->EditArea.Margin.SetTop(6));
  int at6 = At(0).y;
  ASSERT_TRUE(ext_->EditArea.Margin.SetTop(2));
  EXPECT_EQ(At(0).y, at6 - 4);
}

TEST_F(ExtMemoWindow, SettingFollowingPunctuationSwitchesToCustom) {
  ext_->WordWrapOption.SetPunctuationMode(TPunctuationMode::wbfLevel2);
  ext_->WordWrapOption.SetPunctuation(pcFollowing, "、。」");
  EXPECT_EQ(ext_->WordWrapOption.PunctuationMode(), TPunctuationMode::wbfCustom);
  if (!ext_->HasPunctuation()) {
    EXPECT_EQ(ext_->WordWrapOption.Punctuation(pcFollowing), "、。」");
  }
}

TEST_F(ExtMemoWindow, InsertTogglesInsertModeAndShiftInsertDoesNot) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  SendMessageA(memo_, WM_KEYDOWN, VK_INSERT, 0);
  EXPECT_FALSE(ext_->InsertMode);
  SendMessageA(memo_, WM_KEYDOWN, VK_INSERT, 0);
  EXPECT_TRUE(ext_->InsertMode);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  SendMessageA(memo_, WM_KEYDOWN, VK_INSERT, 0);
  EXPECT_TRUE(ext_->InsertMode);
  keys[VK_SHIFT] = 0;
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageA(memo_, WM_KEYDOWN, VK_INSERT, 0);
  EXPECT_TRUE(ext_->InsertMode);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

TEST_F(ExtMemoWindow, MarksStandAtTheirPlacesInTheirColourAndHideUnderTheSelection) {
  SetExtMemoText(memo_,
                 "a\tb\x81\x40"
                 "c d\r\n\x01xyz");
  SendMessageA(memo_, EM_SETSEL, 0, 0);
  Redraw();
  POINT tab = At(1), dsp = At(3), blank = At(5), lineEnd = At(7), control = At(9), end = At(13);
  EXPECT_EQ(Count(tab, kRed) + Count(dsp, kBlue), 0);

  ext_->EditMarks[Tab].SetColor(static_cast<TColor>(kRed));
  ext_->EditMarks[Tab].SetEnabled(true);
  ext_->EditMarks[DSp].SetColor(static_cast<TColor>(kBlue));
  ext_->EditMarks[DSp].SetEnabled(true);
  Redraw();
  int plainTab = Count(tab, kRed);
  EXPECT_GT(plainTab, 2);
  EXPECT_GT(Count(dsp, kBlue), 2);
  EXPECT_EQ(Count(dsp, kRed), 0);
  EXPECT_EQ(Count(blank, kRed) + Count(lineEnd, kRed), 0);  // marks not enabled are not drawn

  // Selected text carries no marks; they come back with the selection gone.
  SendMessageA(memo_, EM_SETSEL, 0, 6);
  Redraw();
  EXPECT_EQ(Count(tab, kRed), 0);
  EXPECT_EQ(Count(dsp, kBlue), 0);
  SendMessageA(memo_, EM_SETSEL, 0, 0);
  UpdateWindow(memo_);
  Pump();
  EXPECT_GT(Count(tab, kRed), 2);
  EXPECT_GT(Count(dsp, kBlue), 2);

  // The other kinds, and a reversed mark on the mark's colour.
  for (TMarkKind k : {CrLf, Ctrl, SSp, Eot}) {
    ext_->EditMarks[k].SetColor(static_cast<TColor>(kGreen));
    ext_->EditMarks[k].SetEnabled(true);
  }
  ext_->EditMarks[Tab].SetReversed(true);
  Redraw();
  EXPECT_GT(Count(blank, kGreen), 1);
  EXPECT_GT(Count(lineEnd, kGreen), 2);
  EXPECT_GT(Count(control, kGreen), 2);
  EXPECT_GT(Count(end, kGreen), 2);
  EXPECT_GT(Count(tab, kRed), 2 * plainTab);  // the mark's box in the mark's colour
}

TEST_F(ExtMemoWindow, TypingOverBlanksKeepsTheMarksRight) {
  ext_->EditMarks[Tab].SetColor(static_cast<TColor>(kRed));
  ext_->EditMarks[Tab].SetEnabled(true);
  SetExtMemoText(memo_, "ab\t\r\nnext");
  SendMessageA(memo_, EM_SETSEL, 2, 2);
  Redraw();
  POINT before = At(2);
  EXPECT_GT(Count(before, kRed), 2);
  SendMessageA(memo_, WM_CHAR, 'x', 0);
  Pump();
  EXPECT_EQ(ExtMemoText(memo_), "abx\t\r\nnext");
  POINT after = At(3);
  EXPECT_GT(Count(after, kRed), 2);
  EXPECT_EQ(Count({before.x, before.y}, kRed, after.x - before.x), 0);  // the old place is clean
}

TEST_F(ExtMemoWindow, WrapColumnLineStandsAtLineLengthCells) {
  ASSERT_TRUE(ext_->EditArea.SetLineLength(20));
  ext_->WordWrapMarker.SetColor(static_cast<TColor>(kGreen));
  ext_->WordWrapMarker.SetEnabled(true);
  SetExtMemoText(memo_, "PRINT \"wrap\"");
  Redraw();
  int c = ext_->EditArea.CellHeight();
  int x = 20 * c / 2 + 10 + 1;
  EXPECT_EQ(ext_->EditArea.WrapColumnX(), x);
  RECT client;
  GetClientRect(memo_, &client);
  EXPECT_EQ(Count({x, 0}, kGreen, 1, client.bottom), client.bottom);
  EXPECT_EQ(Count({x - 3, 0}, kGreen, 2, client.bottom), 0);
  EXPECT_EQ(Count({x + 1, 0}, kGreen, 2, client.bottom), 0);
}

TEST_F(ExtMemoWindow, WrapAreaIsLineLengthCellsWideWhileWordsWrap) {
  HWND wrapping = CreateExtMemo(form_, 101, WS_VISIBLE | WS_VSCROLL | ES_MULTILINE, 8, 8, 600, 200);
  ASSERT_TRUE(wrapping);
  TExtMemo* ext = ExtMemoOf(wrapping);
  EXPECT_TRUE(ext->WordWrap());
  ASSERT_TRUE(ext->EditArea.Margin.SetLeft(10));
  ASSERT_TRUE(ext->EditArea.SetLineLength(20));
  ext->WordWrapOption.SetWordWrapMode(wbfWordWrap | wbfOverflow);
  int c = ext->EditArea.CellHeight();
  RECT format;
  SendMessageA(wrapping, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  EXPECT_NEAR(format.right, 20 * c / 2 + 10 + c, 1);  // RichEdit 1.0 reports it one pixel off
  ext->WordWrapOption.SetWordWrapMode(wbfWordWrap);   // without overflow: one cell more
  SendMessageA(wrapping, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  EXPECT_NEAR(format.right, 20 * c / 2 + 10 + 2 * c, 1);
  SetExtMemoText(wrapping, std::string(200, 'x'));
  EXPECT_GT(SendMessageA(wrapping, EM_GETLINECOUNT, 0, 0), 2);
  DestroyWindow(wrapping);
}

TEST_F(ExtMemoWindow, CaretUnderlineFollowsTheCaretLine) {
  ext_->CaretMarker.SetColor(static_cast<TColor>(kBlue));
  ext_->CaretMarker.SetEnabled(true);
  SetExtMemoText(memo_, "one\r\ntwo\r\nthree");
  SendMessageA(memo_, EM_SETSEL, 5, 5);
  Redraw();
  int c = ext_->EditArea.CellHeight();
  POINT line1 = At(5), line0 = At(0);
  EXPECT_GT(Count({line1.x, line1.y + c - 1}, kBlue, 50, 1), 40);
  EXPECT_EQ(Count({line0.x, line0.y + c - 1}, kBlue, 50, 1), 0);
  SendMessageA(memo_, EM_SETSEL, 0, 0);
  Pump();
  EXPECT_EQ(Count({line1.x, line1.y + c - 1}, kBlue, 50, 1), 0);
  EXPECT_GT(Count({line0.x, line0.y + c - 1}, kBlue, 50, 1), 40);
  SendMessageA(memo_, EM_SETSEL, 0, 3);  // a selection: no underline
  Pump();
  EXPECT_EQ(Count({line0.x, line0.y + c - 1}, kBlue, 50, 1), 0);
}

TEST_F(ExtMemoWindow, CanPasteAsksTheControlForPlainText) {
  ASSERT_TRUE(OpenClipboard(form_));
  EmptyClipboard();
  CloseClipboard();
  EXPECT_FALSE(ext_->CanPaste());
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, 8);
  memcpy(GlobalLock(data), "PRINT", 6);
  GlobalUnlock(data);
  ASSERT_TRUE(OpenClipboard(form_));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, data);
  CloseClipboard();
  EXPECT_TRUE(ext_->CanPaste());
}

// A long program: it loads, scrolls a page and repaints, and the marks are
// found on the page scrolled to. The figures are printed.
TEST_F(ExtMemoWindow, LongProgramPaintsOnlyWhatIsVisible) {
  ext_->EditMarks[Tab].SetColor(static_cast<TColor>(kRed));
  ext_->EditMarks[Tab].SetEnabled(true);
  ext_->EditMarks[DSp].SetColor(static_cast<TColor>(kBlue));
  ext_->EditMarks[DSp].SetEnabled(true);
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "\tIF A(" + std::to_string(i) +
            ") = \"返信\" THEN\x81\x40"
            "B = 1\r\n";
  using Clock = std::chrono::steady_clock;
  auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  auto t0 = Clock::now();
  SetExtMemoText(memo_, text);
  UpdateWindow(memo_);
  auto t1 = Clock::now();
  SendMessageA(memo_, WM_VSCROLL, SB_PAGEDOWN, 0);
  UpdateWindow(memo_);
  Pump();
  auto t2 = Clock::now();
  const int repaints = 20;
  for (int i = 0; i < repaints; ++i) {
    InvalidateRect(memo_, nullptr, TRUE);
    UpdateWindow(memo_);
  }
  auto t3 = Clock::now();
  // The far end of the text.
  SendMessageA(memo_, EM_SETSEL, static_cast<WPARAM>(-1), -1);
  SendMessageA(memo_, EM_SCROLLCARET, 0, 0);
  auto t4 = Clock::now();
  UpdateWindow(memo_);
  Pump();
  auto t5 = Clock::now();
  std::printf(
      "20000 lines: load %.1f ms, page down with repaint %.1f ms, one page repaint %.2f ms, "
      "repaint at the end %.1f ms\n",
      ms(t1 - t0), ms(t2 - t1), ms(t3 - t2) / repaints, ms(t5 - t4));
  std::int32_t first = static_cast<std::int32_t>(SendMessageA(memo_, EM_GETFIRSTVISIBLELINE, 0, 0));
  EXPECT_GT(first, 19900);
  std::int32_t start = static_cast<std::int32_t>(SendMessageA(memo_, EM_LINEINDEX, first, 0));
  EXPECT_GT(Count(At(start), kRed), 2);
}

}  // namespace
}  // namespace tam::win

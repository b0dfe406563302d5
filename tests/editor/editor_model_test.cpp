// The program editor's options, text area and marks without a window.
#include <gtest/gtest.h>

#include "editor/edit_area.h"
#include "editor/edit_marks.h"
#include "editor/rich_edit_options.h"

namespace tam::editor {
namespace {

TEST(EditorOptions, PunctuationModeIsReadFromTheFlagWord) {
  TWordWrapOption o;
  EXPECT_EQ(o.PunctuationMode(), TPunctuationMode::wbfLevel2);  // nothing set reads as level 2
  o.SetFlags(0x80 | wbfWordWrap);
  EXPECT_EQ(o.PunctuationMode(), TPunctuationMode::wbfLevel1);
  o.SetFlags(0x200);
  EXPECT_EQ(o.PunctuationMode(), TPunctuationMode::wbfCustom);
  o.SetFlags(0x280);  // level 1 wins over custom
  EXPECT_EQ(o.PunctuationMode(), TPunctuationMode::wbfLevel1);
  o.SetFlags(0x380);  // both levels: level 2
  EXPECT_EQ(o.PunctuationMode(), TPunctuationMode::wbfLevel2);
  o.SetFlags(0x300);
  EXPECT_EQ(o.PunctuationMode(), TPunctuationMode::wbfLevel2);

  int sent = 0;
  o.OnFlagsChange = [&] { ++sent; };
  o.SetFlags(wbfWordWrap | wbfOverflow | 0x80);
  o.SetPunctuationMode(TPunctuationMode::wbfCustom);
  EXPECT_EQ(o.Flags(), wbfWordWrap | wbfOverflow | 0x200);
  o.SetWordWrapMode(wbfWordBreak);
  EXPECT_EQ(o.WordWrapMode(), static_cast<std::uint32_t>(wbfWordBreak));
  EXPECT_EQ(o.Flags(), wbfWordBreak | 0x200);
  EXPECT_EQ(sent, 3);  // every change of the flag word reaches the control
}

TEST(EditorOptions, PunctuationGettersFollowTheModeAndSettingSwitchesToCustom) {
  TWordWrapOption o;
  o.SetTable(TPunctuationMode::wbfLevel1, pcFollowing, "L1");
  o.SetTable(TPunctuationMode::wbfLevel2, pcFollowing, "L2");
  o.SetPunctuationMode(TPunctuationMode::wbfLevel1);
  EXPECT_EQ(o.Punctuation(pcFollowing), "L1");
  o.SetPunctuationMode(TPunctuationMode::wbfLevel2);
  EXPECT_EQ(o.Punctuation(pcFollowing), "L2");
  EXPECT_EQ(o.Punctuation(pcLeading), "");

  std::vector<std::pair<int, std::string>> sent;
  o.SendPunctuation = [&](TPunctuationKind k, const std::string& s) {
    sent.push_back({k, s});
    return true;
  };
  o.SetPunctuation(pcFollowing, "、。");
  EXPECT_EQ(o.PunctuationMode(), TPunctuationMode::wbfCustom);
  EXPECT_EQ(o.Punctuation(pcFollowing), "、。");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].first, pcFollowing);

  // A string the control refuses is emptied.
  o.SendPunctuation = [](TPunctuationKind, const std::string&) { return false; };
  o.SetPunctuation(pcDelimiter, "xyz");
  EXPECT_EQ(o.Punctuation(pcDelimiter), "");
  EXPECT_EQ(o.Punctuation(pcFollowing), "、。");

  // While designing, the getters show the custom set whatever the mode.
  o.SetPunctuationMode(TPunctuationMode::wbfLevel1);
  o.designing = true;
  EXPECT_EQ(o.Punctuation(pcFollowing), "、。");
}

TEST(EditorOptions, ImeColourChangeSendsAgain) {
  TImeColors colors;
  int sends = 0;
  colors.OnChange = [&] { ++sends; };
  EXPECT_EQ(colors[Untransfered], TImeColor{});
  colors.Set(WatchingTransfered, {0, 0xFFFFFF, fsBold | fsUnderline});
  EXPECT_EQ(sends, 1);
  EXPECT_EQ(colors[WatchingTransfered].Style, 5u);
}

TEST(EditArea, MarginsAndLineLengthRefuseValuesOutOfRange) {
  TEditArea area;
  int applied = 0;
  area.OnChange = [&] { ++applied; };
  EXPECT_EQ(area.LineLength(), 80u);
  EXPECT_FALSE(area.Margin.SetLeft(5));
  EXPECT_FALSE(area.Margin.SetLeft(9));
  EXPECT_EQ(area.Margin.Left(), 0);
  EXPECT_TRUE(area.Margin.SetLeft(10));
  EXPECT_EQ(area.Margin.Left(), 10);
  EXPECT_FALSE(area.Margin.SetTop(-1));
  EXPECT_TRUE(area.Margin.SetTop(0));
  EXPECT_TRUE(area.Margin.SetBottom(3));
  EXPECT_FALSE(area.Margin.SetBottom(-3));
  EXPECT_EQ(area.Margin.Bottom(), 3);
  EXPECT_FALSE(area.SetLineLength(0x80000000u));
  EXPECT_EQ(area.LineLength(), 80u);
  EXPECT_TRUE(area.SetLineLength(0));
  EXPECT_EQ(applied, 4);  // every accepted change applies the wrap area again
}

TEST(EditArea, WrapAreaAndWrapColumnInHalfWidthCells) {
  TEditArea area;
  area.Margin.SetLeft(10);
  area.Margin.SetTop(2);
  area.Margin.SetBottom(1);
  EXPECT_EQ(area.WrapColumnX(), 10);  // no cell height yet: no extra pixel
  area.SetCellHeight(12);
  EXPECT_EQ(area.WrapColumnX(), 80 * 12 / 2 + 10 + 1);
  EXPECT_EQ(area.WrapArea(200, wbfWordWrap | wbfOverflow), (TRect{10, 2, 480 + 10 + 12, 199}));
  EXPECT_EQ(area.WrapArea(200, wbfWordWrap), (TRect{10, 2, 480 + 10 + 24, 199}));
  area.SetLineLength(255);
  area.SetCellHeight(13 + 1);
  EXPECT_EQ(area.WrapColumnX(), 255 * 14 / 2 + 10 + 1);
  // The largest accepted length stays a usable coordinate.
  area.SetLineLength(0x7FFFFFFF);
  EXPECT_GT(area.WrapColumnX(), 0);
  EXPECT_GT(area.WrapArea(100, 0).right, 0);

  EXPECT_EQ(CellHeightFor(15), 16);
  EXPECT_EQ(CellHeightFor(16), 16);
  EXPECT_EQ(CharSizeTwips(16, 96), 240);
  EXPECT_EQ(CharSizeTwips(16, 0), 240);
}

TEST(EditMarks, DefaultsAndEveryChangeRepaints) {
  TEditMarks marks;
  int repaints = 0;
  marks.OnChange = [&] { ++repaints; };
  for (TMarkKind k : {CrLf, Ctrl, DSp, SSp, Tab, Eot}) {
    EXPECT_FALSE(marks[k].Enabled());
    EXPECT_EQ(marks[k].Color(), 0xC0C0C0);
    EXPECT_FALSE(marks[k].Reversed());
  }
  EXPECT_FALSE(marks.AnyInText());
  marks[Eot].SetEnabled(true);
  EXPECT_FALSE(marks.AnyInText());
  marks[Tab].SetColor(0xFF);
  marks[Tab].SetReversed(true);
  EXPECT_EQ(repaints, 3);

  TMarker marker;
  EXPECT_FALSE(marker.Enabled());
  EXPECT_EQ(marker.Color(), kMarkGrey);
}

TEST(EditMarks, ColoursOfAMark) {
  TEditMark mark;
  mark.SetColor(0x0000FF);
  TMarkColors plain = MarkColors(mark, 0xFFFFFF, false);
  EXPECT_EQ(plain.glyph, 0x0000FF);
  EXPECT_EQ(plain.background, 0xFFFFFF);
  mark.SetReversed(true);
  TMarkColors reversed = MarkColors(mark, 0xFFFFFF, false);
  EXPECT_EQ(reversed.glyph, 0xFFFFFF);
  EXPECT_EQ(reversed.background, 0x0000FF);
  TMarkColors erased = MarkColors(mark, 0xFFFFFF, true);
  EXPECT_EQ(erased.glyph, 0xFFFFFF);
  EXPECT_EQ(erased.background, 0xFFFFFF);
}

std::string Describe(const std::vector<TMarkPlace>& places) {
  std::string s;
  for (const TMarkPlace& p : places) {
    const char* names = "RCDSTE";
    s += names[p.kind];
    s += std::to_string(p.pos) + "+" + std::to_string(p.dx) + "," + std::to_string(p.dy) + " ";
  }
  return s;
}

class MarkLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    for (TMarkKind k : {CrLf, Ctrl, DSp, SSp, Tab, Eot}) marks[k].SetEnabled(true);
  }
  TEditMarks marks;
};

TEST_F(MarkLayout, EveryKindAtItsPlaceWithCharacterPositions) {
  // a TAB b CR LF DSp x SP 日 ^A LF end
  std::string text = "a\tb\r\n\x81\x40x \x93\xfa\x01\n";
  std::int32_t length = 12;
  auto places = LayoutMarks(marks, text, 0, length, true, {}, 1);
  EXPECT_EQ(Describe(places), "E12+2,0 T1+1,1 R3+2,2 D5+0,1 S7+1,2 C9+0,1 R10+2,2 ");
  EXPECT_EQ(places[1].glyph, ">");
  EXPECT_EQ(places[2].glyph, "\xAF");
  EXPECT_EQ(places[3].glyph, "\x81\xA0");
  EXPECT_EQ(places[3].font, TMarkFont::Gothic);
  EXPECT_EQ(places[4].glyph, "\xA0");
  EXPECT_EQ(places[5].glyph, "A");  // 0x01 shows as A
  EXPECT_EQ(places[0].glyph, "\xAC");
}

TEST_F(MarkLayout, BytePositionsAndARangeInTheMiddle) {
  std::string text = "\x93\xfa\x81\x40\t";
  auto places = LayoutMarks(marks, text, 100, 500, false, {}, 2);
  EXPECT_EQ(Describe(places), "D102+0,1 T104+1,1 ");
  // A lone carriage return and a lone line feed are line ends of their own.
  EXPECT_EQ(Describe(LayoutMarks(marks, "\r\r\n\n", 0, 4, false, {}, 1)), "R0+2,2 R1+2,2 R3+2,2 ");
  // A double-byte character whose second byte is a control byte's look-alike
  // is one character; a lead byte at the very end stands alone.
  EXPECT_EQ(Describe(LayoutMarks(marks, "\x81\x40\x81", 0, 2, false, {}, 1)), "D0+0,1 ");
}

TEST_F(MarkLayout, NothingInsideTheSelectionIsMarked) {
  std::string text = "\t\x81\x40\t\r\n";
  EXPECT_EQ(Describe(LayoutMarks(marks, text, 0, 5, true, {1, 3}, 1)), "E5+2,0 T0+1,1 R3+2,2 ");
  // A selection reaching the end hides the end mark too.
  EXPECT_EQ(Describe(LayoutMarks(marks, text, 0, 5, true, {0, 5}, 1)), "");
  // Only the enabled marks.
  marks[Tab].SetEnabled(false);
  marks[CrLf].SetEnabled(false);
  marks[Eot].SetEnabled(false);
  EXPECT_EQ(Describe(LayoutMarks(marks, text, 0, 5, true, {}, 1)), "D1+0,1 ");
}

TEST(EditTyping, BlankStretchDecidesWhetherMarksAreRedrawn) {
  EXPECT_EQ(BlankStretchRedrawEnd("", 7, false), 8);
  EXPECT_EQ(BlankStretchRedrawEnd(" \t \r\nabc", 7, false), 11);
  EXPECT_EQ(BlankStretchRedrawEnd(" \t", 0, true), 4);
  EXPECT_EQ(BlankStretchRedrawEnd(" x ", 0, false), std::nullopt);
  EXPECT_EQ(BlankStretchRedrawEnd("\x81\x40", 0, false), std::nullopt);
}

TEST(EditCaret, UnderlineLine) {
  EXPECT_EQ(CaretUnderlineLine(5, 5), 5);
  EXPECT_EQ(CaretUnderlineLine(5, 4), 4);  // shown at the end of the wrapped line above
  EXPECT_EQ(CaretUnderlineLine(5, 2), 5);
  EXPECT_TRUE(CaretUnderlineShown(3, 3, 10));
  EXPECT_TRUE(CaretUnderlineShown(10, 3, 10));
  EXPECT_FALSE(CaretUnderlineShown(2, 3, 10));
  EXPECT_FALSE(CaretUnderlineShown(11, 3, 10));
}

}  // namespace
}  // namespace tam::editor

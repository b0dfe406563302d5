#include "editor/win32/program_editor.h"

#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/sjis.h"

namespace tam::win {

namespace {

// The editor's line, as bytes. (A text range would come short under Wine,
// which sizes its output for a range in characters, not bytes.)
std::string LineText(HWND memo, int line) {
  LRESULT start = SendMessageA(memo, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
  if (start < 0) return std::string();
  LRESULT length = SendMessageA(memo, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
  std::vector<char> buffer(std::min<std::size_t>(static_cast<std::size_t>(length) * 2 + 8, 0xFFFF), '\0');
  *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(buffer.size() - 1);
  LRESULT got = SendMessageA(memo, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer.data()));
  if (got <= 0) return std::string();
  std::string text(buffer.data(), std::min<std::size_t>(static_cast<std::size_t>(got), buffer.size()));
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return text;
}

// The lines from first to last of the editor.
std::vector<std::string> EditorLines(HWND memo, int first, int last) {
  std::vector<std::string> lines(static_cast<std::size_t>(std::max(last + 1, 0)));
  for (int line = std::max(first, 0); line <= last; ++line) lines[line] = LineText(memo, line);
  return lines;
}

int LineOf(HWND memo, LONG pos) { return static_cast<int>(SendMessageA(memo, EM_EXLINEFROMCHAR, 0, pos)); }

const std::string& LineAt(const std::vector<std::string>& lines, int line) {
  static const std::string none;
  return line >= 0 && line < static_cast<int>(lines.size()) ? lines[line] : none;
}

// Whether the editor counts the line's positions in bytes: a double-byte
// character may take one position or two.
bool CountsBytes(HWND memo, LONG lineStart, const std::string& text) {
  return SendMessageA(memo, EM_LINELENGTH, static_cast<WPARAM>(lineStart), 0) == static_cast<LRESULT>(text.size());
}

// A position of the editor as line and byte column, and back.
editor::TextPlace PlaceOf(HWND memo, const std::vector<std::string>& lines, LONG pos) {
  int line = static_cast<int>(SendMessageA(memo, EM_EXLINEFROMCHAR, 0, pos));
  LONG start = static_cast<LONG>(SendMessageA(memo, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
  const std::string& text = LineAt(lines, line);
  int want = static_cast<int>(pos - start), column = 0;
  if (CountsBytes(memo, start, text)) {
    column = std::max(0, std::min(want, static_cast<int>(text.size())));
  } else {
    for (int n = 0; n < want && column < static_cast<int>(text.size()); ++n)
      column += static_cast<int>(SjisCharSize(text, static_cast<std::size_t>(column)));
  }
  return {line, column};
}

LONG PositionOf(HWND memo, const std::vector<std::string>& lines, editor::TextPlace p) {
  LONG start = static_cast<LONG>(SendMessageA(memo, EM_LINEINDEX, static_cast<WPARAM>(p.line), 0));
  if (start < 0) return static_cast<LONG>(SendMessageA(memo, WM_GETTEXTLENGTH, 0, 0));
  const std::string& text = LineAt(lines, p.line);
  std::string before = text.substr(0, std::min<std::size_t>(static_cast<std::size_t>(p.column), text.size()));
  return start + (CountsBytes(memo, start, text) ? static_cast<LONG>(before.size()) : CharLength(before));
}

CHARRANGE Selection(HWND memo) {
  CHARRANGE r = {0, 0};
  SendMessageA(memo, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

}  // namespace

void SetUpProgramEditor(TExtMemo& memo, std::uint32_t lineLength) {
  using namespace editor;
  constexpr TColor kWhite = 0xFFFFFF;
  memo.ImeColors.Set(Untransfered, {0, kWhite, fsUnderline});
  memo.ImeColors.Set(WatchingTransfered, {0, kWhite, fsBold | fsUnderline});
  memo.ImeColors.Set(Transfered, {0, kWhite, 0});
  memo.ImeColors.Set(WatchingUntransfered, {0, kWhite, fsBold | fsUnderline});
  memo.WordWrapOption.SetPunctuationMode(TPunctuationMode::wbfLevel2);
  memo.ApplyWordWrapOption();
  memo.EditArea.Margin.SetLeft(10);
  memo.EditArea.Margin.SetTop(2);
  memo.EditArea.Margin.SetBottom(1);
  memo.EditMarks[DSp].SetEnabled(true);
  memo.EditMarks[Tab].SetEnabled(true);
  memo.EditArea.SetLineLength(lineLength);
  HWND handle = memo.Handle();
  memo.OnTabKey = [handle](bool shift) { TabInEditor(handle, shift); };
}

editor::TextPlace CaretPlace(HWND memo) {
  LONG pos = Selection(memo).cpMin;
  return PlaceOf(memo, EditorLines(memo, LineOf(memo, pos), LineOf(memo, pos)), pos);
}

void TabInEditor(HWND memo, bool shift) {
  if (SendMessageA(memo, EM_GETOPTIONS, 0, 0) & ECO_READONLY) return;
  CHARRANGE sel = Selection(memo);
  std::vector<std::string> lines = EditorLines(memo, LineOf(memo, sel.cpMin), LineOf(memo, sel.cpMax));
  editor::TabOutcome out =
      editor::TabKey(lines, PlaceOf(memo, lines, sel.cpMin), PlaceOf(memo, lines, sel.cpMax), shift);
  // The edits go from the last place to the first: the lines before each
  // edit are still as read.
  for (const editor::TextEdit& e : out.edits) {
    CHARRANGE r;
    r.cpMin = PositionOf(memo, lines, e.at);
    r.cpMax = PositionOf(memo, lines, {e.at.line, e.at.column + e.remove});
    SendMessageA(memo, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    SendMessageA(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(e.insert.c_str()));
  }
  editor::ApplyEdits(lines, out.edits);
  CHARRANGE r = {PositionOf(memo, lines, out.selStart), PositionOf(memo, lines, out.selEnd)};
  SendMessageA(memo, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

}  // namespace tam::win

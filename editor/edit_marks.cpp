#include "editor/edit_marks.h"

#include "engine/text_lines.h"

namespace tam::editor {

bool TEditMarks::AnyInText() const {
  for (TMarkKind k : {CrLf, Ctrl, DSp, SSp, Tab})
    if (marks_[k].Enabled()) return true;
  return false;
}

std::vector<TMarkPlace> LayoutMarks(const TEditMarks& marks, const std::string& text, std::int32_t from,
                                    std::int32_t textLength, bool reachesEnd, const TSelection& selection,
                                    int doubleByteWidth) {
  std::vector<TMarkPlace> places;
  // The end of the text is hidden while a selection runs up to it.
  bool endSelected = selection.start < selection.end && selection.end >= textLength;
  if (reachesEnd && marks[Eot].Enabled() && !endSelected)
    places.push_back({Eot, textLength, 2, 0, TMarkFont::Symbol, "\xAC"});
  if (!marks.AnyInText()) return places;
  std::int32_t pos = from;
  for (std::size_t i = 0; i < text.size() && pos < textLength;) {
    std::size_t size = SjisCharSize(text, i);
    unsigned char c = static_cast<unsigned char>(text[i]);
    std::int32_t width = size == 2 ? doubleByteWidth : 1;
    if (!selection.Contains(pos)) {
      if (c == '\t') {
        if (marks[Tab].Enabled()) places.push_back({Tab, pos, 1, 1, TMarkFont::Symbol, ">"});
      } else if (c == '\r' || c == '\n') {
        if (marks[CrLf].Enabled()) places.push_back({CrLf, pos, 2, 2, TMarkFont::Symbol, "\xAF"});
      } else if (c == ' ') {
        if (marks[SSp].Enabled()) places.push_back({SSp, pos, 1, 2, TMarkFont::Symbol, "\xA0"});
      } else if (size == 2 && c == 0x81 && text[i + 1] == '\x40') {
        if (marks[DSp].Enabled()) places.push_back({DSp, pos, 0, 1, TMarkFont::Gothic, "\x81\xA0"});
      } else if (c < 0x20) {
        if (marks[Ctrl].Enabled())
          places.push_back({Ctrl, pos, 0, 1, TMarkFont::Gothic, std::string(1, static_cast<char>(c + 64))});
      }
    }
    // A line feed right after a carriage return ends the same line.
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      i += 2;
      pos += 2;
      continue;
    }
    i += size;
    pos += width;
  }
  return places;
}

TMarkColors MarkColors(const TEditMark& mark, TColor control, bool erase) {
  if (erase) return {control, control};
  if (mark.Reversed()) return {control, mark.Color()};
  return {mark.Color(), control};
}

std::optional<std::int32_t> BlankStretchRedrawEnd(const std::string& rest, std::int32_t selStart, bool enter) {
  std::int32_t stretch = 0;
  for (char c : rest) {
    if (c == '\r' || c == '\n') break;
    if (static_cast<unsigned char>(c) > 32) return std::nullopt;
    ++stretch;
  }
  return selStart + stretch + (enter ? 2 : 1);
}

std::int32_t CaretUnderlineLine(std::int32_t caretLine, std::int32_t lineAtCaretPoint) {
  return lineAtCaretPoint == caretLine - 1 ? lineAtCaretPoint : caretLine;
}

bool CaretUnderlineShown(std::int32_t line, std::int32_t firstVisible, std::int32_t lastVisible) {
  return line >= firstVisible && line <= lastVisible;
}

}  // namespace tam::editor

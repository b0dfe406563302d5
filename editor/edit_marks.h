// The marks the program editor draws over its text (line ends, control
// characters, double-byte and single-byte blanks, tabs, the end of the
// text), the caret and wrap-column markers, and which marks a range of text
// gets and where.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/rich_edit_options.h"

namespace tam::editor {

// Every change repaints the control.
class TEditMark {
 public:
  bool Enabled() const { return enabled_; }
  TColor Color() const { return color_; }
  bool Reversed() const { return reversed_; }
  void SetEnabled(bool v) { Change(enabled_, v); }
  void SetColor(TColor v) { Change(color_, v); }
  void SetReversed(bool v) { Change(reversed_, v); }
  std::function<void()> OnChange;

 private:
  template <typename T>
  void Change(T& field, T value) {
    field = value;
    if (OnChange) OnChange();
  }
  bool enabled_ = false;
  TColor color_ = kMarkGrey;
  bool reversed_ = false;
};

// The caret underline and the wrap-column line.
class TMarker {
 public:
  bool Enabled() const { return enabled_; }
  TColor Color() const { return color_; }
  void SetEnabled(bool v) {
    enabled_ = v;
    if (OnChange) OnChange();
  }
  void SetColor(TColor v) {
    color_ = v;
    if (OnChange) OnChange();
  }
  std::function<void()> OnChange;

 private:
  bool enabled_ = false;
  TColor color_ = kMarkGrey;
};

enum TMarkKind { CrLf = 0, Ctrl = 1, DSp = 2, SSp = 3, Tab = 4, Eot = 5 };

class TEditMarks {
 public:
  TEditMarks() {
    for (TEditMark& m : marks_)
      m.OnChange = [this] {
        if (OnChange) OnChange();
      };
  }
  TEditMarks(const TEditMarks&) = delete;
  TEditMarks& operator=(const TEditMarks&) = delete;
  TEditMark& operator[](TMarkKind kind) { return marks_[kind]; }
  const TEditMark& operator[](TMarkKind kind) const { return marks_[kind]; }
  // Any of the marks walked over the text (all but the end of text).
  bool AnyInText() const;
  std::function<void()> OnChange;

 private:
  std::array<TEditMark, 6> marks_;
};

// Character positions [start, end) of the selection.
struct TSelection {
  std::int32_t start = 0, end = 0;
  bool Contains(std::int32_t pos) const { return pos >= start && pos < end; }
  bool operator==(const TSelection& o) const { return start == o.start && end == o.end; }
};

enum class TMarkFont { Symbol, Gothic };

// One mark: the character position whose place it takes, the offset from
// that place, and the glyph in its font.
struct TMarkPlace {
  TMarkKind kind;
  std::int32_t pos;
  int dx, dy;
  TMarkFont font;
  std::string glyph;
};

// The marks of a range. `text` holds the bytes of the characters from
// position `from` on (as the control hands them out); a double-byte
// character takes `doubleByteWidth` positions (1 or 2, depending on the
// control). `textLength` is the control's text length in positions; when
// the range reaches it, the end of text gets its mark. Nothing inside the
// selection is marked.
std::vector<TMarkPlace> LayoutMarks(const TEditMarks& marks, const std::string& text, std::int32_t from,
                                    std::int32_t textLength, bool reachesEnd, const TSelection& selection,
                                    int doubleByteWidth);

struct TMarkColors {
  TColor glyph, background;
};
TMarkColors MarkColors(const TEditMark& mark, TColor control, bool erase);

// Typing over blanks: `rest` holds the bytes from the selection start to the
// end of its line (or text). When they are all of code 32 or less, the marks
// of the stretch are erased before the character goes in and drawn again up
// to the position returned (one past the stretch, two for Enter); otherwise
// nothing is done about the marks.
std::optional<std::int32_t> BlankStretchRedrawEnd(const std::string& rest, std::int32_t selStart, bool enter);

// The line the caret underline belongs to: the caret's own line, or the one
// above when the caret is shown at the end of a wrapped line.
std::int32_t CaretUnderlineLine(std::int32_t caretLine, std::int32_t lineAtCaretPoint);
// Whether that line lies in the visible lines.
bool CaretUnderlineShown(std::int32_t line, std::int32_t firstVisible, std::int32_t lastVisible);

}  // namespace tam::editor

// The Tab key of the program editors (the setup dialog's and the debugger's):
// with whole lines selected, Tab indents them and Shift+Tab takes one
// leading tab off each; otherwise Tab inserts a tab and Shift+Tab removes
// the tab just before the caret. Worked out on the text's lines, without a
// window.
#pragma once

#include <string>
#include <vector>

namespace tam::editor {

// A place in the program text: line and column from 0, the column in bytes.
struct TextPlace {
  int line = 0, column = 0;
  bool operator==(const TextPlace& o) const { return line == o.line && column == o.column; }
};

// One change of the text: at the place, remove some bytes, then insert.
struct TextEdit {
  TextPlace at;
  int remove = 0;
  std::string insert;
};

// What the Tab key does to the program text: the edits, to be applied in
// their order (later places first, so that earlier places stay valid), and
// the new selection.
struct TabOutcome {
  std::vector<TextEdit> edits;
  TextPlace selStart, selEnd;
};

// Tab (shift: Shift+Tab) with the selection from start to end (start not
// after end) in a text of the given lines. A selection of whole lines is
// indented or outdented line by line; otherwise Tab puts a tab in front of
// the selection and Shift+Tab removes a tab just before it.
TabOutcome TabKey(const std::vector<std::string>& lines, TextPlace start, TextPlace end, bool shift);
// The edits applied to lines.
void ApplyEdits(std::vector<std::string>& lines, const std::vector<TextEdit>& edits);

}  // namespace tam::editor

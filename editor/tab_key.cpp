#include "editor/tab_key.h"

#include <algorithm>

namespace tam::editor {

TabOutcome TabKey(const std::vector<std::string>& lines, TextPlace start, TextPlace end, bool shift) {
  auto lineLength = [&](int line) {
    return line >= 0 && line < static_cast<int>(lines.size()) ? static_cast<int>(lines[line].size()) : 0;
  };
  auto startsWithTab = [&](int line) {
    return line >= 0 && line < static_cast<int>(lines.size()) && !lines[line].empty() && lines[line][0] == '\t';
  };
  TabOutcome out;
  out.selStart = start;
  out.selEnd = end;
  bool empty = start == end;
  bool wholeLines =
      !empty && start.column == 0 && ((end.line > start.line && end.column == 0) || end.column == lineLength(end.line));
  if (wholeLines) {
    int last = end.line > start.line && end.column == 0 ? end.line - 1 : end.line;
    for (int line = last; line >= start.line; --line) {
      if (!shift) {
        out.edits.push_back({{line, 0}, 0, "\t"});
      } else if (startsWithTab(line)) {
        out.edits.push_back({{line, 0}, 1, ""});
      } else {
        continue;
      }
      if (line == end.line) out.selEnd.column += shift ? -1 : 1;
    }
    return out;
  }
  if (!shift) {
    out.edits.push_back({start, 0, "\t"});
    out.selStart.column += 1;
    if (end.line == start.line) out.selEnd.column += 1;
    return out;
  }
  if (start.column > 0 && start.column <= lineLength(start.line) && lines[start.line][start.column - 1] == '\t') {
    out.edits.push_back({{start.line, start.column - 1}, 1, ""});
    out.selStart.column -= 1;
    if (end.line == start.line) out.selEnd.column -= 1;
  }
  return out;
}

void ApplyEdits(std::vector<std::string>& lines, const std::vector<TextEdit>& edits) {
  for (const TextEdit& e : edits) {
    if (e.at.line < 0 || e.at.line >= static_cast<int>(lines.size())) continue;
    std::string& line = lines[e.at.line];
    std::size_t at = std::min(static_cast<std::size_t>(e.at.column), line.size());
    line.erase(at, static_cast<std::size_t>(e.remove));
    line.insert(at, e.insert);
  }
}

}  // namespace tam::editor

// The program editor as both of its users (the setup dialog and the
// debugger's program window) set it up: IME colours on white, Japanese
// line breaking of level 2, margins of 10, 2 and 1 pixels, marks for
// double-byte blanks and tabs, the wrap width in half-width cells, and the
// Tab key that indents whole lines.
#pragma once

#include <cstdint>

#include "editor/tab_key.h"
#include "editor/win32/ext_memo.h"

namespace tam::win {

void SetUpProgramEditor(TExtMemo& memo, std::uint32_t lineLength);

// Where the selection of the editor starts: line and column from 0, the
// column in bytes (half-width cells), for the status bar.
editor::TextPlace CaretPlace(HWND memo);

// The Tab key (shift: Shift+Tab) over the editor's selection; a read-only
// editor stays as it is.
void TabInEditor(HWND memo, bool shift);

}  // namespace tam::win

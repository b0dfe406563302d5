// The program editor as both of its users (the setup dialog and the
// debugger's program window) set it up: IME colours on white, Japanese
// line breaking of level 2, margins of 10, 2 and 1 pixels, marks for
// double-byte blanks and tabs, and the wrap width in half-width cells.
#pragma once

#include <cstdint>

#include "editor/win32/ext_memo.h"

namespace tam::win {

void SetUpProgramEditor(TExtMemo& memo, std::uint32_t lineLength);

}  // namespace tam::win

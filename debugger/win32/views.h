// The debugger's five windows besides the main window: program, mail,
// variable, result and option. All are top-level windows owned by the main
// window; closing one hides it.
#pragma once

#include <windows.h>

#include <string>

#include "debugger/debug_texts.h"
#include "settings/settings_store.h"

namespace tam::vodrin {

struct Views {
  HWND program = nullptr, mail = nullptr, variable = nullptr, result = nullptr, option = nullptr;
};

// The program, mail and option windows (made by the main window at start);
// the program, mail windows restore their geometry.
void CreateEditingViews(HWND owner, const SettingsStore& store, Views& views);
// The variable and result windows (they live as long as the program).
void CreateOutputViews(HWND owner, const SettingsStore& store, Views& views);

// The content control of a view (the option window has none).
HWND ContentOf(HWND view);

// The texts of the mail, program and option windows, and back.
DebugTexts ReadTexts(const Views& views);
void WriteTexts(const Views& views, const DebugTexts& texts);

// Program window: tab stops three blanks wide, caret to the start.
void ResetProgramCaret(HWND programView);
// Selects the whole line (from 0) of the program, or puts the caret at the
// end of the text when line is -1.
void SelectProgramLine(HWND programView, int line);
// Makes the mail and program editors read-only in the window colour of their
// form while debugging, editable in the window colour otherwise.
void SetEditorsReadOnly(const Views& views, bool readOnly);
// A view's text (variable, result).
void SetViewText(HWND view, const std::string& text);

// The geometry of the mail, program, variable and result windows.
void SaveViewGeometry(const Views& views, SettingsStore& store);

}  // namespace tam::vodrin

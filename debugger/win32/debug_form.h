// TDebugForm: the debugger's main window with its Debug, Reset, Run, Step
// and Stop buttons, the message area, the two line labels and the menus.
#pragma once

#include <windows.h>

#include <string>

namespace tam::vodrin {

// The application: the folder of the executable in long names, ending in a
// backslash, and the executable's base name; they name the settings file
// and the change log.
struct TAppli {
  std::string folder;
  std::string baseName;
  static TAppli OfThisProgram();
};

// Creates and shows the main window with its five windows; bundle is the
// first parameter of the command line (may be empty). False when the window
// could not be made.
bool CreateDebugForm(const TAppli& appli, const std::string& bundle);

}  // namespace tam::vodrin

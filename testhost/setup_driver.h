// The user in front of the plug-in's setup dialog: actions given on the
// command line are carried out one after the other, through window messages
// as mouse and keyboard would send them, once the dialog shows. Each action
// is reported ("do ACTION"), and "dump" and "status" report what the dialog
// shows.
#pragma once

#include <windows.h>

#include <string>

namespace almail {

// Actions:
//   dump | status                 the dialog's controls | the status bar's panels
//   page N | inner N              click the tab N of the pages | of the program's pages
//   click CAPTION                 click the button (check box, radio button) of that caption
//   select N | select none        click list item N | below the items
//   name TEXT | program TEXT | options TEXT
//                                 select all in that editor and type TEXT (\n, \t: line end, tab)
//   select-text L C [L2 C2]       the program editor's caret (selection) by line and column
//   key tab | key shift-tab       press the key in the program editor
//   drag-splitter DX              drag the splitter beside the list DX pixels to the right
//   wait SECONDS | lock FILE | unlock
void DriveSetup(const std::string& action);
bool IsSetupForm(HWND window);

}  // namespace almail

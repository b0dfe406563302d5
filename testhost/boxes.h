// Message boxes of the plug-in, answered by the host: the plug-in's imports
// of the message box functions are redirected to the host, which reports
// each box (title, icon, buttons, modality, owner, text) and answers it as
// the command line said for its title. Any other dialog that opens on the
// host's thread is reported and cancelled, so that a run never waits for a
// person.
#pragma once

#include <windows.h>

#include <string>

namespace almail {

// Answers for boxes titled `title`, used in order: "OK", "Cancel", "Abort",
// "Retry", "Ignore", "Yes", "No". Once they are used up, a box gets OK,
// Cancel, Abort or No, whichever it offers first.
void AddAnswers(const std::string& title, const std::string& buttons);
// Redirects the message box imports of the module to the host.
void AnswerMessageBoxesOf(HMODULE module);
// Reports and cancels any other dialog of this thread.
void WatchDialogs();
// From now on, a window of this thread that is not the host's own and holds
// a button captioned `caption` gets that button clicked, once it shows
// (a form of the plug-in, shown modally).
void PressWhenShown(const std::string& caption);

}  // namespace almail

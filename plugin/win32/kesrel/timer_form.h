// TTimerForm: the send-window watcher, a hidden window with the one-second
// timer Timer1 that fills one announced send window and then releases
// itself.
#pragma once

#include <windows.h>

namespace tam::win {

// A watcher for sendWindow, polling once a second.
void CreateSendWatcher(HWND sendWindow);
// Ends every watcher still waiting (at clean-up).
void DestroySendWatchers();
// Watchers still waiting.
int SendWatcherCount();
// Before the library is unloaded.
void UnregisterTimerForm();

}  // namespace tam::win

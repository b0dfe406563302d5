// The host's windows as the plug-in walks them: finding the main window from
// any window of the host, and reading a window's text. The win32 part
// answers the questions with the system's window functions; tests answer
// them from a tree of their own.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/host_api.h"

namespace tam {

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual bool IsWindow(HostWindow w) = 0;
  // The process that owns the window.
  virtual std::uint32_t ProcessOf(HostWindow w) = 0;
  // The topmost top-level window (GetTopWindow of the desktop window).
  virtual HostWindow FirstTopLevel() = 0;
  // The topmost child of w (GetTopWindow), 0 when none.
  virtual HostWindow TopChild(HostWindow w) = 0;
  // The next window below w in its z-order (GW_HWNDNEXT), 0 when none.
  virtual HostWindow Next(HostWindow w) = 0;
  // WM_GETTEXTLENGTH.
  virtual int TextLength(HostWindow w) = 0;
  // WM_GETTEXT into a buffer with room for size characters.
  virtual std::string Text(HostWindow w, int size) = 0;
};

// The window's text, at most limit characters when limit is positive, up to
// its first control character other than tab, line feed and carriage
// return. Empty for window 0.
std::string ReadWindowText(WindowSystem& windows, HostWindow w, int limit);

// The first top-level window of w's process whose title (read up to 100
// characters) ends in " - AL-Mail"; remembered when there is none.
HostWindow FindMainWindow(WindowSystem& windows, HostWindow w, HostWindow remembered);

}  // namespace tam

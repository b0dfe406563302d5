// Replies waiting for their send window, and the watcher's look at one send
// window: when the window's address field shows a pending entry name, the
// window receives that entry's header and body.
#pragma once

#include <string>
#include <vector>

#include "plugin/host_api.h"
#include "plugin/host_windows.h"

namespace tam {

// Three parallel lists; equal indices belong together.
struct PendingReplies {
  std::vector<std::string> names;    // entry name of the referenced mail: the marker
  std::vector<std::string> headers;  // header lines, each followed by CR LF
  std::vector<std::string> bodies;   // body lines, each followed by CR LF

  void Add(const std::string& name, const std::string& header, const std::string& body);
  // Takes out the first reply whose name equals the marker (case-sensitive).
  bool Take(const std::string& marker, std::string& header, std::string& body);
  std::size_t Size() const { return names.size(); }
};

// The window reached from the send window by its topmost child, that
// child's next sibling, its topmost child and that child's next sibling;
// 0 when one of the first three steps (or the send window itself) is no
// window.
HostWindow AddressField(WindowSystem& windows, HostWindow sendWindow, bool& found);

// One timer tick of a watcher. Returns true when the watcher is done: the
// address field cannot be reached, or it shows a text (a pending entry's
// name fills the window). False while the field is empty. pending may be
// null when the plug-in holds no lists.
bool WatchSendWindow(WindowSystem& windows, HostApi& host, PendingReplies* pending, HostWindow sendWindow);

}  // namespace tam

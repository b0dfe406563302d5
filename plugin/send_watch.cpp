#include "plugin/send_watch.h"

namespace tam {

namespace {
constexpr int kAddressLimit = 10;
}

void PendingReplies::Add(const std::string& name, const std::string& header, const std::string& body) {
  names.push_back(name);
  try {
    headers.push_back(header);
    bodies.push_back(body);
  } catch (...) {
    // The lists stay parallel, whatever could not be stored.
    names.resize(bodies.size());
    headers.resize(bodies.size());
    throw;
  }
}

bool PendingReplies::Take(const std::string& marker, std::string& header, std::string& body) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] != marker) continue;
    header.swap(headers[i]);
    body.swap(bodies[i]);
    names.erase(names.begin() + i);
    headers.erase(headers.begin() + i);
    bodies.erase(bodies.begin() + i);
    return true;
  }
  return false;
}

HostWindow AddressField(WindowSystem& windows, HostWindow sendWindow, bool& found) {
  found = false;
  HostWindow w = sendWindow;
  for (int step = 0; step < 3; ++step) {
    if (!windows.IsWindow(w)) return 0;
    w = step % 2 == 0 ? windows.TopChild(w) : windows.Next(w);
  }
  if (!windows.IsWindow(w)) return 0;
  found = true;
  return windows.Next(w);
}

bool WatchSendWindow(WindowSystem& windows, HostApi& host, PendingReplies* pending, HostWindow sendWindow) {
  bool found = false;
  HostWindow field = AddressField(windows, sendWindow, found);
  if (!found) return true;
  std::string text = ReadWindowText(windows, field, kAddressLimit);
  if (text.empty()) return false;
  std::string header, body;
  // Taken out before the host is called, so that no other watcher can match
  // the same reply while the host works.
  if (pending && pending->Take(text, header, body)) {
    host.SendSetHeader(sendWindow, header);
    host.SendSetText(sendWindow, body);
  }
  return true;
}

}  // namespace tam

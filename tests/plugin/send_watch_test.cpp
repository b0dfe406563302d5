#include "plugin/send_watch.h"

#include <gtest/gtest.h>

#include "plugin_fixture.h"

namespace tam {
namespace {

using Filled = std::vector<std::pair<HostWindow, std::string>>;

// A send window as the host builds it: the address field is the second
// child of the second child.
void AddSendWindow(test::FakeWindows& w, HostWindow send, const std::string& address) {
  w.Add(send, 0, 7, "送信");
  w.Add(send + 1, send, 7, "toolbar");
  w.Add(send + 2, send, 7, "header pane");
  w.Add(send + 3, send + 2, 7, "To:");
  w.Add(send + 4, send + 2, 7, address);
}

TEST(SendWatch, EachWindowGetsTheReplyOfItsOwnMarker) {
  test::FakeWindows windows;
  test::RecordingHost host;
  PendingReplies pending;
  pending.Add("00000001", "H1\r\n", "B1\r\n");
  pending.Add("00000002", "H2\r\n", "B2\r\n");
  pending.Add("00000001", "H1b\r\n", "B1b\r\n");
  AddSendWindow(windows, 100, "00000002");
  AddSendWindow(windows, 200, "00000001");
  EXPECT_TRUE(WatchSendWindow(windows, host, &pending, 100));
  EXPECT_TRUE(WatchSendWindow(windows, host, &pending, 200));
  EXPECT_EQ(host.filled,
            (Filled{{100, "header:H2\r\n"}, {100, "body:B2\r\n"}, {200, "header:H1\r\n"}, {200, "body:B1\r\n"}}));
  ASSERT_EQ(pending.Size(), 1u);
  EXPECT_EQ(pending.headers[0], "H1b\r\n");
}

TEST(SendWatch, WaitsForAnAddressAndEndsOnAnyTextOrAMissingWindow) {
  test::FakeWindows windows;
  test::RecordingHost host;
  PendingReplies pending;
  pending.Add("00000001", "H", "B");
  AddSendWindow(windows, 100, "");
  EXPECT_FALSE(WatchSendWindow(windows, host, &pending, 100));
  windows.windows[104].text =
      "a\x01"
      "00000001";  // cut at the control character
  EXPECT_TRUE(WatchSendWindow(windows, host, &pending, 100));
  windows.windows[104].text = "000000011";  // 10 characters at most are read
  EXPECT_TRUE(WatchSendWindow(windows, host, &pending, 100));
  EXPECT_TRUE(host.filled.empty());
  // The fourth step may find nothing: the watcher waits.
  windows.Remove(104);
  EXPECT_FALSE(WatchSendWindow(windows, host, &pending, 100));
  windows.Remove(103);
  EXPECT_TRUE(WatchSendWindow(windows, host, &pending, 100));
  EXPECT_TRUE(WatchSendWindow(windows, host, &pending, 999));
  EXPECT_TRUE(WatchSendWindow(windows, host, nullptr, 999));
  EXPECT_EQ(pending.Size(), 1u);
}

TEST(HostWindows, MainWindowIsFoundByTitleInTheSameProcess) {
  test::FakeWindows w;
  w.Add(1, 0, 8, "other - AL-Mail");  // another instance of the host
  w.Add(2, 0, 7, "AL-Mail");
  w.Add(3, 0, 7, std::string(95, 'x') + " - AL-Mail");  // 105 characters: cut to 100
  w.Add(4, 0, 7, "view");
  EXPECT_EQ(FindMainWindow(w, 4, 55), 55u);
  w.Add(5, 0, 7, "受信箱 - AL-Mail");
  w.Add(6, 0, 7, "second - AL-Mail");
  EXPECT_EQ(FindMainWindow(w, 4, 55), 5u);
  EXPECT_EQ(FindMainWindow(w, 1, 55), 1u);
  w.windows[3].text = std::string(90, 'x') + " - AL-Mail";
  EXPECT_EQ(FindMainWindow(w, 4, 55), 3u);
}

}  // namespace
}  // namespace tam

#include "plugin/host_windows.h"

#include "engine/sjis.h"
#include "engine/text_lines.h"

namespace tam {

namespace {

// A desktop holds far fewer windows; a z-order that changes under the walk
// cannot keep it going for ever.
constexpr int kMaxTopLevel = 65536;
constexpr int kTitleLimit = 100;
const char kMainTitleEnd[] = " - AL-Mail";

// At most limit bytes, without splitting a double-byte character.
std::string CutTo(const std::string& s, std::size_t limit) {
  if (s.size() <= limit) return s;
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t next = i + SjisCharSize(s, i);
    if (next > limit) break;
    i = next;
  }
  return s.substr(0, i);
}

}  // namespace

std::string ReadWindowText(WindowSystem& windows, HostWindow w, int limit) {
  if (w == 0) return std::string();
  int length = windows.TextLength(w);
  int size = length < 10 ? 10 : length;
  if (limit > 0 && limit < length) size = limit;
  std::string text = windows.Text(w, size);
  if (limit > 0) text = CutTo(text, static_cast<std::size_t>(limit));
  for (std::size_t i = 0; i < text.size(); i += SjisCharSize(text, i)) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return text.substr(0, i);
  }
  return text;
}

HostWindow FindMainWindow(WindowSystem& windows, HostWindow w, HostWindow remembered) {
  const std::uint32_t process = windows.ProcessOf(w);
  const std::size_t endLength = sizeof kMainTitleEnd - 1;
  HostWindow top = windows.FirstTopLevel();
  for (int n = 0; top != 0 && n < kMaxTopLevel; ++n, top = windows.Next(top)) {
    if (windows.ProcessOf(top) != process) continue;
    std::string title = ReadWindowText(windows, top, kTitleLimit);
    if (title.size() >= endLength && title.compare(title.size() - endLength, endLength, kMainTitleEnd) == 0) return top;
  }
  return remembered;
}

}  // namespace tam

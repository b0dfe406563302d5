#include "engine/text_lines.h"

#include <cstring>

namespace tam {

namespace {

// The position of the next c at or after from, or size when there is none.
std::size_t NextOf(const std::string& text, std::size_t from, char c) {
  if (from >= text.size()) return text.size();
  const void* p = std::memchr(text.data() + from, c, text.size() - from);
  return p ? static_cast<std::size_t>(static_cast<const char*>(p) - text.data()) : text.size();
}

}  // namespace

std::vector<std::string> SplitTextLines(const std::string& text) {
  // The next CR and the next LF are each looked for again only once the split
  // has passed them, so a text without one of the two is still read once.
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t cr = NextOf(text, 0, '\r'), lf = NextOf(text, 0, '\n');
  while (start < text.size()) {
    if (cr < start) cr = NextOf(text, start, '\r');
    if (lf < start) lf = NextOf(text, start, '\n');
    const std::size_t end = cr < lf ? cr : lf;
    if (end == text.size()) break;
    lines.emplace_back(text, start, end - start);
    start = end + (end == cr && lf == end + 1 && lf < text.size() ? 2 : 1);
  }
  if (start < text.size()) lines.emplace_back(text, start, std::string::npos);
  return lines;
}

std::string JoinTextLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const std::string& l : lines) size += l.size() + 2;
  std::string out;
  out.reserve(size);
  for (const std::string& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

}  // namespace tam

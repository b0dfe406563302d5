#include "engine/text_lines.h"

#include <cstring>

namespace tam {

namespace {

// The number of lines the split gives for a text that is not empty: one per
// LF and per CR not followed by LF, one more when the text does not end in a
// break.
std::size_t LineCountOf(std::string_view text) {
  const char* const stop = text.data() + text.size();
  std::size_t n = text.back() == '\r' || text.back() == '\n' ? 0 : 1;
  for (const char* p = text.data();
       (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(stop - p)))) != nullptr; ++p)
    ++n;
  for (const char* p = text.data();
       (p = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(stop - p)))) != nullptr; ++p)
    n += p + 1 < stop && p[1] == '\n' ? 0 : 1;
  return n;
}

}  // namespace

std::vector<std::string_view> SplitTextLineViews(std::string_view text) {
  std::vector<std::string_view> lines;
  if (text.empty()) return lines;
  lines.reserve(LineCountOf(text));
  // The next CR and the next LF, each looked for again once passed.
  const char* p = text.data();
  const char* const stop = p + text.size();
  const auto next = [stop](const char* from, char c) {
    const void* at = std::memchr(from, c, static_cast<std::size_t>(stop - from));
    return at ? static_cast<const char*>(at) : stop;
  };
  const char *cr = next(p, '\r'), *lf = next(p, '\n');
  while (p < stop) {
    if (cr < p) cr = next(p, '\r');
    if (lf < p) lf = next(p, '\n');
    const char* end = cr < lf ? cr : lf;
    lines.emplace_back(p, static_cast<std::size_t>(end - p));
    if (end == stop) break;
    p = end + (end == cr && lf == end + 1 && lf < stop ? 2 : 1);
  }
  return lines;
}

std::vector<std::string> SplitTextLines(const std::string& text) {
  const std::vector<std::string_view> views = SplitTextLineViews(text);
  std::vector<std::string> lines;
  lines.reserve(views.size());
  for (std::string_view v : views) lines.emplace_back(v);
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

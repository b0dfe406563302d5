#include "engine/text_lines.h"

#include "engine/sjis.h"

namespace tam {

std::vector<std::string> SplitTextLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
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

std::size_t SjisCharSize(const std::string& s, std::size_t i) {
  if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x40)
    return 2;
  return 1;
}

}  // namespace tam

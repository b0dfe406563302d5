#include "mail/mail_text.h"

namespace tam {

LineList SplitMailText(const std::string& text) {
  LineList lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text, start, i - start);
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text, start, std::string::npos);
  return lines;
}

LineList StoredReply(const LineList& header, const LineList& body) {
  LineList reply;
  reply.reserve(header.size() + 1 + body.size());
  reply.insert(reply.end(), header.begin(), header.end());
  if (!header.empty() && !header.back().empty()) reply.emplace_back();
  reply.insert(reply.end(), body.begin(), body.end());
  return reply;
}

}  // namespace tam

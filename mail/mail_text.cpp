#include "mail/mail_text.h"

namespace tam {

namespace {

template <class Body>
LineList Stored(const LineList& header, const Body& body) {
  LineList reply;
  reply.reserve(header.size() + 1 + body.size());
  reply.insert(reply.end(), header.begin(), header.end());
  if (!header.empty() && !header.back().empty()) reply.emplace_back();
  for (std::string_view line : body) reply.emplace_back(line);
  return reply;
}

}  // namespace

LineList StoredReply(const LineList& header, const LineList& body) { return Stored(header, body); }

LineList StoredReply(const LineList& header, const LineStore& body) { return Stored(header, body); }

}  // namespace tam

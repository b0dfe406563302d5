#include "mail/mail_text.h"

namespace tam {

LineList StoredReply(const LineList& header, const LineList& body) {
  LineList reply;
  reply.reserve(header.size() + 1 + body.size());
  reply.insert(reply.end(), header.begin(), header.end());
  if (!header.empty() && !header.back().empty()) reply.emplace_back();
  reply.insert(reply.end(), body.begin(), body.end());
  return reply;
}

}  // namespace tam

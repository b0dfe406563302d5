#include <utility>

#include "engine/text_lines.h"
#include "mail/reply.h"

namespace tam {

ReplyResult ComposeReplyFromText(std::string mailText, const std::string& program, const std::string& optionLine,
                                 const ReplyAccount& account, const ErrorDecision& decide) {
  ReplyResult r;
  TReplySession session;
  {
    LineList lines = SplitTextLines(mailText);
    std::string().swap(mailText);  // the lines hold the mail now
    r.loadError = session.Prepare(std::move(lines), program, optionLine, account);
  }
  if (r.loadError.empty()) r.run = session.RunTakingLines(r.header, r.body, decide);
  return r;
}

}  // namespace tam

#include <utility>

#include "mail/reply.h"

namespace tam {

ReplyResult ComposeReplyFromText(std::string mailText, const std::string& program, const std::string& optionLine,
                                 const ReplyAccount& account, const ErrorDecision& decide) {
  ReplyResult r;
  TReplySession session;
  r.loadError = session.PrepareText(mailText, program, optionLine, account);
  std::string().swap(mailText);  // the mail state holds what the program reads
  if (r.loadError.empty()) r.run = session.RunTakingLines(r.header, r.body, decide);
  return r;
}

}  // namespace tam

// What a MIME part is, judged from its header: plain text, HTML, a container
// of further parts with its delimiter line, an attachment with its file
// name, or nothing of interest.
#pragma once

#include <cstddef>
#include <string>

#include "mail/mail_state.h"

namespace tam {

struct PartInfo {
  enum Kind { kPlain, kHtml, kContainer, kAttachment, kOther };
  Kind kind = kOther;
  std::string delimiter;  // kContainer: "--" and the boundary
  std::string fileName;   // kAttachment: the name as written
};

// Classifies the part whose header is lines [begin, end).
PartInfo ClassifyPart(const LineList& lines, std::size_t begin, std::size_t end);

}  // namespace tam

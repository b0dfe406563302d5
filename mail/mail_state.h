// The referenced mail and the reply under construction. One state serves one
// engine; the reply preparation empties it for every mail.
#pragma once

#include <string>
#include <vector>

#include "mail/line_store.h"

namespace tam {

// Lines without terminators, Shift-JIS; as one text every line ends in CR LF.
using LineList = std::vector<std::string>;

struct TMailState {
  LineList RefHeader;                      // top-level header of the referenced mail
  LineStore RefBody;                       // bodies of all its plain-text parts, in order
  std::vector<std::string> AttachedFiles;  // one file name per attached part
  bool HtmlPart = false;                   // the mail carries an HTML part
  LineList ReplyHeader;
  LineStore ReplyBody;

  // Empties all six members; swapping with fresh lists also gives their
  // memory back, so nothing of one mail stays with the next.
  void Clear() {
    LineList().swap(RefHeader);
    RefBody.Release();
    std::vector<std::string>().swap(AttachedFiles);
    HtmlPart = false;
    LineList().swap(ReplyHeader);
    ReplyBody.Release();
  }
};

}  // namespace tam

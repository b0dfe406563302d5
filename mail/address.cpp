#include "mail/address.h"

#include "engine/sjis.h"

namespace tam {

namespace {

std::size_t SkipBlanks(const std::string& s, std::size_t b) {
  while (b < s.size() && static_cast<unsigned char>(s[b]) <= 0x20) ++b;
  return b;
}

// Splits an element into display name and address by its closing "<...>" or
// "(...)". A missing opening bracket acts as if it stood before the text.
MailAddress TakeApart(const std::string& e) {
  MailAddress r;
  const char last = e.empty() ? '\0' : e.back();
  if (last == '>' || last == ')') {
    const std::size_t found = FindOnBoundary(e, last == '>' ? "<" : "(");
    const std::size_t open = found == std::string::npos ? 0 : found + 1;  // just after the bracket
    const std::string before = found == std::string::npos ? std::string() : e.substr(0, found);
    const std::string inside = open < e.size() ? e.substr(open, e.size() - 1 - open) : std::string();
    r.address = Trim(last == '>' ? inside : before);
    r.displayName = Trim(last == '>' ? before : inside);
  } else {
    r.address = e;
  }
  std::string& name = r.displayName;
  if (!name.empty() && name.front() == '"' && name.back() == '"')
    name = name.size() < 2 ? "" : name.substr(1, name.size() - 2);
  return r;
}

}  // namespace

MailAddress ExtractAddress(const std::string& list, std::int32_t n) {
  // The text is trimmed at both ends once; after each passed comma the walk
  // goes on from the next non-blank byte, which is where the trimmed rest of
  // the text starts. The quote state carries over from element to element.
  const std::string text = Trim(list);
  bool quoted = false;
  std::int32_t passed = 0;
  std::size_t start = 0;
  for (std::size_t b = 0; b < text.size(); b += CharSize(text, b)) {
    if (text[b] == '"') quoted = !quoted;
    if (text[b] != ',' || quoted) continue;
    if (passed == n) return TakeApart(Trim(text.substr(start, b - start)));
    ++passed;
    start = SkipBlanks(text, b + 1);
    b = start - 1;  // the loop steps to start; blanks are single bytes
  }
  if (passed != n) return MailAddress();
  return TakeApart(text.substr(start));
}

std::int32_t CountAddresses(const std::string& list) {
  const std::string text = Trim(list);
  if (text.empty()) return 0;
  std::int32_t count = 1;
  bool quoted = false;
  for (std::size_t b = 0; b < text.size(); b += CharSize(text, b)) {
    if (text[b] == '"') quoted = !quoted;
    if (text[b] == ',' && !quoted) ++count;
  }
  return count;
}

std::string DoubleByteOnly(const std::string& s) {
  std::string r;
  for (std::size_t b = 0; b < s.size(); b += CharSize(s, b)) {
    if (CharSize(s, b) == 2 && b + 1 < s.size()) r.append(s, b, 2);
  }
  return r;
}

std::string MachineDependentOnly(const std::string& s) {
  std::string r;
  for (std::size_t b = 0; b < s.size(); b += CharSize(s, b)) {
    if (CharSize(s, b) != 2 || b + 1 >= s.size()) continue;
    const unsigned char lead = static_cast<unsigned char>(s[b]), trail = static_cast<unsigned char>(s[b + 1]);
    const bool low = trail >= 0x40 && trail <= 0x7E;
    bool keep = false;
    if (lead >= 0x85 && lead <= 0x87)
      keep = low || (trail >= 0x80 && trail <= 0xFC);
    else if (lead == 0x88)
      keep = low || trail == 0x80;
    else if (lead >= 0xEB && lead <= 0xEE)
      keep = low || (trail >= 0x80 && trail <= 0xA0);
    if (keep) r.append(s, b, 2);
  }
  return r;
}

}  // namespace tam

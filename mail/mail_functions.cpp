// Dispatch of the mail functions: the upper-cased name is sorted by its first
// letter into a small group and compared with each name of that group.
#include "mail/mail_functions.h"

#include "engine/sjis.h"
#include "mail/mail_calls.h"

namespace tam {

namespace {

using Call = bool (*)(TMailState& mail, const Args& args, Value& result);
struct Entry {
  const char* name;
  Call call;
};

using namespace mailcall;

const Entry kGroupA[] = {
    {"APPENDHEADER", AppendHeader},
};

const Entry kGroupE[] = {
    {"EXTRACTADDRESS", [](TMailState&, const Args& a, Value& r) { return ExtractAddress(a, r); }},
    {"EXTRACTADDRESSCOUNT", [](TMailState&, const Args& a, Value& r) { return ExtractAddressCount(a, r); }},
    {"EXTRACTDOUBLEBYTE", [](TMailState&, const Args& a, Value& r) { return ExtractDoubleByte(a, r); }},
    {"EXTRACTMACHINEDEPENDENT", [](TMailState&, const Args& a, Value& r) { return ExtractMachineDependent(a, r); }},
};

const Entry kGroupG[] = {
    {"GETBODY", [](TMailState& m, const Args& a, Value& r) { return LinesAt(m.ReplyBody, a, r); }},
    {"GETBODYCOUNT", [](TMailState& m, const Args&, Value& r) { return LineCount(m.ReplyBody.size(), r); }},
    {"GETBODYSTRING", [](TMailState& m, const Args&, Value& r) { return WholeText(m.ReplyBody, r); }},
    {"GETHEADERCOUNT", [](TMailState& m, const Args&, Value& r) { return LineCount(m.ReplyHeader.size(), r); }},
    {"GETHEADERCOUNTOF", [](TMailState& m, const Args& a, Value& r) { return HeaderCountOf(m.ReplyHeader, a, r); }},
    {"GETHEADER", [](TMailState& m, const Args& a, Value& r) { return LinesAt(m.ReplyHeader, a, r); }},
    {"GETHEADEROF", [](TMailState& m, const Args& a, Value& r) { return HeaderOf(m.ReplyHeader, a, r); }},
    {"GETHEADERSTRING", [](TMailState& m, const Args&, Value& r) { return WholeText(m.ReplyHeader, r); }},
    {"GETMAXLINELENGTH",
     [](TMailState& m, const Args&, Value& r) { return Longest(FindLongestLine(m.ReplyBody, false), r); }},
    {"GETMAXLINELENGTHB",
     [](TMailState& m, const Args&, Value& r) { return Longest(FindLongestLine(m.ReplyBody, true), r); }},
};

const Entry kGroupP[] = {
    {"PRINT", Print},
};

const Entry kGroupQ[] = {
    {"QUOTE", Quote},
};

const Entry kGroupR[] = {
    {"REFGETATTACHEDFILECOUNT",
     [](TMailState& m, const Args&, Value& r) {
       r = Value::Int(static_cast<std::int32_t>(m.AttachedFiles.size()));  // a plain integer, no list
       return true;
     }},
    {"REFGETATTACHEDFILENAME", [](TMailState& m, const Args& a, Value& r) { return LinesAt(m.AttachedFiles, a, r); }},
    {"REFGETBODYCOUNT", [](TMailState& m, const Args&, Value& r) { return LineCount(m.RefBody.size(), r); }},
    {"REFGETBODY", [](TMailState& m, const Args& a, Value& r) { return LinesAt(m.RefBody, a, r); }},
    {"REFGETBODYSTRING", [](TMailState& m, const Args&, Value& r) { return WholeText(m.RefBody, r); }},
    {"REFGETHEADERCOUNT", [](TMailState& m, const Args&, Value& r) { return LineCount(m.RefHeader.size(), r); }},
    {"REFGETHEADERCOUNTOF", [](TMailState& m, const Args& a, Value& r) { return HeaderCountOf(m.RefHeader, a, r); }},
    {"REFGETHEADER", [](TMailState& m, const Args& a, Value& r) { return LinesAt(m.RefHeader, a, r); }},
    {"REFGETHEADEROF", [](TMailState& m, const Args& a, Value& r) { return HeaderOf(m.RefHeader, a, r); }},
    {"REFGETHEADERSTRING", [](TMailState& m, const Args&, Value& r) { return WholeText(m.RefHeader, r); }},
    {"REFGETMAXLINELENGTH",
     [](TMailState& m, const Args&, Value& r) { return Longest(FindLongestLine(m.RefBody, false), r); }},
    {"REFGETMAXLINELENGTHB",
     [](TMailState& m, const Args&, Value& r) { return Longest(FindLongestLine(m.RefBody, true), r); }},
    {"REFHASHTMLPART",
     [](TMailState& m, const Args&, Value& r) {
       r.append(Value::Bool(m.HtmlPart));
       return true;
     }},
    {"REMOVEHEADER", RemoveHeaders},
};

const Entry kGroupS[] = {
    {"SETHEADER", SetHeader},
};

template <std::size_t N>
const Entry* Find(const Entry (&group)[N], const std::string& key) {
  for (const Entry& e : group)
    if (key == e.name) return &e;
  return nullptr;
}

const Entry* Lookup(const std::string& key) {
  if (key.empty()) return nullptr;
  switch (key[0]) {
    case 'A':
      return Find(kGroupA, key);
    case 'E':
      return Find(kGroupE, key);
    case 'G':
      return Find(kGroupG, key);
    case 'P':
      return Find(kGroupP, key);
    case 'Q':
      return Find(kGroupQ, key);
    case 'R':
      return Find(kGroupR, key);
    case 'S':
      return Find(kGroupS, key);
    default:
      return nullptr;
  }
}

}  // namespace

bool MailFunction(TMailState& mail, const std::string& name, const Value& args, Value& result, bool& found) {
  result = Value();
  const Entry* e = Lookup(UpperCase(Trim(name)));
  found = e != nullptr;
  return e ? e->call(mail, args, result) : true;
}

std::vector<std::string> MailFunctionNames() {
  std::vector<std::string> names;
  auto add = [&names](const auto& group) {
    for (const Entry& e : group) names.push_back(e.name);
  };
  add(kGroupA);
  add(kGroupE);
  add(kGroupG);
  add(kGroupP);
  add(kGroupQ);
  add(kGroupR);
  add(kGroupS);
  return names;
}

FunctionLibrary MailFunctionHandler(TMailState& mail) {
  return [&mail](const std::string& name, const Value& args, Value& result, bool& found) {
    return MailFunction(mail, name, args, result, found);
  };
}

FunctionResolver MailFunctionResolver(TMailState& mail) {
  return [&mail](const std::string& upper) {
    DirectFunction f;
    const Entry* e = Lookup(upper);
    if (!e) return f;
    f.call = [](const DirectFunction& self, const Args& args, Value& result) {
      return static_cast<const Entry*>(self.entry)->call(*static_cast<TMailState*>(self.state), args, result);
    };
    f.state = &mail;
    f.entry = e;
    return f;
  };
}

}  // namespace tam

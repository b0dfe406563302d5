// A received mail: the part walk (over its lines and over its text in
// place), then every function that reads the
// referenced mail, over every line, header and attachment it produced.
#include <cstdint>
#include <exception>
#include <string>

#include "engine/text_lines.h"
#include "fuzz/fuzz_common.h"
#include "mail/part_walk.h"
#include "mail/reply.h"

namespace {

using tam::Value;

Value ArgList(std::initializer_list<Value> items) { return Value::Array(std::vector<Value>(items)); }

void Call(tam::TMailState& mail, const char* name, const Value& args) {
  Value result;
  bool found = false;
  try {
    tam::MailFunction(mail, name, args, result, found);
    if (found) tam::ToText(result.isArray() && !result.items().empty() ? result.items()[0] : result);
  } catch (const std::exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tam;
  if (size > 1024 * 1024) return 0;
  TMailState mail;
  const std::string text(reinterpret_cast<const char*>(data), size);
  PrepareMail(mail, SplitTextLines(text));
  // The mail read in place, its body copied or left where it stands, gives
  // what the walk over its lines gives.
  for (bool borrow : {false, true}) {
    TMailState inPlace;
    WalkMailText(text, inPlace, borrow);
    if (!(inPlace.RefHeader == mail.RefHeader && inPlace.RefBody == mail.RefBody &&
          inPlace.AttachedFiles == mail.AttachedFiles && inPlace.HtmlPart == mail.HtmlPart))
      __builtin_trap();
  }

  for (const char* name : {"REFGETATTACHEDFILECOUNT", "REFGETBODYCOUNT", "REFGETBODYSTRING", "REFGETHEADERCOUNT",
                           "REFGETHEADERSTRING", "REFGETMAXLINELENGTH", "REFGETMAXLINELENGTHB", "REFHASHTMLPART"}) {
    Call(mail, name, Value());
    Call(mail, name, Value::Int(0));
  }
  const int files = static_cast<int>(mail.AttachedFiles.size());
  const int body = static_cast<int>(mail.RefBody.size());
  const int header = static_cast<int>(mail.RefHeader.size());
  Call(mail, "REFGETATTACHEDFILENAME",
       ArgList({Value::Int(-1), Value::Int(0), Value::Int(files - 1), Value::Int(files)}));
  Call(mail, "REFGETBODY", ArgList({Value::Int(-1), Value::Int(0), Value::Int(body - 1), Value::Int(body)}));
  Call(mail, "REFGETHEADER", ArgList({Value::Int(-1), Value::Int(0), Value::Int(header - 1), Value::Int(header)}));
  for (int i = 0; i < files && i < 64; ++i) Call(mail, "REFGETATTACHEDFILENAME", ArgList({Value::Int(i)}));

  // Every header name the mail carries (the first 64 lines), and some it may lack.
  std::vector<Value> names = {Value::Str("From"),         Value::Str("To"), Value::Str("Cc"), Value::Str("Subject"),
                              Value::Str("Content-Type"), Value::Str(""),   Value::Str(" ")};
  for (int i = 0; i < header && i < 64; ++i) {
    const std::string& line = mail.RefHeader[i];
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos) names.push_back(Value::Str(line.substr(0, colon)));
  }
  Call(mail, "REFGETHEADERCOUNTOF", Value::Array(names));
  for (const Value& name : names) {
    for (int n : {-1, 0, 1}) {
      Value value;
      bool found = false;
      try {
        MailFunction(mail, "REFGETHEADEROF", ArgList({name, Value::Int(n)}), value, found);
        const Value text = value.isArray() && !value.items().empty() ? value.items()[0] : Value::Str("");
        Call(mail, "EXTRACTADDRESSCOUNT", ArgList({text}));
        Call(mail, "EXTRACTADDRESS", ArgList({text, Value::Int(0)}));
        Call(mail, "EXTRACTADDRESS", ArgList({text, Value::Int(1)}));
        Call(mail, "EXTRACTDOUBLEBYTE", ArgList({text}));
        Call(mail, "EXTRACTMACHINEDEPENDENT", ArgList({text}));
      } catch (const std::exception&) {
      }
    }
  }
  Call(mail, "QUOTE", ArgList({Value::Str("> ")}));
  Call(mail, "GETMAXLINELENGTH", Value());
  return 0;
}

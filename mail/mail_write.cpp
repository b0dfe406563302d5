#include <algorithm>
#include <utility>

#include "engine/failure.h"
#include "engine/operators.h"
#include "engine/sjis.h"
#include "library/library.h"
#include "mail/header.h"
#include "mail/mail_calls.h"

namespace tam {
namespace mailcall {

namespace {

// "Name: " joined with the value by the script's + operator; the joined
// value becomes the line's text.
std::string HeaderLine(const Value& name, const Value& value) {
  std::string line = Trim(shape::Text(name));
  if (line.empty() || line.back() != ':') line += ':';
  line += ' ';
  if (value.isArray()) throw VariantError("Invalid variant type conversion");
  return shape::Text(Combine(Op::kAdd, Value::Str(line), value));
}

}  // namespace

bool AppendHeader(TMailState& mail, const Args& args, Value&) {
  const Args* a = shape::Fixed(args, 2);
  if (!a) return false;
  mail.ReplyHeader.push_back(HeaderLine((*a)[0], (*a)[1]));
  return true;
}

bool SetHeader(TMailState& mail, const Args& args, Value&) {
  const Args* a = shape::Fixed(args, 2);
  if (!a) return false;
  // The new line is built first, so a value that cannot be joined leaves the
  // old header in place.
  std::string line = HeaderLine((*a)[0], (*a)[1]);
  RemoveHeader(mail.ReplyHeader, HeaderKey(shape::Text((*a)[0])));
  mail.ReplyHeader.push_back(std::move(line));
  return true;
}

bool RemoveHeaders(TMailState& mail, const Args& args, Value& result) {
  return shape::ElementWise(args, result, [&](const Value& name, Value&) {
    RemoveHeader(mail.ReplyHeader, HeaderKey(shape::Text(name)));
    return true;
  });
}

bool Print(TMailState& mail, const Args& args, Value&) {
  if (!args.isArray()) {
    mail.ReplyBody.push_back(shape::Text(args.value()));
    return true;
  }
  std::string line;
  for (const Value& a : args.items()) line += shape::Text(a);
  mail.ReplyBody.push_back(line);
  return true;
}

bool Quote(TMailState& mail, const Args& args, Value&) {
  const std::string prefix = shape::Text(First(args));
  // Room for all quoted lines at once; many QUOTEs in a row stay linear, as
  // the store grows by at least half.
  mail.ReplyBody.AppendPrefixed(prefix, mail.RefBody);
  return true;
}

}  // namespace mailcall
}  // namespace tam

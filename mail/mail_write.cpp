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
  std::string line;
  if (args.isArray()) {
    for (const Value& a : args.items()) line += shape::Text(a);
  } else {
    line = shape::Text(args.value());
  }
  mail.ReplyBody.push_back(std::move(line));
  return true;
}

bool Quote(TMailState& mail, const Args& args, Value&) {
  const std::string prefix = shape::Text(First(args));
  // Room for all quoted lines at once, still growing by at least half, so
  // that many QUOTEs in a row stay linear.
  LineList& body = mail.ReplyBody;
  const std::size_t needed = body.size() + mail.RefBody.size();
  if (needed > body.capacity()) body.reserve(std::max(needed, body.capacity() + body.capacity() / 2));
  for (const std::string& line : mail.RefBody) {
    std::string quoted;
    quoted.reserve(prefix.size() + line.size());
    quoted.append(prefix).append(line);
    body.push_back(std::move(quoted));
  }
  return true;
}

}  // namespace mailcall
}  // namespace tam

#include "library/library.h"
#include "mail/address.h"
#include "mail/header.h"
#include "mail/mail_calls.h"

namespace tam {
namespace mailcall {

namespace {

Value Count(std::size_t n) { return Value::Int(static_cast<std::int32_t>(n)); }

}  // namespace

namespace {

template <class Lines>
bool LineAt(const Lines& lines, const Args& args, Value& result) {
  return shape::ElementWise(args, result, [&](const Value& a, Value& r) {
    const std::int32_t n = shape::Integer(a);
    r.append(Value::Str(n >= 0 && static_cast<std::size_t>(n) < lines.size() ? std::string_view(lines[n])
                                                                             : std::string_view()));
    return true;
  });
}

}  // namespace

bool LinesAt(const LineList& lines, const Args& args, Value& result) { return LineAt(lines, args, result); }
bool LinesAt(const LineStore& lines, const Args& args, Value& result) { return LineAt(lines, args, result); }

bool LineCount(std::size_t count, Value& result) {
  result.append(Count(count));
  return true;
}

bool HeaderCountOf(const LineList& header, const Args& args, Value& result) {
  return shape::ElementWise(args, result, [&](const Value& a, Value& r) {
    r.append(Value::Int(CountHeader(header, HeaderKey(shape::Text(a)))));
    return true;
  });
}

bool HeaderOf(const LineList& header, const Args& args, Value& result) {
  if (!args.isArray() || args.items().empty()) return false;
  const Args& a = args;
  const std::string key = HeaderKey(shape::Text(a[0]));
  const std::int32_t n = a.size() > 1 ? shape::Integer(a[1]) : 0;
  result.append(Value::Str(HeaderValueOf(header, key, n)));
  return true;
}

bool WholeText(const LineList& lines, Value& result) {
  result.append(Value::Str(JoinLines(lines)));
  return true;
}

bool WholeText(const LineStore& lines, Value& result) {
  result.append(Value::Str(JoinLines(lines)));
  return true;
}

bool Longest(LongestLine l, Value& result) {
  result.append(Value::Int(l.length));
  result.append(Value::Int(l.line));
  return true;
}

bool ExtractAddress(const Args& args, Value& result) {
  const std::string text = shape::Text(First(args));
  std::int32_t n = 0;
  if (args.isArray() && args.items().size() > 1) n = shape::Integer(args.items()[1]);
  MailAddress a = tam::ExtractAddress(text, n);
  result.append(Value::Str(std::move(a.address)));
  result.append(Value::Str(std::move(a.displayName)));
  return true;
}

bool ExtractAddressCount(const Args& args, Value& result) {
  result.append(Value::Int(CountAddresses(shape::Text(First(args)))));
  return true;
}

bool ExtractDoubleByte(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Str(DoubleByteOnly(shape::Text(a))));
    return true;
  });
}

bool ExtractMachineDependent(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Str(MachineDependentOnly(shape::Text(a))));
    return true;
  });
}

}  // namespace mailcall
}  // namespace tam

// The mail functions one by one, as the dispatch calls them: arguments as
// the engine built them, a result to append to, success returned.
#pragma once

#include "engine/callable.h"
#include "engine/value.h"
#include "mail/header.h"
#include "mail/mail_state.h"

namespace tam {
namespace mailcall {

// The first argument, or the value itself when the call has no list.
inline const Value& First(const Args& args) {
  static const Value empty;
  if (!args.isArray()) return args.value();
  return args.items().empty() ? empty : args.items()[0];
}

// Reading a line list (mail_read.cpp); the same code serves the reply and
// the referenced mail.
bool LinesAt(const LineList& lines, const Args& args, Value& result);
bool LinesAt(const LineStore& lines, const Args& args, Value& result);
bool LineCount(std::size_t count, Value& result);
bool HeaderCountOf(const LineList& header, const Args& args, Value& result);
bool HeaderOf(const LineList& header, const Args& args, Value& result);
bool WholeText(const LineList& lines, Value& result);
bool WholeText(const LineStore& lines, Value& result);
// The greatest line length and the number of its line (FindLongestLine).
bool Longest(LongestLine longest, Value& result);

// Writing the reply (mail_write.cpp).
bool AppendHeader(TMailState& mail, const Args& args, Value& result);
bool SetHeader(TMailState& mail, const Args& args, Value& result);
bool RemoveHeaders(TMailState& mail, const Args& args, Value& result);
bool Print(TMailState& mail, const Args& args, Value& result);
bool Quote(TMailState& mail, const Args& args, Value& result);

// Text only (mail_read.cpp).
bool ExtractAddress(const Args& args, Value& result);
bool ExtractAddressCount(const Args& args, Value& result);
bool ExtractDoubleByte(const Args& args, Value& result);
bool ExtractMachineDependent(const Args& args, Value& result);

}  // namespace mailcall
}  // namespace tam

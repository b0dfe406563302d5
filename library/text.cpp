// The text functions. Shift-JIS text comes in two forms: the character form
// counts a double-byte character as one position, the byte form (names that
// end in B) counts bytes. Positions are 1-based; 0 means not found.
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "engine/sjis.h"
#include "library/library.h"

namespace tam {

namespace {

// A text result larger than this is refused as if memory had run out, so that
// STRINGREPEAT or INTTOHEXN cannot exhaust the host's address space.
constexpr std::size_t kMaxTextResult = 64u << 20;

void CheckTextSize(long double bytes) {
  if (bytes > static_cast<long double>(kMaxTextResult)) throw std::bad_alloc();
}

// Byte copy rule: bytes start ... start + count - 1, a start below 1 counting
// as 1, a negative count as 0, stopping at the end of s.
std::string ByteCopy(const std::string& s, long long start, long long count) {
  if (start < 1) start = 1;
  if (count < 0) count = 0;
  const long long size = static_cast<long long>(s.size());
  if (start > size) return std::string();
  const long long avail = size - start + 1;
  return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count < avail ? count : avail));
}

// Byte position of the first occurrence of sub in s; 0 when absent or empty.
std::int32_t BytePos(const std::string& sub, const std::string& s) {
  if (sub.empty()) return 0;
  const std::size_t at = ByteMatcher(s, sub).Next();
  return at == std::string::npos ? 0 : static_cast<std::int32_t>(at + 1);
}

// Appends one String value.
bool PutText(Value& r, std::string_view s) {
  shape::Put(r, Value::Str(s));
  return true;
}
bool PutInt(Value& r, std::int32_t n) {
  shape::Put(r, Value::Int(n));
  return true;
}

// ---- element-wise functions ----

bool Chr(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    return PutText(r, std::string(1, static_cast<char>(shape::Integer(a) & 0xFF)));
  });
}

// CODE and CODEB take only a non-empty text; a bad argument ends the call.
bool IsCodeArgument(const Value& a) { return a.isString() && CharLength(a.str()) >= 1; }

bool Code(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    if (!IsCodeArgument(a)) return false;
    std::int32_t code = 0;
    for (char c : CharCopy(a.str(), 1, 1)) code = code * 256 + static_cast<unsigned char>(c);
    return PutInt(r, code);
  });
}

bool CodeB(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    if (!IsCodeArgument(a)) return false;
    return PutInt(r, static_cast<unsigned char>(a.str()[0]));
  });
}

std::string Hex(std::int32_t n, std::int32_t digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(n));
  std::string h = buf;
  if (digits > static_cast<std::int32_t>(h.size())) {
    CheckTextSize(digits);
    h.insert(0, static_cast<std::size_t>(digits) - h.size(), '0');
  }
  return h;
}

bool IntToHex(const Args& args, Value& result) {
  return shape::ElementWise(args, result,
                            [](const Value& a, Value& r) { return PutText(r, Hex(shape::Integer(a), 1)); });
}

bool IntToStr(const Args& args, Value& result) {
  return shape::ElementWise(args, result,
                            [](const Value& a, Value& r) { return PutText(r, std::to_string(shape::Integer(a))); });
}

bool Length(const Args& args, Value& result) {
  // The UTF-16 length of the text, which for Shift-JIS is its character count.
  return shape::ElementWise(args, result,
                            [](const Value& a, Value& r) { return PutInt(r, CharLength(shape::Text(a))); });
}

bool LengthB(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    return PutInt(r, static_cast<std::int32_t>(shape::Text(a).size()));
  });
}

template <std::string (*Map)(const std::string&)>
bool MapText(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) { return PutText(r, Map(shape::Text(a))); });
}

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') q += '\'';
    q += c;
  }
  return q + "'";
}

// ---- fixed-arity functions ----

// COPY/MID: text, start [, count] by characters.
// The text of an argument without copying it when it is a text already;
// other kinds convert into scratch.
std::string_view TextOf(const Value& v, std::string& scratch) {
  if (v.type() == vtString) return v.str();
  scratch = shape::Text(v);
  return scratch;
}

bool Copy(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  std::string scratch;
  const std::string_view s = TextOf((*a)[0], scratch);
  const std::int32_t start = shape::Integer((*a)[1]);
  const std::int32_t count = a->size() > 2 ? shape::Integer((*a)[2]) : kRest;
  if ((*a)[0].PlainText() && start >= 1 && count >= 0) {
    // Each character one byte: the cut is by bytes, and plain as well.
    const std::size_t from = static_cast<std::size_t>(start) - 1;
    const long long want = static_cast<long long>(start) - 1 + count;
    const std::size_t stop = want < static_cast<long long>(s.size()) ? static_cast<std::size_t>(want) : s.size();
    if (from >= stop) {
      shape::Put(result, Value::Str({}));
      return true;
    }
    // A text the engine gives up is cut where it stands.
    Value* text = args.Owned(0);
    if (text && text->CutText(from, stop - from)) {
      shape::Put(result, std::move(*text));
      return true;
    }
    shape::Put(result, Value::PlainStr(s.substr(from, stop - from)));
    return true;
  }
  shape::Put(result, Value::Str(CharSpan(s, start, count)));
  return true;
}

bool CopyB(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string s = shape::Text((*a)[0]);
  const std::int32_t start = shape::Integer((*a)[1]);
  const long long count = a->size() > 2 ? shape::Integer((*a)[2]) : static_cast<long long>(s.size());
  return PutText(result, ByteCopy(s, start, count));
}

// INSTR and INSTRB: (text, sub) or (start, text, sub). The character form
// never matches inside a double-byte character; the byte form may.
template <bool kBytes>
bool InStr(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  auto find = [](const std::string& sub, const std::string& s) { return kBytes ? BytePos(sub, s) : CharPos(sub, s); };
  const Value& first = (*a)[0];
  if (a->size() == 2 || first.type() == vtOleStr) return PutInt(result, find(shape::Text((*a)[1]), shape::Text(first)));
  if (first.type() != vtInteger) return false;
  const std::int32_t start = first.i();
  const std::string s = shape::Text((*a)[1]);
  const std::string sub = shape::Text((*a)[2]);
  if (start <= 1) return PutInt(result, find(sub, s));
  const std::string tail = kBytes ? ByteCopy(s, start, static_cast<long long>(s.size())) : CharCopy(s, start, kRest);
  const std::int32_t p = find(sub, tail);
  return PutInt(result, p >= 1 ? p + start - 1 : 0);
}

bool IntToHexN(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::int32_t n = shape::Integer((*a)[0]);
  return PutText(result, Hex(n, shape::Integer((*a)[1])));
}

// Byte position of the last byte of s that is one of the delimiters; a hit
// on the trail byte of a double-byte character skips that character.
bool LastDelimiter(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  // The delimiter bytes up to the first NUL, as a table: a long list of
  // delimiters costs one pass, not one pass per byte of s.
  bool delimiter[256] = {};
  for (char c : shape::Text((*a)[0])) {
    if (c == '\0') break;
    delimiter[static_cast<unsigned char>(c)] = true;
  }
  const std::string s = shape::Text((*a)[1]);
  std::string trail(s.size(), 0);  // 1 where the byte is a trail byte
  for (std::size_t i = 0; i + 1 < s.size(); ++i)
    if (IsLeadByte(static_cast<unsigned char>(s[i]))) trail[++i] = 1;
  for (std::size_t i = s.size(); i > 0; --i) {
    if (!delimiter[static_cast<unsigned char>(s[i - 1])]) continue;  // never NUL
    if (trail[i - 1]) {
      --i;  // skip the lead byte as well
      continue;
    }
    return PutInt(result, static_cast<std::int32_t>(i));
  }
  return PutInt(result, 0);
}

bool Left(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string s = shape::Text((*a)[0]);
  return PutText(result, CharCopy(s, 1, shape::Integer((*a)[1])));
}

bool LeftB(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string s = shape::Text((*a)[0]);
  return PutText(result, ByteCopy(s, 1, shape::Integer((*a)[1])));
}

bool Pos(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string sub = shape::Text((*a)[0]);
  return PutInt(result, CharPos(sub, shape::Text((*a)[1])));
}

bool PosB(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string sub = shape::Text((*a)[0]);
  return PutInt(result, BytePos(sub, shape::Text((*a)[1])));
}

bool Right(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string s = shape::Text((*a)[0]);
  const long long start = static_cast<long long>(CharLength(s)) - shape::Integer((*a)[1]) + 1;
  // The start is an integer sum; one outside the 32-bit range cannot convert.
  return PutText(result, CharCopy(s, RoundToInt32(static_cast<double>(start)), kRest));
}

bool RightB(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string s = shape::Text((*a)[0]);
  const long long size = static_cast<long long>(s.size());
  return PutText(result, ByteCopy(s, size - shape::Integer((*a)[1]) + 1, size));
}

bool StringRepeat(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string s = shape::Text((*a)[0]);
  const std::int32_t n = shape::Integer((*a)[1]);
  std::string r;
  if (n >= 1 && !s.empty()) {
    CheckTextSize(static_cast<long double>(s.size()) * n);
    r.reserve(s.size() * static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) r += s;
  }
  return PutText(result, std::move(r));
}

}  // namespace

void AddTextFunctions(Catalogue& c) {
  c["CHR"] = Chr;
  c["CODE"] = Code;
  c["CODEB"] = CodeB;
  c["COPY"] = c["MID"] = Copy;
  c["COPYB"] = c["MIDB"] = CopyB;
  c["INSTR"] = InStr<false>;
  c["INSTRB"] = InStr<true>;
  c["INTTOHEX"] = IntToHex;
  c["INTTOHEXN"] = IntToHexN;
  c["INTTOSTR"] = IntToStr;
  c["LASTDELIMITER"] = LastDelimiter;
  c["LEFT"] = Left;
  c["LEFTB"] = LeftB;
  c["LENGTH"] = Length;
  c["LENGTHB"] = LengthB;
  c["LOWERCASE"] = MapText<LowerCase>;
  c["POS"] = Pos;
  c["POSB"] = PosB;
  c["QUOTEDSTR"] = MapText<Quoted>;
  c["RIGHT"] = Right;
  c["RIGHTB"] = RightB;
  c["STRINGREPEAT"] = StringRepeat;
  c["TRIM"] = MapText<Trim>;
  c["TRIMLEFT"] = MapText<TrimLeft>;
  c["TRIMRIGHT"] = MapText<TrimRight>;
  c["UPPERCASE"] = MapText<UpperCase>;
}

}  // namespace tam

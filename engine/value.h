// The script's dynamically typed value: a tagged union whose tags are the
// OLE Automation VARIANT type codes, plus 256 for a Shift-JIS byte string.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/date_text.h"
#include "engine/number_text.h"

namespace tam {

enum VarType : std::uint16_t {
  vtEmpty = 0,
  vtNull = 1,
  vtSmallInt = 2,
  vtInteger = 3,
  vtSingle = 4,
  vtDouble = 5,
  vtCurrency = 6,
  vtDate = 7,
  vtOleStr = 8,
  vtDispatch = 9,
  vtError = 10,
  vtBoolean = 11,
  vtVariant = 12,
  vtUnknown = 13,
  vtByte = 17,
  vtString = 256,
  vtArrayFlag = 0x2000,
  vtArray = 0x2000 | 12,
};

class Value {
 public:
  Value() = default;
  // Copies hold their own items; texts are shared.
  Value(const Value& o) : type_(o.type_), holds_(o.holds_), num_(o.num_) {
    if (holds_) Share();
  }
  // The moved-from value keeps its type, with an empty text or no items.
  Value(Value&& o) noexcept : type_(o.type_), holds_(o.holds_), num_(o.num_) {
    if (holds_) o.num_.text = nullptr;
  }
  Value& operator=(const Value& o) {
    Value(o).swap(*this);
    return *this;
  }
  Value& operator=(Value&& o) noexcept {
    if (Holding()) {
      if (this == &o) return *this;
      // The old contents go last: o may live among them.
      const Value old(std::move(*this));
      Take(o);
      return *this;
    }
    Take(o);
    return *this;
  }
  ~Value() {
    if (Holding()) Release();
  }
  void swap(Value& o) noexcept {
    std::swap(type_, o.type_);
    std::swap(holds_, o.holds_);
    std::swap(num_, o.num_);
  }

  static Value Int(std::int32_t v);
  static Value Dbl(double v);
  static Value Bool(bool v);
  static Value Str(std::string_view v);
  static Value OleStr(std::string_view v);  // wide string, held here as Shift-JIS
  static Value Cur(std::int64_t scaled);    // Currency: value times 10000
  static Value DateVal(double days);
  static Value Null();
  static Value Small(std::int16_t v);
  static Value Sgl(float v);
  static Value ByteVal(std::uint8_t v);
  static Value ErrorVal(std::int32_t code);
  static Value Array(std::vector<Value> items = {});
  // A String of size bytes that the caller writes at once through bytes,
  // before the value is copied: texts never change once made.
  static Value StrOfSize(std::size_t size, char*& bytes, bool plain = false);
  // A String of bytes the caller knows to be plain (see PlainText); plain
  // says the same to StrOfSize.
  static Value PlainStr(std::string_view v);

  std::uint16_t type() const { return type_; }
  bool isEmpty() const { return type_ == vtEmpty; }
  bool isArray() const { return (type_ & vtArrayFlag) != 0; }
  bool isString() const { return type_ == vtString || type_ == vtOleStr; }

  // Raw access; callers check type() first.
  std::int32_t i() const { return num_.i; }
  double d() const { return num_.d; }
  float f() const { return num_.f; }
  std::int64_t cy() const { return num_.cy; }
  bool b() const { return num_.b; }
  std::int16_t s16() const { return num_.s; }
  std::uint8_t u8() const { return num_.by; }
  // The bytes of a text (empty for the other kinds), followed by a 0 byte;
  // valid while the value holds this text.
  std::string_view str() const {
    if (!isString() || !num_.text) return std::string_view("", 0);
    return std::string_view(num_.text->Bytes(), num_.text->size);
  }
  // True when this is a String known to hold only single-byte characters
  // other than 0 (bytes 1 to 0x7F), each character one byte: an empty one,
  // one made so (PlainStr, NotePlain) or joined from such texts. False says
  // nothing.
  bool PlainText() const { return type_ == vtString && (!num_.text || num_.text->plain); }
  // Makes a String the len bytes from byte from on of its text, in place
  // when it alone holds its text block; false (nothing changed) otherwise.
  bool CutText(std::size_t from, std::size_t len);
  // Makes this the String of a's bytes followed by b's, both Strings (either
  // may be this one), plain when both are known plain: two texts joined.
  void SetJoined(const Value& a, const Value& b);
  // Looks at the bytes of a String now and notes whether they are plain, for
  // a text kept and used often (a literal).
  void NotePlain();
  const std::vector<Value>& items() const { return isArray() && num_.items ? *num_.items : NoItems(); }
  // For an array only: another kind has no items to change.
  std::vector<Value>& items() {
    if (!isArray()) return Scratch();
    if (!num_.items) num_.items = NewItems();
    return *num_.items;
  }

  // Makes this an Integer, Double or Boolean in place: the same as assigning
  // Int(v), Dbl(v) or Bool(v), without building a value to move.
  void SetInt(std::int32_t v) {
    Scalar(vtInteger);
    num_.i = v;
  }
  void SetDbl(double v) {
    Scalar(vtDouble);
    num_.d = v;
  }
  void SetBool(bool v) {
    Scalar(vtBoolean);
    num_.b = v;
  }

  // Appending rule: to an array it grows; to a non-empty scalar it makes the
  // pair (scalar, v); to Empty it makes a one-element array.
  void append(Value v);

 private:
  // A text's bytes live right behind this header, in one allocation shared
  // by the copies of the value. Values never leave the thread that made
  // them, so the count is a plain one.
  struct TextBlock {
    std::size_t refs;
    std::size_t size;
    bool plain;  // the bytes are known to be plain (see PlainText)
    const char* Bytes() const { return reinterpret_cast<const char*>(this + 1); }
    char* Bytes() { return reinterpret_cast<char*>(this + 1); }
  };

  void Share();
  // Whether there is a text block or an item list to let go of: a moved-from
  // value has none.
  bool Holding() const { return holds_ && num_.text; }
  void Release() noexcept;
  // Takes o's contents, leaving o as a move leaves it; this holds nothing.
  void Take(Value& o) noexcept {
    type_ = o.type_;
    holds_ = o.holds_;
    num_ = o.num_;
    if (holds_) o.num_.text = nullptr;
  }
  void Scalar(std::uint16_t type) {
    if (Holding()) Release();
    holds_ = false;
    type_ = type;
    num_.cy = 0;
  }
  static Value NewText(std::uint16_t type, std::string_view bytes);
  // Small text blocks are kept for reuse while an engine runs on the thread
  // (see ItemPoolUser), so that a loop that rebuilds a text on every pass
  // costs no allocation. A new block is held once, its closing 0 written.
  static TextBlock* NewBlock(std::size_t size);
  static void DropBlock(TextBlock* block) noexcept;

  std::uint16_t type_ = vtEmpty;
  // True for the kinds that hold a text block or an item list: a text, an
  // OleStr or an array.
  bool holds_ = false;
  // The number, or the text block (none for an empty text), or the item list
  // (none for no items yet).
  // The widest member comes first: "{}" sets the first member only, and
  // every byte must be 0 (no text block, no item list).
  union {
    std::int64_t cy;
    std::int32_t i;
    double d;
    float f;
    bool b;
    std::int16_t s;
    std::uint8_t by;
    TextBlock* text;
    std::vector<Value>* items;
  } num_{};
  static const std::vector<Value>& NoItems();
  static std::vector<Value>& Scratch();
  // Small item lists are kept for reuse while an engine runs on the thread
  // (see ItemPoolUser), so the one-element arrays that every RESULT and every
  // operator on such a result make cost no allocation.
  static std::vector<Value>* NewItems();
  static std::vector<Value>* CopyItems(const std::vector<Value>& from);
  static void DropItems(std::vector<Value>* items) noexcept;
};

// While one of these lives on a thread, emptied small item lists and small
// text blocks of values are kept for reuse there; when the last one ends,
// the kept ones are freed. An engine holds one for its lifetime.
class ItemPoolUser {
 public:
  ItemPoolUser();
  ~ItemPoolUser();
  ItemPoolUser(const ItemPoolUser&) = delete;
  ItemPoolUser& operator=(const ItemPoolUser&) = delete;
};

// The name shown for a type code ("Integer", "String", "Variant", ...).
const char* TypeName(int code);

// Conversions between kinds, portable rules close to VariantChangeTypeEx under
// a Japanese locale. A failed coercion throws VariantError.
std::int32_t ToInteger(const Value& v);
double ToDouble(const Value& v);
bool ToBoolean(const Value& v);
std::string ToText(const Value& v);
std::int64_t ToCurrency(const Value& v);
double ToDate(const Value& v);

// A value as the tools show it: its text, arrays as "(a, b)", Null as
// "Null", and "?" for a kind that has no text.
std::string DisplayText(const Value& v);

// Parses a number the way the string conversion does (blanks around, "1,000",
// "&H10", "1e3"). Returns false when the text is no number.
bool ParseNumber(std::string_view text, double& out);

// Rounds to nearest with ties to even and checks the 32-bit range (throws
// VariantError on overflow, as a failed coercion).
std::int32_t RoundToInt32(double d);

// The kinds every operation makes, defined here so that they build in place.
inline Value Value::Int(std::int32_t v) {
  Value r;
  r.type_ = vtInteger;
  r.num_.i = v;
  return r;
}
inline Value Value::Dbl(double v) {
  Value r;
  r.type_ = vtDouble;
  r.num_.d = v;
  return r;
}
inline Value Value::Bool(bool v) {
  Value r;
  r.type_ = vtBoolean;
  r.num_.b = v;
  return r;
}

}  // namespace tam

// The script's dynamically typed value: a tagged union whose tags are the
// OLE Automation VARIANT type codes, plus 256 for a Shift-JIS byte string.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
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
  Value(const Value& o)
      : type_(o.type_), num_(o.num_), str_(o.str_), items_(o.items_ ? CopyItems(*o.items_) : nullptr) {}
  Value(Value&&) noexcept = default;
  Value& operator=(const Value& o) {
    if (this != &o) *this = Value(o);
    return *this;
  }
  Value& operator=(Value&&) noexcept = default;
  ~Value() = default;
  static Value Int(std::int32_t v);
  static Value Dbl(double v);
  static Value Bool(bool v);
  static Value Str(std::string v);
  static Value OleStr(std::string v);     // wide string, held here as Shift-JIS
  static Value Cur(std::int64_t scaled);  // Currency: value times 10000
  static Value DateVal(double days);
  static Value Null();
  static Value Small(std::int16_t v);
  static Value Sgl(float v);
  static Value ByteVal(std::uint8_t v);
  static Value ErrorVal(std::int32_t code);
  static Value Array(std::vector<Value> items = {});

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
  const std::string& str() const { return str_ ? *str_ : EmptyText(); }
  const std::vector<Value>& items() const { return items_ ? *items_ : NoItems(); }
  std::vector<Value>& items() {
    if (!items_) items_.reset(NewItems());
    return *items_;
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
  void Scalar(std::uint16_t type) {
    if (str_) str_.reset();
    if (items_) items_.reset();
    type_ = type;
    num_ = {};
  }

  std::uint16_t type_ = vtEmpty;
  union {
    std::int32_t i;
    double d;
    float f;
    std::int64_t cy;
    bool b;
    std::int16_t s;
    std::uint8_t by;
  } num_{};
  // Texts are shared between copies of a value; a text never changes.
  std::shared_ptr<const std::string> str_;
  static const std::string& EmptyText();
  static const std::vector<Value>& NoItems();
  // Held apart, so that the many scalar values stay small and cheap to copy
  // and to destroy. Small item lists are kept for reuse while an engine runs
  // on the thread (see ItemPoolUser), so the one-element arrays that every
  // RESULT and every operator on such a result make cost no allocation.
  struct ItemsDeleter {
    void operator()(std::vector<Value>* items) const noexcept;
  };
  static std::vector<Value>* NewItems();
  static std::vector<Value>* CopyItems(const std::vector<Value>& from);
  std::unique_ptr<std::vector<Value>, ItemsDeleter> items_;
};

// While one of these lives on a thread, emptied small item lists of values
// are kept for reuse there; when the last one ends, the kept lists are
// freed. An engine holds one for its lifetime.
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
bool ParseNumber(const std::string& text, double& out);

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

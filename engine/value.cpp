#include "engine/value.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "engine/failure.h"

namespace tam {

Value Value::NewText(std::uint16_t type, std::string_view bytes) {
  Value r;
  r.type_ = type;
  if (!bytes.empty()) {
    TextBlock* block = NewBlock(bytes.size());
    std::memcpy(block->Bytes(), bytes.data(), bytes.size());
    r.holds_ = true;
    r.num_.text = block;
  }
  return r;
}
Value Value::Str(std::string_view v) { return NewText(vtString, v); }
Value Value::PlainStr(std::string_view v) {
  Value r = NewText(vtString, v);
  if (r.num_.text) r.num_.text->plain = true;
  return r;
}

bool Value::CutText(std::size_t from, std::size_t len) {
  if (type_ != vtString || !num_.text || num_.text->refs != 1 || from > num_.text->size ||
      len > num_.text->size - from || len == 0)
    return false;
  char* bytes = num_.text->Bytes();
  if (from > 0) std::memmove(bytes, bytes + from, len);
  bytes[len] = '\0';
  num_.text->size = len;
  return true;
}

void Value::NotePlain() {
  if (type_ != vtString || !num_.text) return;
  const std::string_view s = str();
  for (char c : s)
    if (c == '\0' || static_cast<unsigned char>(c) >= 0x80) return;
  num_.text->plain = true;
}
Value Value::OleStr(std::string_view v) { return NewText(vtOleStr, v); }

Value Value::StrOfSize(std::size_t size, char*& bytes, bool plain) {
  TextBlock* block = NewBlock(size);
  block->plain = plain;
  bytes = block->Bytes();
  Value r;
  r.type_ = vtString;
  r.holds_ = true;
  r.num_.text = block;
  return r;
}

void Value::Share() {
  if (isArray()) {
    if (num_.items) num_.items = CopyItems(*num_.items);
  } else if (num_.text) {
    ++num_.text->refs;
  }
}

void Value::Release() noexcept {
  if (isArray()) {
    if (num_.items) DropItems(num_.items);
  } else if (num_.text && --num_.text->refs == 0) {
    DropBlock(num_.text);
  }
}

Value Value::Cur(std::int64_t scaled) {
  Value r;
  r.type_ = vtCurrency;
  r.num_.cy = scaled;
  return r;
}
Value Value::DateVal(double days) {
  Value r;
  r.type_ = vtDate;
  r.num_.d = days;
  return r;
}
Value Value::Null() {
  Value r;
  r.type_ = vtNull;
  return r;
}
Value Value::Small(std::int16_t v) {
  Value r;
  r.type_ = vtSmallInt;
  r.num_.s = v;
  return r;
}
Value Value::Sgl(float v) {
  Value r;
  r.type_ = vtSingle;
  r.num_.f = v;
  return r;
}
Value Value::ByteVal(std::uint8_t v) {
  Value r;
  r.type_ = vtByte;
  r.num_.by = v;
  return r;
}
Value Value::ErrorVal(std::int32_t code) {
  Value r;
  r.type_ = vtError;
  r.num_.i = code;
  return r;
}
Value Value::Array(std::vector<Value> items) {
  Value r;
  r.type_ = vtArray;
  r.holds_ = true;
  r.num_.items = items.empty() ? NewItems() : new std::vector<Value>(std::move(items));
  return r;
}

namespace {
// The kept item lists of this thread; plain data, so that a thread that ends
// without an engine leaves nothing to run.
constexpr int kKeptLists = 64;
constexpr std::size_t kKeptCapacity = 4;
thread_local std::vector<Value>* g_kept[kKeptLists];
thread_local int g_keptCount = 0;
thread_local int g_poolUsers = 0;

// The kept text blocks of this thread, by the size class of the whole block
// (header, bytes and the closing 0): 32, 64, 128 and 256 bytes. A block of
// a class is always made at the full size of its class, so that any kept
// block of the class fits a text of the class.
constexpr int kTextClasses = 4;
constexpr std::size_t kSmallestBlock = 32;
constexpr int kKeptTexts = 16;
thread_local void* g_keptTexts[kTextClasses][kKeptTexts];
thread_local int g_keptTextCount[kTextClasses];

// The class of a block of the given bytes, or -1 when it is kept by none.
inline int TextClass(std::size_t bytes) {
  static constexpr signed char kClassOf[] = {0, 1, 2, 2, 3, 3, 3, 3};  // by (bytes - 1) / 32
  static_assert(sizeof kClassOf == (kSmallestBlock << (kTextClasses - 1)) / kSmallestBlock);
  return bytes > kSmallestBlock << (kTextClasses - 1) ? -1 : kClassOf[(bytes - 1) / kSmallestBlock];
}
}  // namespace

ItemPoolUser::ItemPoolUser() { ++g_poolUsers; }

ItemPoolUser::~ItemPoolUser() {
  if (--g_poolUsers > 0) return;
  // Made on another thread than it ends on: this thread keeps nothing.
  g_poolUsers = 0;
  while (g_keptCount > 0) delete g_kept[--g_keptCount];
  for (int c = 0; c < kTextClasses; ++c)
    while (g_keptTextCount[c] > 0) ::operator delete(g_keptTexts[c][--g_keptTextCount[c]]);
}

Value::TextBlock* Value::NewBlock(std::size_t size) {
  if (size > std::numeric_limits<std::size_t>::max() - sizeof(TextBlock) - 1) throw std::bad_alloc();
  std::size_t bytes = sizeof(TextBlock) + size + 1;
  const int c = TextClass(bytes);
  TextBlock* block;
  if (c >= 0 && g_keptTextCount[c] > 0) {
    block = static_cast<TextBlock*>(g_keptTexts[c][--g_keptTextCount[c]]);
  } else {
    if (c >= 0) bytes = kSmallestBlock << c;
    block = static_cast<TextBlock*>(::operator new(bytes));
  }
  block->refs = 1;
  block->size = size;
  block->plain = false;
  block->Bytes()[size] = '\0';
  return block;
}
void Value::SetJoined(const Value& a, const Value& b) {
  // Both are Strings: their bytes are their text blocks' (none when empty).
  const TextBlock* x = a.num_.text;
  const TextBlock* y = b.num_.text;
  const std::size_t xs = x ? x->size : 0, ys = y ? y->size : 0;
  TextBlock* block = nullptr;
  if (xs + ys > 0) {
    block = NewBlock(xs + ys);
    block->plain = (!x || x->plain) && (!y || y->plain);
    if (xs > 0) std::memcpy(block->Bytes(), x->Bytes(), xs);
    if (ys > 0) std::memcpy(block->Bytes() + xs, y->Bytes(), ys);
  }
  // The old contents go once the bytes are copied: a or b may be this.
  if (Holding()) Release();
  type_ = vtString;
  holds_ = block != nullptr;
  num_.text = block;
}

void Value::DropBlock(TextBlock* block) noexcept {
  const int c = TextClass(sizeof(TextBlock) + block->size + 1);
  if (c >= 0 && g_poolUsers > 0 && g_keptTextCount[c] < kKeptTexts)
    g_keptTexts[c][g_keptTextCount[c]++] = block;
  else
    ::operator delete(block);
}

std::vector<Value>* Value::NewItems() {
  if (g_keptCount > 0) return g_kept[--g_keptCount];
  return new std::vector<Value>();
}

std::vector<Value>* Value::CopyItems(const std::vector<Value>& from) {
  if (from.size() <= kKeptCapacity && g_keptCount > 0) {
    std::vector<Value>* items = g_kept[--g_keptCount];
    items->assign(from.begin(), from.end());
    return items;
  }
  return new std::vector<Value>(from);
}

void Value::DropItems(std::vector<Value>* items) noexcept {
  items->clear();
  if (g_poolUsers > 0 && g_keptCount < kKeptLists && items->capacity() <= kKeptCapacity)
    g_kept[g_keptCount++] = items;
  else
    delete items;
}

const std::vector<Value>& Value::NoItems() {
  static const std::vector<Value> none;
  return none;
}

std::vector<Value>& Value::Scratch() {
  thread_local std::vector<Value> scratch;
  scratch.clear();
  return scratch;
}

void Value::append(Value v) {
  if (isArray()) {
    items().push_back(std::move(v));
  } else if (type_ == vtEmpty) {
    // Moved in: a braced list would copy the value.
    std::vector<Value>* items = NewItems();
    items->push_back(std::move(v));
    type_ = vtArray;
    holds_ = true;
    num_.items = items;
  } else {
    Value first = std::move(*this);
    *this = Array({});
    items().reserve(2);
    items().push_back(std::move(first));
    items().push_back(std::move(v));
  }
}

const char* TypeName(int code) {
  switch (code & 0xFFF) {
    case 0:
      return "Empty";
    case 1:
      return "Null";
    case 2:
      return "SmallInt";
    case 3:
      return "Integer";
    case 4:
      return "Single";
    case 5:
      return "Double";
    case 6:
      return "Currency";
    case 7:
      return "Date";
    case 8:
      return "OleStr";
    case 9:
      return "Dispatch";
    case 10:
      return "Error";
    case 11:
      return "Boolean";
    case 12:
      return "Variant";
    case 17:
      return "Byte";
    case 256:
      return "String";
    default:
      return "Unknown";
  }
}

double CheckFloat(double r) {
  if (std::isnan(r)) throw InvalidOp("Invalid floating point operation");
  if (std::isinf(r)) throw EngineFault("Floating point overflow");
  return r;
}

std::string DisplayText(const Value& v) {
  if (v.isArray()) {
    std::string r = "(";
    for (std::size_t i = 0; i < v.items().size(); ++i) r += (i ? ", " : "") + DisplayText(v.items()[i]);
    return r + ")";
  }
  if (v.type() == vtNull) return "Null";
  try {
    return ToText(v);
  } catch (const VariantError&) {
    return "?";
  }
}

}  // namespace tam

#include "engine/variables.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "engine/sjis.h"

namespace tam {

namespace {
// Sets of up to this many entries find names by walking them.
constexpr int kWalked = 8;

// Whether two names are the same upper-cased, without building either.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  bool leadA = false, leadB = false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (!leadA && x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (!leadB && y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
    leadA = !leadA && IsLeadByte(static_cast<unsigned char>(a[i]));
    leadB = !leadB && IsLeadByte(static_cast<unsigned char>(b[i]));
  }
  return true;
}

template <class Word>
Word Read(const char* p) {
  Word w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

// The word of a piece of one to eight bytes of a name.
std::uint64_t PieceWord(const char* p, std::size_t n) {
  if (n == 8) return Read<std::uint64_t>(p);
  if (n >= 4) return Read<std::uint32_t>(p) | std::uint64_t{Read<std::uint32_t>(p + n - 4)} << 32;
  if (n >= 2) return Read<std::uint16_t>(p) | std::uint64_t{Read<std::uint16_t>(p + n - 2)} << 16;
  return static_cast<unsigned char>(*p);
}

// Whether an entry's name is upper, already upper-cased.
bool SameUpper(std::string_view name, std::string_view upper) {
  if (name.size() != upper.size()) return false;
  // The same bytes, compared a word at a time; else the same letters.
  const char *a = name.data(), *b = upper.data();
  std::size_t n = name.size();
  for (; n > 8; a += 8, b += 8, n -= 8)
    if (Read<std::uint64_t>(a) != Read<std::uint64_t>(b)) return SameName(name, upper);
  return (n == 0 || PieceWord(a, n) == PieceWord(b, n)) || SameName(name, upper);
}

// Hash of a name taken eight bytes at a time.
class NameHasher {
 public:
  explicit NameHasher(std::size_t size) : h_(size) {}
  void Add(std::uint64_t w) {
    h_ = (h_ ^ w) * 0x9E3779B97F4A7C15ull;
    h_ ^= h_ >> 32;
  }
  // The table takes the low bits: every byte reaches them.
  std::uint32_t Result() const {
    const std::uint64_t h = h_ * 0xFF51AFD7ED558CCDull;
    return static_cast<std::uint32_t>(h ^ (h >> 32));
  }

 private:
  std::uint64_t h_;
};

// Hash of a name upper-cased (fold) or of a name that already is: the same
// for both forms of one name.
template <bool fold>
std::uint32_t NameHash(std::string_view name) {
  NameHasher hasher(name.size());
  const char* p = name.data();
  std::size_t n = name.size();
  if (!fold) {
    for (; n >= 8; p += 8, n -= 8) hasher.Add(Read<std::uint64_t>(p));
    if (n > 0) hasher.Add(PieceWord(p, n));
    return hasher.Result();
  }
  bool lead = false;
  while (n > 0) {
    char piece[8];
    const std::size_t m = n < 8 ? n : 8;
    for (std::size_t j = 0; j < m; ++j) {
      unsigned char c = static_cast<unsigned char>(p[j]);
      const bool trail = lead;
      lead = !lead && IsLeadByte(c);
      if (!trail && c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
      piece[j] = static_cast<char>(c);
    }
    hasher.Add(PieceWord(piece, m));
    p += m;
    n -= m;
  }
  return hasher.Result();
}

std::atomic<std::uint64_t> g_nextLayout{1};

std::uint64_t NewLayout() { return g_nextLayout.fetch_add(1, std::memory_order_relaxed); }
}  // namespace

std::uint64_t ReserveLayouts(std::size_t n) { return g_nextLayout.fetch_add(n, std::memory_order_relaxed); }

TVariableSet::TVariableSet() : layout_(NewLayout()) {}

int TVariableSet::Position(const std::string& name, VarSlot& slot) const {
  // Entries are only ever appended between layout changes, so a position
  // taken in this layout still holds the same entry.
  if (slot.layout == layout_ && slot.index < shared_) return slot.index;
  const int at = Position(name);
  if (at >= 0) {
    slot.layout = layout_;
    slot.index = at;
  }
  return at;
}

int TVariableSet::Position(const std::string& name) const {
  const std::size_t n = name.size();
  const std::size_t slot = (n + (n ? static_cast<unsigned char>(name[n - 1]) : 0) +
                            (n > 1 ? 3 * static_cast<unsigned char>(name[n - 2]) : 0)) %
                           (sizeof recent_ / sizeof recent_[0]);
  Recent& r = recent_[slot];
  if (r.index >= 0 && r.name == name) return r.index;
  const int at = Search(name);
  if (at < 0) return -1;
  r.name = name;
  r.index = at;
  return at;
}

int TVariableSet::Search(std::string_view name, bool upper, std::uint32_t* hash) const {
  if (!indexed_) {
    for (int i = 0; i < Count(); ++i)
      if (SameName(entries_[i]->Name, name)) return i;
    return -1;
  }
  const std::uint32_t h = upper ? NameHash<false>(name) : NameHash<true>(name);
  if (hash) *hash = h;
  const std::size_t mask = index_.size() - 1;
  for (std::size_t b = h & mask;; b = (b + 1) & mask) {
    const Bucket& k = index_[b];
    if (k.at < 0) return -1;
    if (k.hash != h) continue;
    const std::string& entry = entries_[k.at]->Name;
    if (upper ? SameUpper(entry, name) : SameName(entry, name)) return k.at;
  }
}

void TVariableSet::Index() {
  indexed_ = true;
  std::size_t buckets = 32;
  while (buckets < 2 * entries_.size()) buckets *= 2;
  index_.assign(buckets, Bucket());
  for (int i = 0; i < Count(); ++i) Insert(NameHash<true>(entries_[i]->Name), i);
}

void TVariableSet::Insert(std::uint32_t h, int at) {
  if (2 * static_cast<std::size_t>(Count()) > index_.size()) {
    // Twice the buckets, the hashes kept: no name is hashed again.
    std::vector<Bucket> old(2 * index_.size());
    old.swap(index_);
    const std::size_t mask = index_.size() - 1;
    for (const Bucket& k : old) {
      if (k.at < 0) continue;
      std::size_t b = k.hash & mask;
      while (index_[b].at >= 0) b = (b + 1) & mask;
      index_[b] = k;
    }
  }
  const std::size_t mask = index_.size() - 1;
  std::size_t b = h & mask;
  while (index_[b].at >= 0) b = (b + 1) & mask;
  index_[b] = Bucket{h, at};
}

void TVariableSet::Unindex(int at) {
  const std::size_t mask = index_.size() - 1;
  std::size_t b = NameHash<true>(entries_[at]->Name) & mask;
  while (index_[b].at != at) b = (b + 1) & mask;
  // Later buckets of the same run move back into the hole when their own
  // place lies at or before it, so that every probe still reaches them.
  for (std::size_t next = (b + 1) & mask; index_[next].at >= 0; next = (next + 1) & mask) {
    const std::size_t home = index_[next].hash & mask;
    if (((next - home) & mask) >= ((next - b) & mask)) {
      index_[b] = index_[next];
      b = next;
    }
  }
  index_[b] = Bucket();
  if (at + 1 == Count()) return;
  // Only the entries behind the deleted one move; the last moves none, so
  // that emptying a set from the back stays linear in its size.
  for (Bucket& k : index_)
    if (k.at > at) --k.at;
}

void TVariableSet::Forget() {
  for (Recent& r : recent_) r.index = -1;
  layout_ = NewLayout();
  shared_ = kAllShared;
}

void TVariableSet::ShareLayout(std::uint64_t layout) {
  layout_ = layout;
  shared_ = Count();
}

bool TVariableSet::IndexOf(const std::string& name, int& index) const {
  const int at = Position(name);
  index = at < 0 ? 0 : at;
  return at >= 0;
}

bool TVariableSet::Exists(const std::string& name) const { return Position(name) >= 0; }

const Value* TVariableSet::Find(const std::string& name) const {
  const int at = Position(name);
  return at < 0 ? nullptr : &entries_[at]->Value_;
}

bool TVariableSet::IsReadOnly(const std::string& name) const {
  const int at = Position(name);
  return at >= 0 && entries_[at]->ReadOnly;
}

const Value* TVariableSet::FindAfresh(const std::string& name, VarSlot& slot) const {
  const int at = Position(name, slot);
  return at < 0 ? nullptr : &entries_[at]->Value_;
}

Value TVariableSet::GetValue(const std::string& name) const {
  const Value* v = Find(name);
  return v ? *v : Value::Int(0);
}

Value TVariableSet::GetValueAt(int index) const {
  if (index < 0 || index >= Count()) return Value::Int(0);
  return entries_[index]->Value_;
}

std::string TVariableSet::GetName(int index) const {
  if (index < 0 || index >= Count()) return std::string();
  return entries_[index]->Name;
}

int TVariableSet::GetVarType(int index) const {
  if (index < 0 || index >= Count()) return vtUnknown;
  return entries_[index]->Value_.type();
}

std::string TVariableSet::GetTypeName(int index) const {
  if (index < 0 || index >= Count()) return "Unknown";
  return TypeName(entries_[index]->Value_.type());
}

void TVariableSet::SetValue(const std::string& name, const Value& value) {
  Value copy = value;
  if (OnBeforeSet) {
    bool handled = false;
    OnBeforeSet(*this, name, handled, copy);
    if (handled) return;
  }
  Store(name, std::move(copy), Position(name));
}

void TVariableSet::SetValue(const std::string& name, const std::string& upper, Value&& value) {
  if (OnBeforeSet) {
    bool handled = false;
    OnBeforeSet(*this, name, handled, value);
    if (handled) return;
  }
  Store(name, std::move(value), Search(upper, true), true, &upper);
}

void TVariableSet::SetValueAt(const std::string& name, Value&& value, VarSlot& slot) {
  if (OnBeforeSet) {
    bool handled = false;
    OnBeforeSet(*this, name, handled, value);
    if (handled) return;
  }
  Store(name, std::move(value), Position(name, slot));
}

// Writes the value at position at (-1: a new entry) after the before-set
// handler has seen it.
void TVariableSet::Bind(const std::string& name, const Value& value) {
  Store(name, Value(value), Position(name), false);
}

void TVariableSet::Store(const std::string& name, Value&& value, int at, bool notify, const std::string* upper) {
  if (at >= 0) {
    TVariantObject& e = *entries_[at];
    if (e.ReadOnly) {
      if (OnError) OnError(*this, e.Name + " is read-only.");
      return;
    }
    e.Value_ = std::move(value);
    if (OnChange && notify) OnChange(*this, name, e.Value_);
    return;
  }
  Append(std::string(name), std::move(value), indexed_ ? upper ? NameHash<false>(*upper) : NameHash<true>(name) : 0,
         notify);
}

void TVariableSet::Append(std::string&& name, Value&& value, std::uint32_t hash, bool notify) {
  TVariantObject* e = NewEntry();
  if (std::memchr(name.data(), '(', name.size())) ++elements_;
  e->Value_ = std::move(value);
  if (!OnChange || !notify) {
    e->Name = std::move(name);
  } else {
    // The handler sees a name apart from the entry's, which it may delete.
    e->Name = name;
  }
  entries_.push_back(e);
  if (indexed_)
    Insert(hash, Count() - 1);
  else if (Count() > kWalked)
    Index();
  if (OnChange && notify) OnChange(*this, name, entries_.back()->Value_);
}

void TVariableSet::SetElement(std::string_view upper, const std::string& base, Value&& value) {
  const auto name = [&] {
    // As long as the base upper-cased: its letters take their written case.
    std::string n(upper);
    std::copy(base.begin(), base.end(), n.begin());
    return n;
  };
  if (OnBeforeSet || OnChange) {
    SetValue(name(), std::string(upper), std::move(value));
    return;
  }
  std::uint32_t hash = 0;
  const int at = Search(upper, true, &hash);
  if (at < 0) {
    Append(name(), std::move(value), hash, true);
  } else if (!entries_[at]->ReadOnly) {
    entries_[at]->Value_ = std::move(value);
  } else {
    Store(name(), std::move(value), at);
  }
}

TVariantObject* TVariableSet::NewEntry() {
  if (!spare_.empty()) {
    TVariantObject* e = spare_.back();
    spare_.pop_back();
    return e;
  }
  if (blocks_.empty() || blockUsed_ == BlockSize(blocks_.size() - 1)) {
    blocks_.push_back(std::make_unique<TVariantObject[]>(BlockSize(blocks_.size())));
    blockUsed_ = 0;
  }
  return &blocks_.back()[blockUsed_++];
}

void TVariableSet::Release(TVariantObject& e) {
  e.Value_ = Value();
  e.ReadOnly = false;
  spare_.push_back(&e);
}

void TVariableSet::SetReadOnly(const std::string& name, bool flag) { MarkReadOnly(name, flag, Position(name)); }

void TVariableSet::SetReadOnly(const std::string& name, bool flag, VarSlot& slot) {
  MarkReadOnly(name, flag, Position(name, slot));
}

void TVariableSet::SetLockedAt(const std::string& name, Value&& value, VarSlot& slot) {
  const int at = OnBeforeSet || OnChange ? -1 : Position(name, slot);
  if (at < 0) {
    // The callbacks see the flag cleared, and may change the set; a missing
    // name is an error and then a new entry.
    SetReadOnly(name, false, slot);
    SetValue(name, std::move(value), slot);
    SetReadOnly(name, true, slot);
    return;
  }
  TVariantObject& e = *entries_[at];
  e.Value_ = std::move(value);
  e.ReadOnly = true;
}

void TVariableSet::MarkReadOnly(const std::string& name, bool flag, int at) {
  if (at < 0) {
    if (OnError) OnError(*this, name + " is not exist.");
    return;
  }
  entries_[at]->ReadOnly = flag;
}

void TVariableSet::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  Forget();
  if (indexed_) Unindex(index);
  if (entries_[index]->Name.find('(') != std::string::npos) --elements_;
  Release(*entries_[index]);
  entries_.erase(entries_.begin() + index);
}

void TVariableSet::Clear() {
  Forget();
  std::vector<Bucket>().swap(index_);
  indexed_ = false;
  elements_ = 0;
  while (!entries_.empty()) {
    entries_.back()->Value_ = Value();
    entries_.pop_back();
  }
  // Every entry is gone: their memory goes too.
  spare_.clear();
  blocks_.clear();
  blockUsed_ = 0;
}

void TVariableSet::Recycle() {
  Forget();
  if (indexed_) index_.clear();
  indexed_ = false;
  Drop(0);
}

bool TVariableSet::ReuseGrown(std::uint64_t layout, int count) {
  if (layout_ != layout || shared_ != count || Count() < count) return false;
  if (Count() == count) return true;
  for (Recent& r : recent_)
    if (r.index >= count) r.index = -1;
  if (indexed_) {
    index_.clear();
    indexed_ = false;
  }
  Drop(count);
  if (Count() > kWalked) Index();
  return true;
}

void TVariableSet::Drop(int from) {
  while (Count() > from) {
    TVariantObject& e = *entries_.back();
    if (e.Name.find('(') != std::string::npos) --elements_;
    Release(e);
    entries_.pop_back();
  }
}

}  // namespace tam

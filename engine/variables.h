// Named variables of a reply program: an ordered, case-insensitive set with
// read-only flags and before-set, change and error callbacks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/value.h"

namespace tam {

class TVariableSet;

struct TVariantObject {
  std::string Name;  // as first written, case kept
  Value Value_;
  bool ReadOnly = false;
};

using BeforeSetHandler =
    std::function<void(TVariableSet& sender, const std::string& name, bool& handled, Value& value)>;
using ChangeHandler = std::function<void(TVariableSet& sender, const std::string& name, const Value& value)>;
using SetErrorHandler = std::function<void(TVariableSet& sender, const std::string& message)>;

// Where a caller last found one name in a set, so that it can find the same
// name there again without comparing or hashing it. It holds for the set and
// the layout it was taken from; any other set, or the same set after a
// deletion, looks the name up afresh.
// A block of n layout identities no set takes for its own.
std::uint64_t ReserveLayouts(std::size_t n);

struct VarSlot {
  std::uint64_t layout = 0;
  int index = -1;
};

class TVariableSet {
 public:
  TVariableSet();
  TVariableSet(const TVariableSet&) = delete;
  TVariableSet& operator=(const TVariableSet&) = delete;

  int Count() const { return static_cast<int>(entries_.size()); }
  bool IndexOf(const std::string& name, int& index) const;
  bool Exists(const std::string& name) const;
  Value GetValue(const std::string& name) const;
  // Like GetValue, without a copy; nullptr for an unknown name.
  const Value* Find(const std::string& name) const;
  // Find of a name already upper-cased, such as an element name built from
  // an upper-cased base, without the cache of recent names.
  const Value* FindUpper(std::string_view upper) const {
    const int at = Search(upper, true);
    return at < 0 ? nullptr : &entries_[at]->Value_;
  }
  // False when no name in the set has a "(": no element name can be found.
  bool HasElements() const { return elements_ > 0; }
  // The same through a remembered position of the name.
  const Value* Find(const std::string& name, VarSlot& slot) const {
    // Entries are only ever appended between layout changes, so a position
    // taken in this layout still holds the same entry.
    if (slot.layout == layout_ && slot.index < shared_) return &entries_[slot.index]->Value_;
    return FindAfresh(name, slot);
  }
  Value GetValueAt(int index) const;
  std::string GetName(int index) const;
  int GetVarType(int index) const;
  std::string GetTypeName(int index) const;
  void SetValue(const std::string& name, const Value& value);
  void SetValue(const std::string& name, Value&& value, VarSlot& slot) {
    // The usual assignment: no callback, the name where it was found before.
    if (Value* dest = StoreSlot(slot)) {
      *dest = std::move(value);
      return;
    }
    SetValueAt(name, std::move(value), slot);
  }
  // Where the usual assignment stores, for a caller that puts the value
  // there itself: the value of the entry at a still-valid slot when no
  // callback is set and the entry is writable; nullptr otherwise.
  Value* StoreSlot(const VarSlot& slot) {
    if (OnBeforeSet || OnChange || slot.layout != layout_ || slot.index >= shared_) return nullptr;
    TVariantObject& e = *entries_[slot.index];
    return e.ReadOnly ? nullptr : &e.Value_;
  }
  // Where a loop's next pass may put its variable's value itself, as
  // SetLocked would, value and read-only flag: the entry at a still-valid
  // slot when no callback is set; nullptr otherwise.
  TVariantObject* LoopEntry(const VarSlot& slot) {
    if (OnBeforeSet || OnChange || slot.layout != layout_ || slot.index >= shared_) return nullptr;
    return entries_[slot.index];
  }
  // SetValue of a name whose upper-cased form the caller has (an element
  // name built from its upper-cased base).
  void SetValue(const std::string& name, const std::string& upper, Value&& value);
  // The same for an element name given upper-cased only: its name as written
  // is base followed by the indexes of upper (which have no letters), and is
  // built only for a callback or a new entry.
  void SetElement(std::string_view upper, const std::string& base, Value&& value);
  void SetReadOnly(const std::string& name, bool flag);
  void SetReadOnly(const std::string& name, bool flag, VarSlot& slot);
  // Gives a read-only variable, such as a FOR loop's, its next value: the
  // same as clearing its flag, SetValue and setting the flag again, in one
  // lookup when no callback is set.
  void SetLocked(const std::string& name, Value&& value, VarSlot& slot) {
    if (!OnBeforeSet && !OnChange && slot.layout == layout_ && slot.index < shared_) {
      TVariantObject& e = *entries_[slot.index];
      e.Value_ = std::move(value);
      e.ReadOnly = true;
      return;
    }
    SetLockedAt(name, std::move(value), slot);
  }
  bool IsReadOnly(const std::string& name) const;
  void Delete(int index);
  void Clear();  // deletes every entry, last first
  // Empties the set for another use, without callbacks, keeping the memory
  // of its entries for the names stored next.
  void Recycle();
  // Stores a value without the before-set and change callbacks (the
  // parameters of a call).
  void Bind(const std::string& name, const Value& value);
  // Declares that the entries bound so far have the names and order that
  // every set given the same layout has at that point, so that positions
  // remembered in one of them hold in the others; later entries stay this
  // set's own. A call's locals share the layout of their function.
  void ShareLayout(std::uint64_t layout);
  // Empties the set for another call of the function whose layout it holds
  // with count entries shared: those entries stay, their names and positions
  // as the layout says, and only the later ones are recycled. False when the
  // set holds another layout (it is left as it was); true leaves the kept
  // entries to be given their values by BindAt.
  bool Reuse(std::uint64_t layout, int count) {
    if (Holds(layout, count)) return true;
    return ReuseGrown(layout, count);
  }
  // True when the set holds the layout with count entries, all shared:
  // Reuse keeps them all as they stand.
  bool Holds(std::uint64_t layout, int count) const {
    return layout_ == layout && shared_ == count && Count() == count;
  }
  // Gives a kept entry its value without callbacks and clears its read-only
  // flag (a parameter of the call). Given a value it may change, the two
  // trade places: the caller's ends with the entry's old one, to drop.
  void BindAt(int index, Value& value) {
    TVariantObject& e = *entries_[index];
    e.Value_.swap(value);
    e.ReadOnly = false;
  }
  void BindAt(int index, Value&& value) {
    TVariantObject& e = *entries_[index];
    e.Value_ = std::move(value);
    e.ReadOnly = false;
  }

  BeforeSetHandler OnBeforeSet;
  ChangeHandler OnChange;
  SetErrorHandler OnError;

 private:
  // Position of name, or -1. Remembers the positions of recently used names
  // as written, so that a loop does not upper-case and hash the same few
  // names on every pass; Delete forgets them all, since positions move.
  int Position(const std::string& name) const;
  int Position(const std::string& name, VarSlot& slot) const;
  const Value* FindAfresh(const std::string& name, VarSlot& slot) const;
  void Forget();
  // Reuse of a set that holds more than the shared entries, or another layout.
  bool ReuseGrown(std::uint64_t layout, int count);
  // Moves the entries from position `from` on to the spare ones, emptied.
  void Drop(int from);
  // hash: set to the hash of the upper-cased name when the set is indexed.
  int Search(std::string_view name, bool upper = false, std::uint32_t* hash = nullptr) const;
  void Index();
  // Enters position at, whose upper-cased name has hash h, in the index.
  void Insert(std::uint32_t h, int at);
  // Takes position at out of the index; later positions move down by one.
  void Unindex(int at);
  void SetValueAt(const std::string& name, Value&& value, VarSlot& slot);
  void SetLockedAt(const std::string& name, Value&& value, VarSlot& slot);
  // upper: the name upper-cased, when the caller has it.
  void Store(const std::string& name, Value&& value, int at, bool notify = true, const std::string* upper = nullptr);
  // Stores a new entry; hash: its upper-cased name's, when the set is indexed.
  void Append(std::string&& name, Value&& value, std::uint32_t hash, bool notify);
  void MarkReadOnly(const std::string& name, bool flag, int at);

  // An entry for a new name: a spare one, else the next of the last block.
  TVariantObject* NewEntry();
  // Empties an entry that has left the set and keeps it for another name.
  void Release(TVariantObject& e);
  // Entries are allocated in blocks, 8 in the first and twice as many in
  // each next up to 1,024, and stay where they are until the set is cleared
  // or destroyed.
  static std::size_t BlockSize(std::size_t block) { return std::size_t{8} << (block < 7 ? block : 7); }

  std::vector<TVariantObject*> entries_;
  std::vector<TVariantObject*> spare_;  // emptied entries
  std::vector<std::unique_ptr<TVariantObject[]>> blocks_;
  std::size_t blockUsed_ = 0;  // entries taken from the last block
  // Upper-cased name -> position, built once the set outgrows a walk over
  // its few entries (the locals of a function call rarely do): an open table
  // of the names' hashes and positions, probed linearly, at most half full.
  struct Bucket {
    std::uint32_t hash = 0;
    int at = -1;  // -1: empty
  };
  std::vector<Bucket> index_;
  bool indexed_ = false;
  struct Recent {
    std::string name;  // as written
    int index = -1;
  };
  mutable Recent recent_[8];
  // Identifies the set and its positions: new for every set, renewed
  // whenever entries move (Delete, Clear).
  std::uint64_t layout_;
  // Positions below this hold in every set of the layout.
  int shared_ = kAllShared;
  static constexpr int kAllShared = 0x7FFFFFFF;
  int elements_ = 0;  // names with a "(" in them
};

}  // namespace tam

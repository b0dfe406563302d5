// Library functions found by name ahead of their calls: a call site of an
// expression remembers which callable its name reaches and calls it directly
// until the engine's handlers change.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/value.h"

namespace tam {

// The arguments of a call as a library function reads them: Empty for
// "()", Integer 0 for a bare word, otherwise a list. The list is either the
// items of an argument value or the engine's own list of the evaluated
// arguments, already spread as in an argument value (one argument's array
// spreads; of several, an array gives its first element).
class Args {
 public:
  Args(const Value& whole) : whole_(&whole) {}  // NOLINT: an argument value reads as it is
  // owned: bit i set when the caller gives up the i-th argument, a value of
  // its own that it drops after the call.
  Args(const Value* const* list, std::size_t n, unsigned owned = 0) : list_(list), n_(n), owned_(owned) {}

  bool isArray() const { return list_ || whole_->isArray(); }
  // The argument when it is no list.
  const Value& value() const { return *whole_; }
  // The arguments as one value, a list as an array.
  Value ToValue() const {
    if (whole_) return *whole_;
    std::vector<Value> items;
    items.reserve(n_);
    for (std::size_t i = 0; i < n_; ++i) items.push_back(*list_[i]);
    return Value::Array(std::move(items));
  }
  const Args& items() const { return *this; }
  std::size_t size() const { return list_ ? n_ : whole_->items().size(); }
  bool empty() const { return size() == 0; }
  const Value& operator[](std::size_t i) const { return list_ ? *list_[i] : whole_->items()[i]; }
  // The i-th argument when the caller gives it up, for the callee to take
  // its contents (Value::CutText); nullptr otherwise.
  Value* Owned(std::size_t i) const {
    return list_ && i < n_ && (owned_ >> i & 1) ? const_cast<Value*>(list_[i]) : nullptr;
  }

  class Iterator {
   public:
    Iterator(const Args& args, std::size_t i) : args_(&args), i_(i) {}
    const Value& operator*() const { return (*args_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator!=(const Iterator& o) const { return i_ != o.i_; }

   private:
    const Args* args_;
    std::size_t i_;
  };
  Iterator begin() const { return Iterator(*this, 0); }
  Iterator end() const { return Iterator(*this, size()); }

 private:
  const Value* whole_ = nullptr;
  const Value* const* list_ = nullptr;
  std::size_t n_ = 0;
  unsigned owned_ = 0;
};

// A function of a handler, ready to call: a plain function with what it
// works on (the handler's state, the function's own record). It must not
// run the engine or change its variables: the engine passes it the
// arguments where they stand.
struct DirectFunction {
  using Fn = bool (*)(const DirectFunction& self, const Args& args, Value& result);
  Fn call = nullptr;
  void* state = nullptr;
  const void* entry = nullptr;
  // Set when the function gives a lone result as the value itself: a result
  // that is neither Empty nor a list stands for the one-element list of it,
  // and the engine takes it so without building the list.
  bool lone = false;
  explicit operator bool() const { return call != nullptr; }
};

// A lone result given as the value itself (see DirectFunction::lone) made
// the one-element list of it, as every other caller takes a result.
inline void ListLoneResult(Value& result) {
  if (result.isEmpty() || result.isArray()) return;
  Value list;
  list.append(std::move(result));
  result = std::move(list);
}

// Tells which callable of a handler an upper-cased, trimmed name reaches, or
// an empty one when the handler does not have the name. Its answers must not
// change while its handler stays installed: the engine keeps them.
using FunctionResolver = std::function<DirectFunction(const std::string& upper)>;

// Where a call of one name goes, in the engine's lookup order: the handlers
// that must be asked by name on every call (they cannot tell ahead whether
// they have it), then EVALUATE or CITE, then the callable found ahead, else
// the built-in handler by name.
struct CallRoute {
  std::uint64_t generation = 0;  // the engine setup it was worked out for (0: none)
  DirectFunction target;
  enum Special : unsigned char { kNone, kEvaluate, kCite };
  Special special = kNone;
  bool askHandler = false;
  bool askExternals = false;
  bool askBuiltin = false;
  // Only the callable found ahead is called: no handler is asked by name
  // before it, nor EVALUATE or CITE taken.
  bool straight = false;
};

}  // namespace tam

// Library functions found by name ahead of their calls: a call site of an
// expression remembers which callable its name reaches and calls it directly
// until the engine's handlers change.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/value.h"

namespace tam {

// A function of a handler, ready to call: a plain function with what it
// works on (the handler's state, the function's own record).
struct DirectFunction {
  using Fn = bool (*)(const DirectFunction& self, const Value& args, Value& result);
  Fn call = nullptr;
  void* state = nullptr;
  const void* entry = nullptr;
  explicit operator bool() const { return call != nullptr; }
};

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
};

}  // namespace tam

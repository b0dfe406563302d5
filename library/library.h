// The built-in function library: one handler with the library calling
// convention, fed by one catalogue to which each family adds its names.
#pragma once

#include <string>
#include <unordered_map>

#include "engine/callable.h"
#include "engine/value.h"

namespace tam {

// One built-in function: the argument value as the engine built it (Empty for
// "()", Integer 0 for a bare word, else an array) and the result to append
// to, by shape::Put or Value::append. A lone value put there is kept as it
// is and stands for the one-element list of it (see DirectFunction::lone).
// Returns false when the call cannot be carried out.
using BuiltinFn = bool (*)(const Args& args, Value& result);

using Catalogue = std::unordered_map<std::string, BuiltinFn>;

// The handler: name as written (any case, blanks around), arguments, result,
// found. Returns success.
bool BuiltinFunction(const std::string& name, const Value& args, Value& result, bool& found);

// The handler's resolver: the function of an upper-cased name, to be called
// without looking the name up again.
DirectFunction ResolveBuiltin(const std::string& upper);

// The whole catalogue (upper-case names).
const Catalogue& BuiltinCatalogue();

// Each family adds its functions here; a family not yet built adds nothing.
void AddTypeFunctions(Catalogue& c);
void AddTextFunctions(Catalogue& c);
void AddNumberFunctions(Catalogue& c);
void AddDateFunctions(Catalogue& c);
void AddFileFunctions(Catalogue& c);

// Argument shapes shared by the families.
namespace shape {

// Appends one value to a result. The first value that is neither Empty nor a
// list is kept as it is, the lone result that stands for the list of it; a
// second value makes the list of both, as appending gives it.
inline void Put(Value& result, Value v) {
  if (result.isEmpty() && !v.isEmpty() && !v.isArray())
    result.swap(v);
  else
    result.append(std::move(v));
}

// element-wise: fn applied to each element of an array argument, or once to
// the value itself. fn returns false to fail the call (later elements are
// not processed).
template <class Fn>
bool ElementWise(const Args& args, Value& result, Fn fn) {
  if (args.isArray()) {
    for (const Value& a : args.items())
      if (!fn(a, result)) return false;
    return true;
  }
  return fn(args.value(), result);
}

// fixed-arity: the arguments as an array with at least k elements, or null.
inline const Args* Fixed(const Args& args, std::size_t k) {
  if (!args.isArray() || args.size() < k) return nullptr;
  return &args;
}

// repeating constant: once for a non-array, once per element of an array.
inline void Repeat(const Args& args, Value& result, const Value& v) {
  if (args.isArray()) {
    for (std::size_t i = 0; i < args.items().size(); ++i) result.append(v);
  } else {
    result.append(v);
  }
}

// Argument conversions; an array argument cannot be converted.
double Number(const Value& v);
std::int32_t IntegerOf(const Value& v);
// An Integer as it is, any other kind as IntegerOf converts it.
inline std::int32_t Integer(const Value& v) { return v.type() == vtInteger ? v.i() : IntegerOf(v); }
std::string Text(const Value& v);
bool Truth(const Value& v);

}  // namespace shape
}  // namespace tam

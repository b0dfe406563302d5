#include "engine/failure.h"
#include "engine/sjis.h"
#include "library/library.h"

namespace tam {

const Catalogue& BuiltinCatalogue() {
  static const Catalogue catalogue = [] {
    Catalogue c;
    AddTypeFunctions(c);
    AddTextFunctions(c);
    AddNumberFunctions(c);
    AddDateFunctions(c);
    AddFileFunctions(c);
    return c;
  }();
  return catalogue;
}

bool BuiltinFunction(const std::string& name, const Value& args, Value& result, bool& found) {
  result = Value();
  found = true;
  const Catalogue& c = BuiltinCatalogue();
  auto it = c.find(UpperCase(Trim(name)));
  if (it == c.end()) {
    found = false;
    return true;
  }
  // A lone value comes back as the list of it, as a call by name gives it.
  try {
    const bool ok = it->second(args, result);
    ListLoneResult(result);
    return ok;
  } catch (...) {
    ListLoneResult(result);
    throw;
  }
}

DirectFunction ResolveBuiltin(const std::string& upper) {
  const Catalogue& c = BuiltinCatalogue();
  auto it = c.find(upper);
  if (it == c.end()) return {};
  DirectFunction f;
  f.call = [](const DirectFunction& self, const Args& args, Value& result) {
    return (*static_cast<const BuiltinFn*>(self.entry))(args, result);
  };
  f.entry = &it->second;
  f.lone = true;
  return f;
}

namespace shape {

namespace {
void NoArray(const Value& v) {
  if (v.isArray()) throw VariantError("Invalid variant type conversion");
}
}  // namespace

double Number(const Value& v) {
  NoArray(v);
  return ToDouble(v);
}
std::int32_t IntegerOf(const Value& v) {
  NoArray(v);
  return ToInteger(v);
}
std::string Text(const Value& v) {
  NoArray(v);
  return ToText(v);
}
bool Truth(const Value& v) {
  NoArray(v);
  return ToBoolean(v);
}

}  // namespace shape
}  // namespace tam

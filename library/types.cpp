// The functions of no family: TRUE, FALSE, TYPECODEOF, TYPESTRINGOF.
#include "library/library.h"

namespace tam {

namespace {

bool True(const Args& args, Value& result) {
  shape::Repeat(args, result, Value::Bool(true));
  return true;
}

bool False(const Args& args, Value& result) {
  shape::Repeat(args, result, Value::Bool(false));
  return true;
}

bool TypeCodeOf(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Int(a.type()));
    return true;
  });
}

bool TypeStringOf(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) {
    r.append(Value::Str(TypeName(a.type())));
    return true;
  });
}

}  // namespace

void AddTypeFunctions(Catalogue& c) {
  c["TRUE"] = True;
  c["FALSE"] = False;
  c["TYPECODEOF"] = TypeCodeOf;
  c["TYPESTRINGOF"] = TypeStringOf;
}

}  // namespace tam

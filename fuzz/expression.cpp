// Single expressions: evaluated as an assignment's right side and as the
// argument of EVALUATE, over a few variables of every kind.
#include <cstdint>
#include <exception>

#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tam;
  if (size > 16 * 1024) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  TVariableSet set;
  set.SetValue("I", Value::Int(7));
  set.SetValue("D", Value::Dbl(-2.5));
  set.SetValue("C", Value::Cur(-123456789));
  set.SetValue("W", Value::DateVal(36526.75));
  set.SetValue("N", Value::Null());
  set.SetValue("G", Value::Sgl(1.5f));
  set.SetValue("S", Value::Str("ab\x82\xa0"
                               "c"));
  set.SetValue("B", Value::Bool(true));
  set.SetValue("T(1)", Value::Int(1));
  set.SetValue("T(2)", Value::Str("2"));
  TCalc calc;
  fuzz::Arm(calc, nullptr);
  calc.SetVariables(&set);
  try {
    Value v = calc.EvaluateStatement(text);
    ToText(v);
  } catch (const std::exception&) {
  }
  try {
    calc.Evaluate(text);
  } catch (const std::exception&) {
  }
  return 0;
}

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
  fuzz::ExpressionVariables(set);
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

// Failures that library code raises while values are converted or combined.
// The four failure categories are caught by the engine and turned into error
// texts; an EngineFault is none of them and passes out of Step/Run.
#pragma once

#include <stdexcept>
#include <string>

namespace tam {

struct ScriptFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// A text that is not a number where one is parsed.
struct ConvertError : ScriptFailure {
  using ScriptFailure::ScriptFailure;
};
// A failed coercion, or an operation the value kinds do not allow.
struct VariantError : ScriptFailure {
  using ScriptFailure::ScriptFailure;
};
// An invalid floating-point operation (0/0, logarithm of a negative number).
struct InvalidOp : ScriptFailure {
  using ScriptFailure::ScriptFailure;
};
// A list index out of range inside a library function.
struct StringListError : ScriptFailure {
  using ScriptFailure::ScriptFailure;
};

// Arithmetic faults outside the categories: division by zero, overflow, a
// zero base of ^, a loop condition that is no Boolean, a too deep program.
struct EngineFault : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Checks a floating-point result the way a trapping FPU would: an infinite
// result from finite operands is an overflow fault, NaN an invalid operation.
double CheckFloat(double r);

}  // namespace tam

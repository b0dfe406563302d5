// What the fuzz targets share: a function handler that keeps a fuzzed program
// away from the disk, the shell and the screen, and the bounds of one run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "engine/calc.h"
#include "engine/sjis.h"
#include "library/library.h"
#include "mail/mail_functions.h"
#include "mail/mail_state.h"

namespace tam::fuzz {

// Statements one input may execute, the user functions it calls included.
constexpr long long kStatementBudget = 4000;
// Passes of a loop without its own MAX.
constexpr int kMaxLoop = 8;

// Functions that touch files, folders, the environment, the random seed or
// the screen: answered as failed calls, so they never run.
inline bool HasSideEffects(const std::string& upper) {
  static const char* const kNames[] = {
      "CREATEDIR",        "CURRENTDIR", "CURRENTDIROFDRIVE", "DELETEFILE",     "DIRECTORIES",
      "DIRECTORYEXISTS",  "DRIVES",     "ENVIRONMENT",       "EXPANDFILENAME", "FILEATTRIBUTE",
      "FILEEXISTS",       "FILES",      "FILESETATTRIBUTE",  "FILESIZE",       "FILEUPDATEDDATETIME",
      "FORCEDIRECTORIES", "INPUTBOX",   "MESSAGEBOX",        "PARAMCOUNT",     "PARAMSTR",
      "REMOVEDIR",        "RENAMEFILE", "SELECTDIRECTORY",   "SETCURRENTDIR",  "SHELL",
      "RANDOMIZE"};
  for (const char* n : kNames)
    if (upper == n) return true;
  return false;
}

// Installed as the engine's function handler, in front of the built-in
// library: refuses the functions above, then offers the mail functions.
inline FunctionLibrary SafeFunctions(TMailState* mail) {
  return [mail](const std::string& name, const Value& args, Value& result, bool& found) {
    if (HasSideEffects(UpperCase(Trim(name)))) {
      found = true;
      result = Value();
      return false;
    }
    if (mail) return MailFunction(*mail, name, args, result, found);
    found = false;
    return true;
  };
}

// An engine with the safe functions and the built-in library, small loops and
// a statement budget.
inline void Arm(TCalc& calc, TMailState* mail) {
  calc.SetFunctionHandler(SafeFunctions(mail));
  calc.SetBuiltinHandler(BuiltinFunction, ResolveBuiltin);
  calc.SetMaxLoop(kMaxLoop);
  calc.SetStatementBudget(kStatementBudget);
}

// The variables the expression fuzzer evaluates over: one of every kind and
// two elements.
inline void ExpressionVariables(TVariableSet& set) {
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
}

// Reads a double from the first eight bytes of the input (fewer bytes give
// a small number), advancing data and size.
inline double TakeDouble(const std::uint8_t*& data, std::size_t& size) {
  double d = 0;
  if (size >= sizeof d) {
    __builtin_memcpy(&d, data, sizeof d);
    data += sizeof d;
    size -= sizeof d;
  } else if (size > 0) {
    d = static_cast<double>(static_cast<std::int8_t>(*data)) / 4;
    ++data;
    --size;
  }
  return d;
}

}  // namespace tam::fuzz

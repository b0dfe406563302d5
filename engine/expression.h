// The structure of an expression text: where it splits at operators and what
// kind of operand each piece is. Splitting depends only on the text, so the
// structure is worked out once per text and evaluated many times; what
// depends on run-time state (variables, functions) is decided at evaluation.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/callable.h"
#include "engine/operators.h"
#include "engine/value.h"
#include "engine/variables.h"

namespace tam {

struct Expr;

// One step of an expression in evaluation order: the operands of a call or
// operator come before it, so that the evaluation runs without recursion and
// can stop at a user function call and go on when the call returns.
struct Instr {
  // The evaluator's loop (RunSteps) has a case for every code and takes any
  // other as impossible: a new code needs its case there.
  enum Code : unsigned char {
    kLiteral,    // pushes the literal's value
    kBadString,  // raises the invalid string error, pushes the value
    kEmpty,      // pushes Empty
    kName,       // pushes the variable, else calls the name without arguments
    kCall,       // takes the arguments pushed, pushes the element or the result
    kBinary,     // takes the two operands pushed, pushes the result
    // Steps that do an operator's work without pushing its plain operands.
    // The first two come before the steps they stand for and skip them when
    // every variable is found; else those steps run (a name that is no
    // variable is a call).
    kNameLiteral,  // name op literal: the 3 steps after it
    kNameName,     // name op name: the 3 steps after it
    kTopName,      // the operand pushed op name: the 2 steps after it
    kTopLiteral,   // the operand pushed op the literal of the next step, which it skips
  };
  Code code;
  const Expr* e;
};

struct Expr {
  enum Kind {
    kBinary,     // left op right
    kParen,      // ( inner )
    kString,     // a string literal
    kBadString,  // a string literal with a lone inner quote
    kCall,       // name(arguments): an array element or a function call
    kEmpty,      // no text
    kNumber,     // a decimal number
    kName,       // a variable or a function called without arguments
  };
  Kind kind = kEmpty;
  std::string text;  // the whole (trimmed) text of an operand
  // A binary node's text is a piece of the compiled text, cut when an error
  // message needs it: a long chain of operators must not copy its text once
  // per operator.
  std::shared_ptr<const std::string> source;
  std::size_t textPos = 0, textLen = 0;
  std::string Text() const { return source ? source->substr(textPos, textLen) : text; }
  Op op = Op::kAdd;
  std::unique_ptr<Expr> left, right;  // kBinary; kParen uses left
  Value value;                        // kString, kBadString, kNumber
  std::string name;                   // kCall: the name before "("
  std::string upper;                  // kCall, kName: the called name upper-cased
  std::vector<std::unique_ptr<Expr>> args;
  // kName: where the name was last found among the variables.
  mutable VarSlot slot;
  // kCall, kName: the user function of that name in the program last
  // evaluated in (-1: none).
  mutable const void* resolvedIn = nullptr;
  mutable int userFunction = -1;
  // kCall, kName: where a call of the name goes when no user function has it.
  mutable CallRoute route;
  // The whole expression's steps, made on its first evaluation.
  mutable std::vector<Instr> code;
  // What the steps come to when they are one of the simplest kinds: a
  // literal, a name, or name op literal (set with the steps).
  enum Shape : unsigned char { kOtherShape, kLiteralShape, kNameShape, kNameLiteralShape };
  mutable Shape shape = kOtherShape;
};

// The steps of an expression, made once.
const std::vector<Instr>& MakeCode(const Expr& root);
inline const std::vector<Instr>& CodeOf(const Expr& root) { return root.code.empty() ? MakeCode(root) : root.code; }

// Works out the structure of a text. Throws NestingTooDeep when the text is
// nested beyond the stack budget.
std::unique_ptr<Expr> CompileExpression(const std::string& text);

// The argument texts of a call, compiled.
std::vector<std::unique_ptr<Expr>> CompileArguments(const std::string& argText);

}  // namespace tam

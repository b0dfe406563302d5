// A parsed reply program, shared by the engine that loaded it and the nested
// engines of its user function calls, with the structure of its expressions.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/expression.h"
#include "engine/statements.h"

namespace tam {

// An expression text of a statement, trimmed, with its structure.
struct StoredExpr {
  std::string trimmed;
  std::shared_ptr<const Expr> expr;
};

// An assignment target: when written as name(index, ...), the name and the
// compiled index texts; otherwise it names its variable as written.
struct ElementTarget {
  bool element = false;
  std::string base;
  std::string upperBase;
  std::vector<std::unique_ptr<Expr>> args;
};

// Where a line that only leads on (ELSE, ENDIF, a comment, the end of a
// function) leads when the run comes to it, through any such lines after it:
// lines is how many are passed over (0: the line does something), last the
// last of them.
struct FlowStep {
  int lines = 0;
  int last = 0;
  int to = 0;
};

struct Program {
  std::vector<std::string> lines;
  std::vector<TFrameInfo> frames;
  std::vector<FlowStep> flow;  // by line
  TStatementList statements;
  std::vector<TFunctionBlock*> functions;              // in order of appearance
  std::unordered_map<std::string, int> functionIndex;  // upper-cased name -> first position
  bool error = false;
  std::string errorText;

  // Expression structure by text, for the texts of this program.
  std::unordered_map<std::string, std::shared_ptr<const Expr>> expressions;
  // The same by the address of a text that the statements above own, with
  // the text trimmed: a statement's expression is found without hashing or
  // comparing its text again.
  std::unordered_map<const std::string*, StoredExpr> stored;
  // Assignment targets by the address of a target text the statements own.
  std::unordered_map<const std::string*, ElementTarget> targets;
};

// Splits and parses a program text; parse errors are recorded in the result.
std::shared_ptr<Program> ParseProgram(const std::string& text);

}  // namespace tam

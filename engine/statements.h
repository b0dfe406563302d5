// The parsed form of a reply program: one TFrameInfo per line and the block
// records that link loops, conditionals and functions by line index.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/variables.h"

namespace tam {

struct StoredExpr;

enum StatementKind : unsigned char {
  kDo = 0,
  kExitDo = 1,
  kLoop = 2,
  kFor = 3,
  kExitFor = 4,
  kNext = 5,
  kIf = 6,
  kElseIf = 7,
  kElse = 8,
  kEndIf = 9,
  kLet = 10,
  kFunction = 11,
  kResult = 12,
  kExitFunction = 13,
  kEndFunction = 14,
  kExitProgram = 15,
  kEnd = 16,
  kComment = 17,
  kUnparsed = 255,  // left without a record after a parse error
};

struct TFrameInfo {
  unsigned char Kind = kUnparsed;
  int Index = -1;
};

struct TStatement {
  virtual ~TStatement() = default;
};

struct TDoLoop : TStatement {
  int DoLine = 0;
  int LoopLine = 0;
  std::string DoCondition;
  std::string LoopCondition;
  std::string DoMax;
  std::string LoopMax;
};

struct TForLoop : TStatement {
  int ForLine = 0;
  int ForNextLine = 0;
  std::string Variable;
  std::string StartExpr;
  std::string StepExpr = "1";
  std::string EndExpr;
  std::string MaxExpr;
};

struct TIfBlock : TStatement {
  int NextBranch = 0;
  std::string Condition;
  bool NextIsBranch = false;                          // NextBranch is a further branch, not the line after ENDIF
  mutable const StoredExpr* ConditionForm = nullptr;  // compiled on first use
};

struct TLetStatement : TStatement {
  std::string Target;
  std::string Expression;
  std::vector<std::string> Targets;  // Target split at its commas
  // The first target has no "(": it names its variable as written.
  bool PlainTarget = false;
  // One target, plain: the statement's value goes to that variable alone.
  bool SingleTarget = false;
  // Where a plain target was last found among the variables.
  mutable VarSlot TargetSlot;
  mutable const StoredExpr* ExpressionForm = nullptr;  // compiled on first use
};

struct TFunctionBlock : TStatement {
  std::string Name;
  std::vector<std::string> Parameters;
  int FunctionLine = 0;
  int EndLine = 0;
  // Layouts shared by the locals of every call of the function that bound
  // the same number of parameters: base + that number (see ShareLayout).
  std::uint64_t LayoutBase = 0;
  // No two parameters have the same name: each one bound is an entry.
  bool DistinctParameters = true;
};

// The items of a RESULT line, split when the program loads, each with its
// compiled form once used.
struct TResultStatement : TStatement {
  std::vector<std::string> Items;
  mutable std::vector<const StoredExpr*> Forms;
};

using TStatementList = std::vector<std::unique_ptr<TStatement>>;

}  // namespace tam

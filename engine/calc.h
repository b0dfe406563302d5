// TCalc: the engine object that loads, parses and runs one reply program.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/statements.h"
#include "engine/value.h"
#include "engine/variables.h"

namespace tam {

// Library calling convention: (name as written, arguments, var result,
// var found) -> success. Arguments are Empty for "()", Integer 0 for a bare
// word, otherwise an array.
using FunctionLibrary = std::function<bool(const std::string& name, const Value& args, Value& result, bool& found)>;

class ExpressionCache;
class ExternalLibraries;

class TCalc {
 public:
  TCalc();
  ~TCalc();
  TCalc(const TCalc&) = delete;
  TCalc& operator=(const TCalc&) = delete;

  void SetVariables(TVariableSet* set);
  TVariableSet* Variables() const { return vars_; }
  void SetOnBeforeSet(BeforeSetHandler h);
  void SetOnChange(ChangeHandler h);
  void SetFunctionHandler(FunctionLibrary h) { functionHandler_ = std::move(h); }
  void SetMaxLoop(int n);
  int MaxLoop() const { return maxLoop_; }
  void SetExternalFolder(const std::string& path);
  const std::string& ExternalFolder() const { return externalFolder_; }

  void LoadProgram(const std::string& text);
  void Reset();
  void Step();
  void Run();
  void Stop();
  void Retry();
  void Skip();

  Value Evaluate(const std::string& text);
  Value EvaluateStatement(const std::string& text);
  bool CallFunction(const std::string& name, const Value& args, Value& result);
  // The variable name of a written reference such as T(I, J+1).
  std::string ElementName(const std::string& text);

  int CurrentLine() const { return currentLine_; }
  int NextLine() const { return nextLine_; }
  bool Error() const { return error_; }
  const std::string& ErrorText() const { return errorText_; }
  bool Finished() const { return finished_; }
  const Value& Result() const { return result_; }
  int LineCount() const { return static_cast<int>(lines_.size()); }
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::vector<TFrameInfo>& Frames() const { return frames_; }
  const TStatementList& Statements() const { return statements_; }
  const std::vector<TFunctionBlock*>& Functions() const { return functions_; }

  // Error state as the evaluator sets it. SetErrorOnce keeps an earlier text;
  // SetErrorReplace replaces it.
  void SetErrorOnce(const std::string& text);
  void SetErrorReplace(const std::string& text);

  // How deep user function calls may nest (each level is a whole engine).
  static constexpr int kMaxCallDepth = 200;

 private:
  friend class Evaluator;
  void Parse();
  void ExecuteOne();
  void ExecuteAssignment(const TLetStatement& let);
  bool LoopConditionTrue(const std::string& cond);
  bool CallUserFunction(const TFunctionBlock& fn, const std::string& name, const Value& args, Value& result);
  void InstallErrorHandler();

  std::vector<std::string> lines_;
  std::vector<TFrameInfo> frames_;
  TStatementList statements_;
  std::vector<TFunctionBlock*> functions_;              // in order of appearance, owned by statements_
  std::unordered_map<std::string, int> functionIndex_;  // upper-cased name -> first position
  std::string programText_;

  TVariableSet* vars_ = nullptr;
  BeforeSetHandler onBeforeSet_;
  ChangeHandler onChange_;
  FunctionLibrary functionHandler_;
  std::string externalFolder_;
  std::unique_ptr<ExternalLibraries> externals_;

  int currentLine_ = 0;
  int nextLine_ = 0;
  int maxLoop_ = 100;
  bool stepMode_ = false;
  bool error_ = false;
  bool finished_ = false;
  std::string errorText_;
  Value result_;

  int callDepth_ = 0;  // nesting of this engine below the outermost one
  std::shared_ptr<ExpressionCache> cache_;
};

}  // namespace tam

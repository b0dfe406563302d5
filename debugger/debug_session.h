// One debugging session over one mail and one reply program: the debug
// start, Run, Step and Reset, the states they pass through and what the main
// window and the variable and result windows show for them. The windows are
// thin: they pass their texts in and show what the session says.
#pragma once

#include <functional>
#include <string>

#include "debugger/change_log.h"
#include "debugger/debug_texts.h"
#include "mail/reply.h"

namespace tam {

enum class DebugState {
  kEditing,    // the mail and the program may be edited; Debug starts
  kDebugging,  // Run, Step and Reset; the editors are read-only
};

// Which of the main window's buttons are enabled.
struct DebugButtons {
  bool start = false, reset = false, run = false, step = false;
  bool stop = false;  // only while the engine runs
};

// How the variable window shows the variables.
enum class VariableForm {
  kRun,   // A = "abc"
  kStep,  // A = abc (String)
};

class TDebugSession {
 public:
  // Statements between two calls of the pump while the engine runs.
  static constexpr long long kPollEvery = 1000;

  explicit TDebugSession(TChangeLog& log);
  TDebugSession(const TDebugSession&) = delete;
  TDebugSession& operator=(const TDebugSession&) = delete;

  // Called between statements while the engine runs, so that the windows
  // stay alive and the user can ask for a stop.
  void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }
  // Called with true before the engine runs and with false after it.
  void SetBusy(BusyIndicator busy) { busy_ = std::move(busy); }

  // The debug start with the windows' texts. False when the program does not
  // load: its error text is the message, and the state stays editing.
  bool Start(const DebugTexts& texts);
  // Runs to the end, asking on each run-time error (platform message box).
  void Run();
  // Executes one statement.
  void Step();
  // Back to editing; the engine is prepared afresh at the next start.
  void Reset();
  // Asks the running engine to stop at the next statement.
  void RequestStop() { stopRequested_ = true; }

  DebugState State() const { return state_; }
  DebugButtons Buttons() const;
  bool EditorsReadOnly() const { return state_ == DebugState::kDebugging; }
  bool Running() const { return running_; }

  const std::string& CurrentLineLabel() const { return currentLabel_; }
  const std::string& NextLineLabel() const { return nextLabel_; }
  // The message area's text.
  const std::string& Message() const { return message_; }
  // The program line to select after a step (from 0), or -1: the caret goes
  // to the end of the text.
  int SelectedLine() const { return selectedLine_; }
  // True when the last action showed the program window's parse error.
  bool ShowProgram() const { return showProgram_; }
  // True when the last action filled the variable and result windows.
  bool ViewsFilled() const { return viewsFilled_; }

  // The variable window's text for the engine's variables now.
  std::string VariableText(VariableForm form) const;
  // The result window's text: the reply's header, an empty line unless the
  // header ends in one, and its body.
  std::string ResultText() const;
  // The form of the last Run (kRun) or Step (kStep).
  VariableForm LastForm() const { return lastForm_; }

  TReplySession& Engine() { return session_; }

 private:
  void Act(VariableForm form, const std::function<void(TCalc&)>& body);
  bool Ask(const std::string& line);
  void Finish();
  void Fault(const std::string& what);
  void Stopped();
  void AfterAction();
  void LogChange(const std::string& name, const Value& value);

  TChangeLog& log_;
  TReplySession session_;
  std::function<void()> pump_;
  BusyIndicator busy_;
  DebugState state_ = DebugState::kEditing;
  bool running_ = false;
  bool stopRequested_ = false;
  bool faulted_ = false;
  int programLines_ = 0;
  std::string currentLabel_ = "Current Line";
  std::string nextLabel_ = "Next Line";
  std::string message_;
  int selectedLine_ = -1;
  bool showProgram_ = false;
  bool viewsFilled_ = false;
  VariableForm lastForm_ = VariableForm::kRun;
};

}  // namespace tam

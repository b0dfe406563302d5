#include "debugger/debug_session.h"

#include <exception>
#include <new>

#include "engine/text_lines.h"

namespace tam {

TDebugSession::TDebugSession(TChangeLog& log) : log_(log) {
  session_.Calc.SetOnChange(
      [this](TVariableSet&, const std::string& name, const Value& value) { LogChange(name, value); });
  session_.Calc.SetVariables(&session_.Variables);
  session_.Calc.SetStatementPoll(kPollEvery, [this] {
    if (pump_) pump_();
    log_.Flush();
    return !stopRequested_;
  });
}

void TDebugSession::LogChange(const std::string& name, const Value& value) {
  try {
    log_.Add(TChangeLog::ChangeLine(name, value));
  } catch (const std::bad_alloc&) {
    // The log loses a line; the program goes on.
  }
}

DebugButtons TDebugSession::Buttons() const {
  DebugButtons b;
  if (running_) {
    b.stop = true;
  } else if (state_ == DebugState::kEditing) {
    b.start = true;
  } else {
    b.reset = true;
    b.run = b.step = !faulted_;
  }
  return b;
}

bool TDebugSession::Start(const DebugTexts& texts) {
  if (running_ || state_ != DebugState::kEditing) return false;
  log_.ClearFailure();
  log_.Separate();
  message_.clear();
  showProgram_ = viewsFilled_ = false;
  faulted_ = false;
  std::string error;
  try {
    programLines_ = static_cast<int>(SplitTextLines(texts.program).size());
    const ReplyAccount account{texts.accountTitle, texts.accountUser, texts.accountAddress, texts.accountName};
    error = session_.Prepare(SplitTextLines(texts.mail), texts.program, texts.option, account);
    if (error.empty()) {
      session_.Calc.Reset();
      DefinePredefinedVariables(session_.Variables, texts.option, account);
    }
  } catch (const std::bad_alloc&) {
    error = "Out of memory.";
  } catch (const std::exception& e) {
    error = e.what();
  }
  AfterAction();
  if (!error.empty()) {
    message_ = error;
    showProgram_ = true;
    return false;
  }
  state_ = DebugState::kDebugging;
  currentLabel_ = "Current Line";
  nextLabel_ = "Next Line = 1";
  return true;
}

bool TDebugSession::Ask(const std::string& line) {
  // The user asked for a stop while the engine ran: the budget ended it.
  if (stopRequested_) {
    Stopped();
    return false;
  }
  const std::string text = std::to_string(session_.Calc.CurrentLine() + 1) + line + "\r\n" + session_.Calc.ErrorText();
  const ErrorChoice choice = AskRunTimeError(text);
  if (busy_) busy_(true);
  switch (choice) {
    case ErrorChoice::kAbort:
      session_.Calc.Stop();
      break;
    case ErrorChoice::kRetry:
      session_.Calc.Retry();
      break;
    case ErrorChoice::kIgnore:
      session_.Calc.Skip();
      break;
  }
  if (busy_) busy_(false);
  return true;
}

// Runs one Run or Step action; a fault that passes out of the engine ends it.
void TDebugSession::Act(VariableForm form, const std::function<void(TCalc&)>& body) {
  if (running_ || state_ != DebugState::kDebugging || faulted_) return;
  running_ = true;
  stopRequested_ = false;
  showProgram_ = viewsFilled_ = false;
  lastForm_ = form;
  try {
    body(session_.Calc);
  } catch (const std::bad_alloc&) {
    Fault("Out of memory.");
  } catch (const std::exception& e) {
    Fault(e.what());
  } catch (...) {
    Fault("Unknown fault.");
  }
  running_ = false;
  AfterAction();
}

void TDebugSession::Run() {
  Act(VariableForm::kRun, [this](TCalc& calc) {
    while (!calc.Finished()) {
      if (busy_) busy_(true);
      calc.Run();
      if (busy_) busy_(false);
      while (calc.Error() && !calc.Finished())
        if (!Ask("行目でエラーです。")) break;
    }
    Finish();
  });
}

void TDebugSession::Step() {
  Act(VariableForm::kStep, [this](TCalc& calc) {
    if (busy_) busy_(true);
    calc.Step();
    if (busy_) busy_(false);
    currentLabel_ = "Current Line = " + std::to_string(calc.CurrentLine() + 1);
    nextLabel_ = "Next Line = " + std::to_string(calc.NextLine() + 1);
    selectedLine_ = calc.NextLine() >= 0 && calc.NextLine() < programLines_ ? calc.NextLine() : -1;
    while (calc.Error() && !calc.Finished())
      if (!Ask("行でエラーです。")) break;
    viewsFilled_ = true;
    if (calc.Finished()) Finish();
  });
}

void TDebugSession::Reset() {
  if (running_) return;
  state_ = DebugState::kEditing;
  faulted_ = false;
}

// The engine came to its end (or was stopped): the line count and "Next
// Line", and back to editing.
void TDebugSession::Finish() {
  viewsFilled_ = true;
  currentLabel_ = "Current Line = " + std::to_string(programLines_);
  nextLabel_ = "Next Line";
  state_ = DebugState::kEditing;
}

// The user's stop: the engine is finished as by Abort.
void TDebugSession::Stopped() {
  const int line = session_.Calc.CurrentLine() + 1;
  session_.Calc.Stop();
  message_ = std::to_string(line) + "行目で実行を中止しました。";
}

// A fault passed out of the engine: the action ends there; the windows show
// what the program did up to it, and Reset leads back to editing.
void TDebugSession::Fault(const std::string& what) {
  if (busy_) busy_(false);
  const int line = session_.Calc.CurrentLine() + 1;
  faulted_ = true;
  viewsFilled_ = true;
  currentLabel_ = "Current Line = " + std::to_string(line);
  nextLabel_ = "Next Line";
  message_ = std::to_string(line) + "行目で実行を続けられなくなりました。\r\n" + what;
}

void TDebugSession::AfterAction() {
  if (log_.Flush() || !log_.Failed()) return;
  log_.ClearFailure();
  if (!message_.empty()) message_ += "\r\n";
  message_ += "変更ログを書き込めません: " + log_.FileName();
}

std::string TDebugSession::VariableText(VariableForm form) const {
  const TVariableSet& vars = session_.Variables;
  std::vector<std::string> lines;
  lines.reserve(vars.Count());
  for (int i = 0; i < vars.Count(); ++i) {
    const std::string type = vars.GetTypeName(i);
    const Value value = vars.GetValueAt(i);
    if (form == VariableForm::kStep)
      lines.push_back(vars.GetName(i) + " = " + DisplayText(value) + " (" + type + ")");
    else if (type == "OleStr" || type == "String")
      lines.push_back(vars.GetName(i) + " = \"" + std::string(value.str()) + "\"");
    else
      lines.push_back(vars.GetName(i) + " = " + DisplayText(value));
  }
  return JoinTextLines(lines);
}

std::string TDebugSession::ResultText() const {
  const TMailState& mail = session_.Mail;
  std::vector<std::string> lines = mail.ReplyHeader;
  if (!lines.empty() && !lines.back().empty()) lines.emplace_back();
  lines.insert(lines.end(), mail.ReplyBody.begin(), mail.ReplyBody.end());
  return JoinTextLines(lines);
}

}  // namespace tam

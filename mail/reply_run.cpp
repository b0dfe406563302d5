#include <exception>
#include <new>
#include <utility>

#include "mail/reply.h"
#include "platform/platform.h"

namespace tam {

namespace {

// Message box flags of the platform.
constexpr unsigned kAbortRetryIgnore = 0x2, kIconWarning = 0x30, kDefaultSecond = 0x100, kTaskModal = 0x2000;

// Shows the busy state for one Run of the engine, however it ends.
class Busy {
 public:
  explicit Busy(const BusyIndicator& busy) : busy_(busy) {
    if (busy_) busy_(true);
  }
  ~Busy() {
    if (busy_) busy_(false);
  }

 private:
  const BusyIndicator& busy_;
};

}  // namespace

ErrorChoice AskByMessageBox(int lineNumber, const std::string& errorText) {
  return AskRunTimeError(std::to_string(lineNumber) + "行目でエラーです。\r\n" + errorText);
}

ErrorChoice AskRunTimeError(const std::string& text) {
  const int answer = platform().MessageBox(text, "プログラム実行時エラー",
                                           kAbortRetryIgnore | kIconWarning | kDefaultSecond | kTaskModal);
  switch (answer) {
    case mbRetry:
      return ErrorChoice::kRetry;
    case mbIgnore:
      return ErrorChoice::kIgnore;
    default:
      return ErrorChoice::kAbort;
  }
}

namespace {

// Runs the program until it finishes; a fault ends the run and is reported.
ReplyRunReport RunToEnd(TCalc& calc, const ErrorDecision& decide, const BusyIndicator& busy) {
  ReplyRunReport report;
  calc.Reset();
  try {
    while (!calc.Finished()) {
      {
        Busy shown(busy);
        calc.Run();
      }
      if (!calc.Error()) continue;
      const ErrorChoice choice = decide(calc.CurrentLine() + 1, calc.ErrorText());
      Busy shown(busy);  // Retry and Skip run on
      switch (choice) {
        case ErrorChoice::kAbort:
          calc.Stop();
          break;
        case ErrorChoice::kRetry:
          calc.Retry();
          break;
        case ErrorChoice::kIgnore:
          calc.Skip();
          break;
      }
    }
  } catch (const std::bad_alloc&) {
    report = {true, calc.CurrentLine() + 1, "Out of memory"};
  } catch (const std::exception& e) {
    report = {true, calc.CurrentLine() + 1, e.what()};
  } catch (...) {
    report = {true, calc.CurrentLine() + 1, "Unknown fault"};
  }
  return report;
}

}  // namespace

ReplyRunReport RunReplyInPlace(TCalc& calc, const ErrorDecision& decide, const BusyIndicator& busy) {
  return RunToEnd(calc, decide, busy);
}

ReplyRunReport RunReply(TCalc& calc, const TMailState& mail, LineList& header, LineList& body,
                        const ErrorDecision& decide, const BusyIndicator& busy) {
  header.clear();
  body.clear();
  ReplyRunReport report = RunToEnd(calc, decide, busy);
  // The reply built so far is kept, whatever ended the run.
  try {
    header = mail.ReplyHeader;
    body = mail.ReplyBody.Lines();
  } catch (const std::bad_alloc&) {
    header.clear();
    body.clear();
    report = {true, calc.CurrentLine() + 1, "Out of memory"};
  }
  return report;
}

ReplyRunReport RunReplyTakingLines(TCalc& calc, TMailState& mail, LineList& header, LineList& body,
                                   const ErrorDecision& decide, const BusyIndicator& busy) {
  header.clear();
  body.clear();
  ReplyRunReport report = RunToEnd(calc, decide, busy);
  // The header is moved, which needs no memory; the body's lines are made
  // from its store.
  header = std::move(mail.ReplyHeader);
  mail.ReplyHeader.clear();
  try {
    body = mail.ReplyBody.Lines();
  } catch (const std::bad_alloc&) {
    body.clear();
    report = {true, calc.CurrentLine() + 1, "Out of memory"};
  }
  mail.ReplyBody.Release();
  return report;
}

}  // namespace tam

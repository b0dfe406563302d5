// The debugging session: debug start, Step, Run and Reset with the states,
// labels and windows' texts they leave, run-time errors and faults, the
// stop of an endless run, and the change log they write.
#include "debugger/debug_session.h"

#include <gtest/gtest.h>

#include "../settings/temp_tree.h"
#include "platform/fixed_clock.h"

namespace tam {
namespace {

using Lines = std::vector<std::string>;

// A fixed clock in Japan whose message boxes record their text and take the
// next prepared answer (Abort when none is left).
class BoxPlatform : public FixedClockPlatform {
 public:
  BoxPlatform() : FixedClockPlatform(DefaultPlatform(), LocalTime{2026, 12, 6, 9, 5, 3, 0}) { SetPlatform(this); }
  ~BoxPlatform() override { SetPlatform(nullptr); }
  int TimeZoneBias() override { return -540; }
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    texts.push_back(text);
    captions.push_back(caption);
    this->flags = flags;
    return next < answers.size() ? answers[next++] : mbAbort;
  }
  Lines texts, captions;
  std::vector<int> answers;
  std::size_t next = 0;
  unsigned flags = 0;
};

const char kMail[] = "From: 送信者 <s@example.jp>\r\nSubject: 件名\r\n\r\n本文\r\n";

struct Fixture {
  test::TempTree tree;
  TChangeLog log{NativeFiles(), tree.Win("Vodrin.log")};
  TDebugSession session{log};
  BoxPlatform box;
  DebugTexts texts;

  Fixture() {
    log.Load();
    texts.mail = kMail;
    texts.accountTitle = "仕事";
    texts.accountUser = "taro";
    texts.accountAddress = "taro@example.jp";
    texts.accountName = "山田 太郎";
  }
  bool Start(const std::string& program) {
    texts.program = program;
    return session.Start(texts);
  }
  std::string Labels() const { return session.CurrentLineLabel() + " / " + session.NextLineLabel(); }
  std::string Log() const { return tree.Get("Vodrin.log"); }
};

std::string Buttons(const DebugButtons& b) {
  std::string s;
  if (b.start) s += "Debug ";
  if (b.reset) s += "Reset ";
  if (b.run) s += "Run ";
  if (b.step) s += "Step ";
  if (b.stop) s += "Stop ";
  return s;
}

TEST(DebugSession, StartAndStepThroughTheProgram) {
  Fixture f;
  EXPECT_EQ(Buttons(f.session.Buttons()), "Debug ");
  EXPECT_FALSE(f.session.EditorsReadOnly());
  ASSERT_TRUE(f.Start("A = 1\r\nPRINT(\"本文 \", A)\r\nB = \"abc\"\r\n"));
  EXPECT_EQ(f.session.State(), DebugState::kDebugging);
  EXPECT_EQ(Buttons(f.session.Buttons()), "Reset Run Step ");
  EXPECT_TRUE(f.session.EditorsReadOnly());
  EXPECT_EQ(f.Labels(), "Current Line / Next Line = 1");

  f.session.Step();
  EXPECT_EQ(f.Labels(), "Current Line = 1 / Next Line = 2");
  EXPECT_EQ(f.session.SelectedLine(), 1);
  EXPECT_TRUE(f.session.ViewsFilled());
  EXPECT_EQ(f.session.LastForm(), VariableForm::kStep);
  EXPECT_NE(f.session.VariableText(VariableForm::kStep).find("\r\nA = 1 (Integer)\r\n"), std::string::npos);
  f.session.Step();
  EXPECT_EQ(f.session.ResultText(),
            "To: 送信者 <s@example.jp>\r\nSubject: Re: 件名\r\nDate: Sun, 6 Dec 2026 09:05:03 +0900\r\n\r\n本文 1\r\n");
  // The last line: the labels show the line count, the state is editing again
  // and the caret goes to the end.
  f.session.Step();
  EXPECT_EQ(f.Labels(), "Current Line = 3 / Next Line");
  EXPECT_EQ(f.session.SelectedLine(), -1);
  EXPECT_EQ(f.session.State(), DebugState::kEditing);
  EXPECT_EQ(Buttons(f.session.Buttons()), "Debug ");
  // The variables after Run and after Step.
  const std::string run = f.session.VariableText(VariableForm::kRun);
  const std::string step = f.session.VariableText(VariableForm::kStep);
  EXPECT_NE(run.find("B = \"abc\"\r\n"), std::string::npos);
  EXPECT_NE(run.find("A = 1\r\n"), std::string::npos);
  EXPECT_NE(step.find("B = abc (String)\r\n"), std::string::npos);
  EXPECT_EQ(run.substr(0, run.find("\r\n")), "OptionCount = 0");

  // Reset from the middle of a program.
  ASSERT_TRUE(f.Start("A = 1\r\nB = 2\r\n"));
  f.session.Step();
  f.session.Reset();
  EXPECT_EQ(f.session.State(), DebugState::kEditing);
  EXPECT_EQ(Buttons(f.session.Buttons()), "Debug ");
}

TEST(DebugSession, ASyntaxErrorKeepsEditing) {
  Fixture f;
  EXPECT_FALSE(f.Start("IF A = 1\r\nB = 2\r\n"));
  EXPECT_FALSE(f.session.Message().empty());
  EXPECT_TRUE(f.session.ShowProgram());
  EXPECT_EQ(f.session.State(), DebugState::kEditing);
  EXPECT_EQ(Buttons(f.session.Buttons()), "Debug ");
  f.session.Run();  // refused: nothing is prepared
  EXPECT_FALSE(f.session.ViewsFilled());
  // The next start clears the message.
  EXPECT_TRUE(f.Start("A = 1\r\n"));
  EXPECT_EQ(f.session.Message(), "");
}

TEST(DebugSession, RunToTheEnd) {
  Fixture f;
  f.texts.option = "簡潔  丁寧";
  ASSERT_TRUE(f.Start("PRINT(AccountName)\r\nFOR I = 0 TO OptionCount - 1\r\nPRINT(Option(I))\r\nNEXT\r\n"));
  f.session.Run();
  EXPECT_EQ(f.session.State(), DebugState::kEditing);
  EXPECT_EQ(f.Labels(), "Current Line = 4 / Next Line");
  EXPECT_TRUE(f.session.ViewsFilled());
  EXPECT_EQ(f.session.LastForm(), VariableForm::kRun);
  EXPECT_EQ(
      f.session.VariableText(VariableForm::kRun),
      "Option(0) = \"簡潔\"\r\nOption(1) = \"丁寧\"\r\nOptionCount = 2\r\nAccountTitle = \"仕事\"\r\n"
      "AccountUser = \"taro\"\r\nAccountAddress = \"taro@example.jp\"\r\nAccountName = \"山田 太郎\"\r\nI = 1\r\n");
  const std::string result = f.session.ResultText();
  EXPECT_EQ(result.substr(result.find("\r\n\r\n")), "\r\n\r\n山田 太郎\r\n簡潔\r\n丁寧\r\n");
  EXPECT_TRUE(f.box.texts.empty());

  // A new full name reaches AccountName; the user name stays.
  f.texts.accountName = "山田 花子";
  ASSERT_TRUE(f.Start("A = AccountName\r\nB = AccountUser\r\n"));
  f.session.Run();
  const std::string vars = f.session.VariableText(VariableForm::kRun);
  EXPECT_NE(vars.find("A = \"山田 花子\""), std::string::npos);
  EXPECT_NE(vars.find("B = \"taro\""), std::string::npos);
}

TEST(DebugSession, ResultKeepsAnEmptyLastHeaderLine) {
  Fixture f;
  TMailState& mail = f.session.Engine().Mail;
  mail.ReplyHeader = {"To: a", ""};
  mail.ReplyBody = {"b"};
  EXPECT_EQ(f.session.ResultText(), "To: a\r\n\r\nb\r\n");
  mail.ReplyHeader = {"To: a"};
  EXPECT_EQ(f.session.ResultText(), "To: a\r\n\r\nb\r\n");
}

TEST(DebugSession, RunTimeErrorsAskTheUser) {
  Fixture f;
  const char program[] = "PRINT(\"one\")\r\nPRINT(\"two\")\r\nX = NOSUCH(1)\r\nPRINT(\"four\")\r\n";
  // Run: Retry asks again, Ignore goes on after the line.
  f.box.answers = {mbRetry, mbIgnore};
  ASSERT_TRUE(f.Start(program));
  f.session.Run();
  EXPECT_EQ(f.box.texts, (Lines{"3行目でエラーです。\r\nNo such function: NOSUCH",
                                "3行目でエラーです。\r\nNo such function: NOSUCH"}));
  EXPECT_EQ(f.box.captions[0], "プログラム実行時エラー");
  EXPECT_EQ(f.box.flags, 0x2u | 0x30u | 0x100u | 0x2000u);
  EXPECT_NE(f.session.ResultText().find("one\r\ntwo\r\nfour\r\n"), std::string::npos);
  EXPECT_EQ(f.session.State(), DebugState::kEditing);

  // Abort ends the run with the reply as it was.
  f.box.texts.clear();
  f.box.answers = {mbAbort};
  f.box.next = 0;
  ASSERT_TRUE(f.Start(program));
  f.session.Run();
  EXPECT_EQ(f.box.texts.size(), 1u);
  EXPECT_EQ(f.session.ResultText().find("four"), std::string::npos);
  EXPECT_EQ(f.Labels(), "Current Line = 4 / Next Line");

  // Step: its own text; the labels keep the failing step's lines; Ignore
  // executes the line after it.
  f.box.texts.clear();
  f.box.answers = {mbIgnore};
  f.box.next = 0;
  ASSERT_TRUE(f.Start(program));
  f.session.Step();
  f.session.Step();
  f.session.Step();
  EXPECT_EQ(f.box.texts, (Lines{"3行でエラーです。\r\nNo such function: NOSUCH"}));
  EXPECT_EQ(f.Labels(), "Current Line = 4 / Next Line");  // the Ignore reached the end
  EXPECT_NE(f.session.ResultText().find("two\r\nfour\r\n"), std::string::npos);
  EXPECT_EQ(f.session.State(), DebugState::kEditing);

  // Step with Abort finishes.
  f.box.texts.clear();
  f.box.answers = {mbAbort};
  f.box.next = 0;
  ASSERT_TRUE(f.Start("X = NOSUCH(1)\r\nPRINT(\"two\")\r\n"));
  f.session.Step();
  EXPECT_EQ(f.box.texts.size(), 1u);
  EXPECT_EQ(f.session.State(), DebugState::kEditing);
  EXPECT_EQ(f.Labels(), "Current Line = 2 / Next Line");
}

TEST(DebugSession, AFaultEndsTheActionAndResetWorks) {
  Fixture f;
  for (bool step : {false, true}) {
    ASSERT_TRUE(f.Start("A = 1\r\nB = A / 0\r\nC = 3\r\n"));
    if (step) {
      f.session.Step();
      f.session.Step();
    } else {
      f.session.Run();
    }
    EXPECT_EQ(f.session.Message().rfind("2行目で実行を続けられなくなりました。\r\n", 0), 0u) << f.session.Message();
    EXPECT_EQ(f.session.State(), DebugState::kDebugging);
    EXPECT_EQ(Buttons(f.session.Buttons()), "Reset ");
    EXPECT_TRUE(f.session.ViewsFilled());
    EXPECT_NE(f.session.VariableText(VariableForm::kRun).find("A = 1"), std::string::npos);
    f.session.Step();  // refused
    f.session.Reset();
    EXPECT_EQ(Buttons(f.session.Buttons()), "Debug ");
  }
  EXPECT_TRUE(f.box.texts.empty());
}

TEST(DebugSession, AnEndlessRunStopsWhenAsked) {
  Fixture f;
  int pumps = 0;
  bool stopEnabled = false;
  f.session.SetPump([&] {
    stopEnabled = f.session.Buttons().stop;
    if (++pumps == 5) f.session.RequestStop();
  });
  ASSERT_TRUE(
      f.Start("FUNCTION F()\r\nDO MAX 2000000000\r\nLOOP MAX 2000000000\r\nENDFUNCTION\r\nA = 1\r\nX = F()\r\n"));
  f.session.Run();
  EXPECT_EQ(pumps, 5);
  EXPECT_TRUE(stopEnabled);
  EXPECT_EQ(f.session.Message(), "6行目で実行を中止しました。");
  EXPECT_TRUE(f.box.texts.empty());
  EXPECT_EQ(f.session.State(), DebugState::kEditing);
  EXPECT_FALSE(f.session.Buttons().stop);
  // A Step into the same call stops as well.
  pumps = 0;
  ASSERT_TRUE(f.Start("X = F()\r\nFUNCTION F()\r\nDO MAX 2000000000\r\nLOOP MAX 2000000000\r\nENDFUNCTION\r\n"));
  f.session.Step();
  EXPECT_EQ(pumps, 5);
  EXPECT_EQ(f.session.State(), DebugState::kEditing);
}

TEST(DebugSession, ChangeLogOverTwoStartsAndARestart) {
  Fixture f;
  ASSERT_TRUE(f.Start("A = 1\r\nB = \"x\"\r\n"));
  f.session.Run();
  const std::string first = f.Log();
  EXPECT_NE(first.find("A=1\r\nB=\"x\"\r\n"), std::string::npos) << first;
  EXPECT_EQ(first.find("----"), std::string::npos);
  ASSERT_TRUE(f.Start("C = 2\r\n"));
  f.session.Step();
  const std::string second = f.Log();
  ASSERT_EQ(second.rfind(first, 0), 0u);  // appended, never shortened
  EXPECT_EQ(second.substr(first.size(), 34), std::string(TChangeLog::kSeparator) + "\r\n");
  EXPECT_NE(second.find("C=2\r\n", first.size()), std::string::npos);

  // A restart finds the log and goes on after a separator; a file that does
  // not end in a line break gets one first.
  f.tree.Put("Vodrin.log", second + "cut");
  TChangeLog again(NativeFiles(), f.tree.Win("Vodrin.log"));
  again.Load();
  TDebugSession later(again);
  f.texts.program = "D = 4\r\n";
  ASSERT_TRUE(later.Start(f.texts));
  later.Run();
  const std::string third = f.Log();
  EXPECT_EQ(third.substr(0, second.size() + 5 + 34), second + "cut\r\n" + TChangeLog::kSeparator + "\r\n");
  EXPECT_NE(third.find("D=4\r\n"), std::string::npos);
}

TEST(DebugSession, AnUnwritableLogDoesNotStopDebugging) {
  Fixture f;
  TChangeLog log(NativeFiles(), f.tree.Win("no/such/folder/Vodrin.log"));
  log.Load();
  TDebugSession session(log);
  f.texts.program = "FOR I = 1 TO 3\r\nNEXT\r\nA = 1\r\n";
  ASSERT_TRUE(session.Start(f.texts));
  EXPECT_NE(session.Message().find("変更ログを書き込めません"), std::string::npos);
  session.Run();
  EXPECT_EQ(session.State(), DebugState::kEditing);
  EXPECT_NE(session.VariableText(VariableForm::kRun).find("A = 1"), std::string::npos);
}

}  // namespace
}  // namespace tam

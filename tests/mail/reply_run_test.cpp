// The reply preparation and run around the engine: run-time error decisions,
// faults, the message box, and mails prepared one after the other.
#include <gtest/gtest.h>

#include "engine/text_lines.h"
#include "mail/mail_text.h"
#include "mail/reply.h"
#include "platform/fixed_clock.h"

namespace tam {
namespace {

using Lines = std::vector<std::string>;

// A fixed clock in Japan whose message boxes record their question and give
// a set answer.
class TestPlatform : public FixedClockPlatform {
 public:
  TestPlatform() : FixedClockPlatform(DefaultPlatform(), LocalTime{2026, 12, 6, 9, 5, 3, 0}) { SetPlatform(this); }
  ~TestPlatform() override { SetPlatform(nullptr); }
  int TimeZoneBias() override { return -540; }
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    texts.push_back(text);
    this->caption = caption;
    this->flags = flags;
    return answer;
  }
  Lines texts;
  std::string caption;
  unsigned flags = 0;
  int answer = mbIgnore;
};

struct ReplyFixture {
  TReplySession session;
  Lines header, body;
  std::vector<std::pair<int, std::string>> asked;
  ReplyRunReport report;

  std::string Go(const std::string& mail, const std::string& program, const std::vector<ErrorChoice>& answers,
                 const std::string& option = "") {
    const std::string error = session.Prepare(SplitTextLines(mail), program, option, ReplyAccount{});
    if (!error.empty()) return error;
    std::size_t next = 0;
    report = session.Run(header, body, [&](int line, const std::string& text) {
      asked.emplace_back(line, text);
      return next < answers.size() ? answers[next++] : ErrorChoice::kAbort;
    });
    return std::string();
  }
};

const char* const kFailsOnThird = "PRINT(\"one\")\r\nPRINT(\"two\")\r\nX = NOSUCH(1)\r\nPRINT(\"four\")\r\n";

TEST(ReplyRun, ErrorDecisions) {
  TestPlatform p;
  ReplyFixture ignore;
  ASSERT_EQ(ignore.Go("", kFailsOnThird, {ErrorChoice::kIgnore}), "");
  EXPECT_EQ(ignore.asked, (std::vector<std::pair<int, std::string>>{{3, "No such function: NOSUCH"}}));
  EXPECT_EQ(ignore.body, (Lines{"one", "two", "four"}));
  EXPECT_EQ(ignore.header, (Lines{"To: ", "Subject: Re: ", "Date: Sun, 6 Dec 2026 09:05:03 +0900"}));

  ReplyFixture abort;
  abort.Go("", kFailsOnThird, {ErrorChoice::kAbort});
  EXPECT_EQ(abort.body, (Lines{"one", "two"}));
  EXPECT_FALSE(abort.report.faulted);

  // Retry runs the failing line again: the first retry fails again and is
  // asked about again; after the variable exists the line passes.
  ReplyFixture retry;
  int calls = 0;
  retry.session.Prepare({}, "X = 1\r\nZ = Y + X\r\nPRINT(Z)\r\n", "", ReplyAccount{});
  retry.report = retry.session.Run(retry.header, retry.body, [&](int line, const std::string&) {
    EXPECT_EQ(line, 2);
    if (++calls == 2) retry.session.Variables.SetValue("Y", Value::Int(41));
    return ErrorChoice::kRetry;
  });
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(retry.body, (Lines{"42"}));
}

TEST(ReplyRun, MessageBoxQuestion) {
  TestPlatform p;
  p.answer = mbIgnore;
  EXPECT_EQ(AskByMessageBox(3, "AccountName is read-only."), ErrorChoice::kIgnore);
  EXPECT_EQ(p.texts, (Lines{"3行目でエラーです。\r\nAccountName is read-only."}));
  EXPECT_EQ(p.caption, "プログラム実行時エラー");
  EXPECT_EQ(p.flags, 0x2u | 0x30u | 0x100u | 0x2000u);  // abort/retry/ignore, warning, retry default, task-modal
  p.answer = mbRetry;
  EXPECT_EQ(AskByMessageBox(1, ""), ErrorChoice::kRetry);
  p.answer = mbAbort;
  EXPECT_EQ(AskByMessageBox(1, ""), ErrorChoice::kAbort);
  p.answer = 0;  // no box could be shown
  EXPECT_EQ(AskByMessageBox(1, ""), ErrorChoice::kAbort);
}

TEST(ReplyRun, FaultEndsTheRunAndKeepsTheReply) {
  TestPlatform p;
  ReplyFixture r;
  ASSERT_EQ(r.session.Prepare({}, "PRINT(\"kept\")\r\nX = 1 \\ 0\r\nPRINT(\"never\")\r\n", "", ReplyAccount{}), "");
  std::string busy;  // the busy state is shown while the engine runs and taken back after the fault
  r.report = r.session.Run(
      r.header, r.body, [](int, const std::string&) { return ErrorChoice::kAbort; },
      [&](bool on) { busy += on ? "+" : "-"; });
  EXPECT_EQ(busy, "+-");
  EXPECT_TRUE(r.report.faulted);
  EXPECT_EQ(r.report.faultLine, 2);
  EXPECT_FALSE(r.report.fault.empty());
  EXPECT_TRUE(r.asked.empty());
  EXPECT_EQ(r.body, (Lines{"kept"}));
  EXPECT_EQ(r.header.size(), 3u);
}

TEST(ReplyRun, ParseErrorIsReturnedAndNothingRuns) {
  TestPlatform p;
  ReplyFixture r;
  EXPECT_NE(r.Go("", "IF 1 = 1\r\nPRINT(\"x\")\r\n", {}), "");
  EXPECT_TRUE(r.body.empty());
}

TEST(ReplyRun, TwoMailsInARowShareNothing) {
  TestPlatform p;
  ReplyFixture r;
  const std::string first =
      "From: a@example.com\r\nSubject: first\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
      "Content-Type: text/html\r\n\r\n<p>\r\n--b\r\nContent-Type: application/pdf; name=a.pdf\r\n\r\nx\r\n--b--\r\n";
  ASSERT_EQ(r.Go(first, "V = 1\r\nAPPENDHEADER(\"X\", \"y\")\r\nPRINT(\"first\")\r\n", {}, "a b"), "");
  EXPECT_TRUE(r.session.Mail.HtmlPart);
  EXPECT_EQ(r.session.Mail.AttachedFiles, (Lines{"a.pdf"}));

  ASSERT_EQ(r.Go("Subject: second\r\n\r\nbody\r\n", "", {}), "");
  const TMailState& m = r.session.Mail;
  EXPECT_EQ(m.RefHeader, (Lines{"Subject: second"}));
  EXPECT_EQ(m.RefBody, (Lines{"body"}));
  EXPECT_TRUE(m.AttachedFiles.empty());
  EXPECT_FALSE(m.HtmlPart);
  EXPECT_EQ(r.header, (Lines{"To: ", "Subject: Re: second", "Date: Sun, 6 Dec 2026 09:05:03 +0900"}));
  EXPECT_TRUE(r.body.empty());
  TVariableSet& vars = r.session.Variables;
  EXPECT_FALSE(vars.Exists("V"));
  EXPECT_FALSE(vars.Exists("Option(0)"));
  EXPECT_EQ(vars.GetValue("OptionCount").i(), 0);
}

// Reply lines that hold line breaks of their own, empty lines and lines
// added after a QUOTE keep their bounds in the reply and in what the
// program reads back.
TEST(ReplyRun, BodyLinesKeepTheirBounds) {
  TestPlatform p;
  ReplyFixture r;
  ASSERT_EQ(r.Go("Subject: s\r\n\r\n\r\nx\r\n\r\n",
                 "PRINT(\"a\" & CHR(13) & CHR(10) & \"b\" & CHR(10))\r\nPRINT(\"\")\r\nQUOTE(\">\")\r\n"
                 "PRINT(GETBODYCOUNT, \"|\", GETBODY(0), \"|\", GETBODY(3), \"|\", GETMAXLINELENGTHB)\r\n"
                 "PRINT(REFGETBODYSTRING & GETBODYSTRING)\r\n",
                 {}),
            "");
  EXPECT_EQ(r.body, (Lines{"a\r\nb\n", "", ">x", ">", "4|a\r\nb\n|>|5",
                           "x\r\n\r\na\r\nb\n\r\n\r\n>x\r\n>\r\n4|a\r\nb\n|>|5\r\n"}));
  EXPECT_EQ(r.session.Mail.ReplyBody, r.body);
}

TEST(ReplyRun, FromTexts) {
  TestPlatform p;
  ReplyResult r = ComposeReplyFromText("From: a@example.com\r\nSubject: Hi\r\n\r\nline one\nline two\r",
                                       "PRINT(\"top\")\r\nQUOTE(\"> \")\r\nQUOTE(\"\")\r\nPRINT(GETBODY(4))", "",
                                       ReplyAccount{}, [](int, const std::string&) { return ErrorChoice::kAbort; });
  EXPECT_EQ(r.loadError, "");
  // Each QUOTE adds after what the reply already has.
  EXPECT_EQ(StoredReply(r.header, r.body),
            (Lines{"To: a@example.com", "Subject: Re: Hi", "Date: Sun, 6 Dec 2026 09:05:03 +0900", "", "top",
                   "> line one", "> line two", "line one", "line two", "line two"}));
}

}  // namespace
}  // namespace tam

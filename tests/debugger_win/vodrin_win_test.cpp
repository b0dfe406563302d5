// Vodrin.exe under the real window system: started with a debug bundle and
// driven through its windows' messages as a user would.
#include <gtest/gtest.h>

#include "debugger/win32/vodrin_ids.h"
#include "vodrin_driver.h"

namespace tam::test {
namespace {

using namespace tam::vodrin;

// Line breaks of any kind as "\n", for comparing what edit controls show.
std::string Lines(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

const char kMail[] =
    "From: 山田 花子 <hanako@example.jp>\n"
    "Subject: 会議の件\n"
    "\n"
    "お世話になっております。\n"
    "明日の会議は十時からです。\n";

const char kProgram[] =
    "名前 = AccountName\n"
    "PRINT(\"山田様\")\n"
    "FOR I = 1 TO 2\n"
    "  PRINT(I, \" 行目です。\")\n"
    "NEXT\n"
    "QUOTE(\"> \")\n";

const char kAccounts[] =
    "[AccountTitle]\n仕事\n[AccountUser]\ntaro\n[AccountAddress]\ntaro@example.jp\n"
    "[AccountName]\n山田 太郎\n";

std::string Bundle(const std::string& mail, const std::string& program, const char* option) {
  std::string b = "[Mail]\n" + mail + "[Program]\n" + program;
  if (option) b += std::string("[Option]\n") + option + "\n";
  return Crlf(b + kAccounts);
}

std::string Field(Vodrin& v, int k) { return TextOf(GetDlgItem(v.Form(kOptionFormClass), kOptionField1 + k)); }

struct Session {
  VodrinFolder folder;
  std::unique_ptr<Vodrin> vodrin;

  void Start(const std::string& bundle) {
    std::string params;
    if (!bundle.empty()) {
      folder.Put("TMP1A2B.TMP", bundle);
      params = "\"" + folder.Path() + "TMP1A2B.TMP\"";
    }
    vodrin = std::make_unique<Vodrin>(folder, params);
    ASSERT_TRUE(vodrin->Started());
  }
  Vodrin& v() { return *vodrin; }
  std::string Labels() { return v().Label(kCurrentLineLabel) + " / " + v().Label(kNextLineLabel); }
  std::string Buttons() {
    std::string s;
    for (auto [id, name] : {std::pair{kStartButton, "Debug "},
                            {kResetButton, "Reset "},
                            {kRunButton, "Run "},
                            {kStepButton, "Step "},
                            {kStopButton, "Stop "}})
      if (v().Enabled(id)) s += name;
    return s;
  }
};

TEST(VodrinWindows, BundleTextsStepRunAndReset) {
  Session s;
  s.Start(Bundle(kMail, kProgram, "簡潔 丁寧"));
  Vodrin& v = s.v();
  EXPECT_EQ(Lines(TextOf(v.Content(kMailFormClass))), kMail);
  EXPECT_EQ(Lines(TextOf(v.Content(kProgramFormClass))), kProgram);
  EXPECT_TRUE(IsWindowVisible(v.Form(kProgramFormClass)));
  EXPECT_EQ(Field(v, 0), "簡潔 丁寧");
  EXPECT_EQ(Field(v, 1), "仕事");
  EXPECT_EQ(Field(v, 4), "山田 太郎");
  EXPECT_EQ(TextOf(v.Main()), "DebugForm");
  EXPECT_EQ(s.Buttons(), "Debug ");

  v.Command(kStartButton);
  EXPECT_EQ(s.Buttons(), "Reset Run Step ");
  EXPECT_EQ(s.Labels(), "Current Line / Next Line = 1");
  HWND program = v.Content(kProgramFormClass);
  EXPECT_TRUE(v.ReadOnly(v.Content(kMailFormClass)));

  v.Command(kStepButton);
  EXPECT_EQ(s.Labels(), "Current Line = 1 / Next Line = 2");
  int start = 0, end = 0;
  v.Selection(program, start, end);
  // The second line, without its line break.
  const LRESULT second = SendMessageA(program, EM_LINEINDEX, 1, 0);
  EXPECT_EQ(start, second);
  EXPECT_EQ(end, second + 12);
  EXPECT_TRUE(IsWindowVisible(v.Form(kVariableFormClass)));
  const std::string stepVars = Lines(TextOf(v.Content(kVariableFormClass)));
  EXPECT_NE(stepVars.find("Option(1) = 丁寧 (String)\n"), std::string::npos) << stepVars;
  EXPECT_NE(stepVars.find("名前 = 山田 太郎 (String)\n"), std::string::npos) << stepVars;
  v.Command(kStepButton);
  const std::string result = Lines(TextOf(v.Content(kResultFormClass)));
  EXPECT_EQ(result.rfind("To: 山田 花子 <hanako@example.jp>\nSubject: Re: 会議の件\nDate: ", 0), 0u) << result;
  EXPECT_EQ(result.substr(result.find("\n\n")), "\n\n山田様\n");

  v.Command(kRunButton);
  EXPECT_EQ(s.Labels(), "Current Line = 6 / Next Line");
  EXPECT_EQ(s.Buttons(), "Debug ");
  EXPECT_FALSE(v.ReadOnly(v.Content(kMailFormClass)));
  const std::string runVars = Lines(TextOf(v.Content(kVariableFormClass)));
  EXPECT_NE(runVars.find("名前 = \"山田 太郎\"\nI = 2\n"), std::string::npos) << runVars;
  const std::string reply = Lines(TextOf(v.Content(kResultFormClass)));
  EXPECT_NE(reply.find("\n\n山田様\n1 行目です。\n2 行目です。\n> お世話になっております。\n"), std::string::npos)
      << reply;

  // Reset from the middle.
  v.Command(kStartButton);
  v.Command(kStepButton);
  v.Command(kResetButton);
  EXPECT_EQ(s.Buttons(), "Debug ");
  EXPECT_FALSE(v.ReadOnly(v.Content(kMailFormClass)));
  EXPECT_EQ(v.Box(), nullptr);
  EXPECT_TRUE(v.Close());
}

TEST(VodrinWindows, SyntaxErrorRunTimeErrorsAndAFault) {
  Session s;
  s.Start(Bundle(kMail, "IF A = 1\nB = 2\n", "x"));
  Vodrin& v = s.v();
  v.Command(kStartButton);
  EXPECT_FALSE(TextOf(v.Control(kMessageMemo)).empty());
  EXPECT_EQ(s.Buttons(), "Debug ");
  v.Command(kRunButton);  // disabled: nothing happens
  EXPECT_EQ(v.Box(), nullptr);

  // The run-time error box, answered Retry, Ignore and Abort.
  SetWindowTextA(v.Content(kProgramFormClass), "PRINT(\"一\")\r\nX = NOSUCH(1)\r\nPRINT(\"三\")\r\n");
  v.Command(kStartButton);
  EXPECT_EQ(TextOf(v.Control(kMessageMemo)), "");
  v.Command(kRunButton);
  HWND box = v.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(v.BoxText(box), "プログラム実行時エラー|2行目でエラーです。\r\nNo such function: NOSUCH");
  v.Answer(box, IDRETRY);
  box = v.Box();
  ASSERT_NE(box, nullptr);
  v.Answer(box, IDIGNORE);
  EXPECT_EQ(v.Box(), nullptr);
  EXPECT_NE(Lines(TextOf(v.Content(kResultFormClass))).find("\n一\n三\n"), std::string::npos);
  EXPECT_EQ(s.Buttons(), "Debug ");

  v.Command(kStartButton);
  v.Command(kStepButton);
  v.Command(kStepButton);
  box = v.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(v.BoxText(box), "プログラム実行時エラー|2行でエラーです。\r\nNo such function: NOSUCH");
  v.Answer(box, IDABORT);
  EXPECT_EQ(s.Labels(), "Current Line = 3 / Next Line");
  EXPECT_EQ(s.Buttons(), "Debug ");
  EXPECT_EQ(Lines(TextOf(v.Content(kResultFormClass))).find("三"), std::string::npos);

  // A fault: shown in the message area; Reset works afterwards.
  SetWindowTextA(v.Content(kProgramFormClass), "A = 1\r\nB = A / 0\r\nC = 3\r\n");
  v.Command(kStartButton);
  v.Command(kRunButton);
  EXPECT_EQ(v.Box(), nullptr);
  EXPECT_EQ(TextOf(v.Control(kMessageMemo)).rfind("2行目で実行を続けられなくなりました。", 0), 0u);
  EXPECT_EQ(s.Buttons(), "Reset ");
  v.Command(kResetButton);
  EXPECT_EQ(s.Buttons(), "Debug ");
  v.Command(kStartButton);
  EXPECT_EQ(s.Buttons(), "Reset Run Step ");
  EXPECT_TRUE(v.Close());
}

TEST(VodrinWindows, AnEndlessRunStopsWithStopAndEscape) {
  Session s;
  s.Start(Bundle(kMail, "A = 1\nDO MAX 2000000000\nA = A + 1\nLOOP MAX 2000000000\n", nullptr));
  Vodrin& v = s.v();
  for (bool escape : {false, true}) {
    v.Command(kStartButton);
    v.Command(kRunButton);
    EXPECT_EQ(s.Buttons(), "Stop ");
    if (escape)
      PostMessageA(v.Control(kStopButton), WM_KEYDOWN, VK_ESCAPE, 0);
    else
      v.Command(kStopButton);
    // The run ends at its next poll; the pump may answer a Settle or two
    // before the engine gets there, more so on a busy machine.
    for (int i = 0; i < 100 && s.Buttons() != "Debug "; ++i) {
      v.Settle();
      Sleep(20);
    }
    EXPECT_EQ(s.Buttons(), "Debug ");
    EXPECT_NE(TextOf(v.Control(kMessageMemo)).find("行目で実行を中止しました。"), std::string::npos);
  }
  // The close box during a run stops it and closes.
  v.Command(kStartButton);
  v.Command(kRunButton);
  EXPECT_TRUE(v.Close());
}

// The Tab key as the keyboard gives it to the program editor: the key down
// with Shift held or not, then the tab character.
void PressTab(HWND memo, bool shift) {
  const DWORD thread = GetWindowThreadProcessId(memo, nullptr);
  AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  DWORD_PTR ignored = 0;
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(VK_TAB, 0)) << 16;
  SendMessageTimeoutA(memo, WM_KEYDOWN, VK_TAB, 1 | scan, SMTO_NORMAL, 10000, &ignored);
  SendMessageTimeoutA(memo, WM_CHAR, '\t', 1 | scan, SMTO_NORMAL, 10000, &ignored);
  SendMessageTimeoutA(memo, WM_KEYUP, VK_TAB, 1 | scan | 0xC0000000, SMTO_NORMAL, 10000, &ignored);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
}

void Select(HWND memo, int start, int end) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(memo, EM_SETSEL, start, end, SMTO_NORMAL, 10000, &ignored);
}

LRESULT LineStart(HWND memo, int line) { return SendMessageA(memo, EM_LINEINDEX, line, 0); }

TEST(VodrinWindows, TabIndentsWholeLinesInTheProgramWindow) {
  Session s;
  s.Start(Bundle(kMail, "1\n2\n\t3\n4\n", nullptr));
  Vodrin& v = s.v();
  HWND program = v.Content(kProgramFormClass);
  // Lines 2 and 3, up to the start of line 4: two lines, not three.
  Select(program, static_cast<int>(LineStart(program, 1)), static_cast<int>(LineStart(program, 3)));
  PressTab(program, false);
  EXPECT_EQ(Lines(TextOf(program)), "1\n\t2\n\t\t3\n4\n");
  int start = 0, end = 0;
  v.Selection(program, start, end);
  EXPECT_EQ(start, LineStart(program, 1));
  EXPECT_EQ(end, LineStart(program, 3));
  PressTab(program, true);
  EXPECT_EQ(Lines(TextOf(program)), "1\n2\n\t3\n4\n");
  PressTab(program, true);
  PressTab(program, true);  // no leading tab left: nothing changes
  EXPECT_EQ(Lines(TextOf(program)), "1\n2\n3\n4\n");

  // Within a line: Tab inserts a tab, Shift+Tab takes back the one before
  // the caret; the status bar follows the caret.
  Select(program, static_cast<int>(LineStart(program, 2)) + 1, static_cast<int>(LineStart(program, 2)) + 1);
  PressTab(program, false);
  EXPECT_EQ(Lines(TextOf(program)), "1\n2\n3\t\n4\n");
  v.Settle();
  EXPECT_EQ(TextOf(GetDlgItem(v.Form(kProgramFormClass), kStatusBar)), "2");
  PressTab(program, true);
  EXPECT_EQ(Lines(TextOf(program)), "1\n2\n3\n4\n");

  // While debugging the program cannot be changed, by Tab neither.
  v.Command(kStartButton);
  Select(program, 0, 0);
  PressTab(program, false);
  EXPECT_EQ(Lines(TextOf(program)), "1\n2\n3\n4\n");
  EXPECT_TRUE(v.Close());
}

TEST(VodrinWindows, RememberedTextsLogAndGeometryOverRestarts) {
  Session s;
  s.Start(Bundle(kMail, "A = 1\nB = \"二\"\n", "簡潔"));
  s.v().Command(kStartButton);
  s.v().Command(kRunButton);
  s.v().Command(kStartButton);
  s.v().Command(kStepButton);
  MoveWindow(s.v().Main(), 40, 50, 420, 280, TRUE);
  s.v().Settle();
  ASSERT_TRUE(s.v().Close());
  const std::string log = s.folder.Get("Vodrin.log");
  const std::size_t first = log.find("A=1\r\nB=\"二\"\r\n");
  const std::size_t separator = log.find("--------------------------------\r\n");
  ASSERT_NE(first, std::string::npos) << log;
  ASSERT_NE(separator, std::string::npos) << log;
  EXPECT_LT(first, separator);
  EXPECT_EQ(log.find("B=", separator), std::string::npos);  // one Step: A only
  EXPECT_NE(log.find("A=1\r\n", separator), std::string::npos);
  const std::string ini = s.folder.Get("Vodrin.ini");
  EXPECT_NE(ini.find("DebugForm\\Left=Integer:40"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Last\\Option=String:簡潔"), std::string::npos) << ini;

  // Without a bundle: the remembered texts and place; the log goes on.
  s.Start("");
  Vodrin& v = s.v();
  EXPECT_EQ(Lines(TextOf(v.Content(kMailFormClass))), kMail);
  EXPECT_EQ(Lines(TextOf(v.Content(kProgramFormClass))), "A = 1\nB = \"二\"\n");
  EXPECT_EQ(Field(v, 0), "簡潔");
  EXPECT_EQ(Field(v, 2), "taro");
  RECT r;
  GetWindowRect(v.Main(), &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 50);
  v.Command(kStartButton);
  v.Command(kRunButton);
  ASSERT_TRUE(v.Close());
  const std::string later = s.folder.Get("Vodrin.log");
  EXPECT_EQ(later.rfind(log, 0), 0u);
  EXPECT_NE(later.find("--------------------------------\r\n", log.size()), std::string::npos);

  // A bundle without [Option] keeps the remembered option; a mail line
  // "[Program]" ends the mail there.
  s.Start(Crlf("[Mail]\nFrom: a@example.jp\n\n本文\n[Program]\nX = 1\n") + Crlf(kAccounts));
  EXPECT_EQ(Field(s.v(), 0), "簡潔");
  EXPECT_EQ(Lines(TextOf(s.v().Content(kMailFormClass))), "From: a@example.jp\n\n本文\n");
  EXPECT_EQ(Lines(TextOf(s.v().Content(kProgramFormClass))), "X = 1\n");
  EXPECT_TRUE(s.v().Close());
}

}  // namespace
}  // namespace tam::test

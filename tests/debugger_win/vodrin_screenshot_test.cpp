// The pictures of the release package's README: Vodrin stepping a Japanese
// reply program, its windows laid out as a user would arrange them. Runs
// only when TAM_SHOT_DIR names a folder: the test then writes
// "vodrin.request" there and waits (up to a minute) for "vodrin.done",
// while scripts/screenshots.sh takes the picture of the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "debugger/win32/vodrin_ids.h"
#include "vodrin_driver.h"

namespace tam::test {
namespace {

using namespace tam::vodrin;

const char kBundle[] =
    "[Mail]\r\n"
    "From: 山田 花子 <hanako@example.jp>\r\n"
    "Subject: 会議の日程について\r\n"
    "\r\n"
    "お世話になっております。\r\n"
    "来週の会議は、火曜日の十時からでいかがでしょうか。\r\n"
    "[Program]\r\n"
    "' 差出人の名前で挨拶して、元のメールを引用する\r\n"
    "Address, Name = EXTRACTADDRESS(REFGETHEADEROF(\"From\"))\r\n"
    "IF Option(0) = \"丁寧\"\r\n"
    "  敬称 = \" 様\"\r\n"
    "ELSE\r\n"
    "  敬称 = \" さん\"\r\n"
    "ENDIF\r\n"
    "PRINT(Name, 敬称)\r\n"
    "PRINT()\r\n"
    "PRINT(\"ご連絡ありがとうございます。\")\r\n"
    "QUOTE(\"> \")\r\n"
    "PRINT()\r\n"
    "PRINT(AccountName)\r\n"
    "[Option]\r\n"
    "丁寧\r\n"
    "[AccountTitle]\r\n仕事\r\n[AccountUser]\r\ntaro\r\n[AccountAddress]\r\ntaro@example.jp\r\n"
    "[AccountName]\r\n鈴木 太郎\r\n";

void Place(HWND window, int x, int y, int w, int h) {
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetWindowPos(window, HWND_TOP, x, y, w, h, SWP_NOACTIVATE);
}

TEST(VodrinScreenshot, SteppingAJapaneseProgram) {
  const char* dir = std::getenv("TAM_SHOT_DIR");
  if (!dir || !*dir) GTEST_SKIP() << "TAM_SHOT_DIR is not set";
  VodrinFolder folder;
  folder.Put("TMP5E6F.TMP", kBundle);
  Vodrin v(folder, "\"" + folder.Path() + "TMP5E6F.TMP\"");
  ASSERT_TRUE(v.Started());
  v.Command(kStartButton);
  // Up to the line after the quote: the reply so far holds greeting and quote.
  for (int i = 0; i < 20 && v.Label(kNextLineLabel) != "Next Line = 12"; ++i) v.Command(kStepButton);
  ASSERT_EQ(v.Box(), nullptr);
  ASSERT_EQ(v.Label(kNextLineLabel), "Next Line = 12");

  Place(v.Main(), 0, 0, 420, 250);
  Place(v.Form(kOptionFormClass), 0, 250, 420, 350);
  Place(v.Form(kProgramFormClass), 420, 0, 540, 300);
  Place(v.Form(kVariableFormClass), 420, 300, 540, 300);
  Place(v.Form(kMailFormClass), 960, 0, 460, 300);
  Place(v.Form(kResultFormClass), 960, 300, 460, 300);
  v.Settle();

  const std::string base = std::string(dir) + "\\vodrin.";
  std::ofstream(base + "request") << "ready\n";
  for (int i = 0; i < 600 && !std::ifstream(base + "done"); ++i) Sleep(100);
  EXPECT_TRUE(std::ifstream(base + "done").good()) << "no picture was taken";
  EXPECT_TRUE(v.Close());
}

}  // namespace
}  // namespace tam::test

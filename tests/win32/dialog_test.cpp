// The library's three dialogs as real windows: a second thread finds each
// dialog, checks its texts, types into it and clicks its buttons, while the
// test's thread waits in the built-in function. TAM_DIALOG_PAUSE (in
// milliseconds) holds every dialog open that long before it is answered, so
// that a screenshot can be taken.
#include <windows.h>
// windows.h first.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include "platform/win32/win32_dialog_template.h"
#include "tests/library/file_tree.h"

namespace tam {
namespace {

using test::Arg;

// A top-level dialog of this caption, once it is shown; null after 10 s.
HWND WaitForDialog(const std::string& caption) {
  const std::wstring title = win32::Wide(caption);
  for (int i = 0; i < 200; ++i) {
    HWND h = FindWindowW(L"#32770", title.c_str());
    if (h && IsWindowVisible(h)) return h;
    Sleep(50);
  }
  return nullptr;
}

void Pause() {
  if (const char* ms = std::getenv("TAM_DIALOG_PAUSE")) Sleep(static_cast<DWORD>(std::atoi(ms)));
}

void Type(HWND edit, const std::wstring& text) {
  SendMessageW(edit, EM_SETSEL, 0, -1);
  for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 1);
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string TextOf(HWND dialog, int id) { return win32::ControlText(GetDlgItem(dialog, id)); }

// Runs `act` on the dialog of that caption from a second thread while
// `call` shows it; a dialog still open afterwards is cancelled and fails.
void WithDialog(const std::string& caption, const std::function<void(HWND)>& act, const std::function<void()>& call) {
  std::thread robot([&] {
    HWND dialog = WaitForDialog(caption);
    ASSERT_NE(dialog, nullptr) << "no dialog " << caption;
    Pause();
    act(dialog);
    for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(50);
    if (IsWindow(dialog)) {
      ADD_FAILURE() << "still open: " << caption;
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  });
  call();
  robot.join();
}

Value Call(const std::string& name, std::vector<Value> args, bool& ok) {
  Value result;
  bool found = false;
  ok = BuiltinFunction(name, Value::Array(std::move(args)), result, found);
  return result;
}

TEST(Dialogs, InputBox) {
  bool ok = false;
  Value r;
  WithDialog(
      "入力テスト",
      [](HWND d) {
        EXPECT_EQ(TextOf(d, 100), "お名前を入力してください。\r\n二行目の説明");
        EXPECT_EQ(TextOf(d, 101), "既定の文字");
        EXPECT_EQ(TextOf(d, IDOK), "OK");
        EXPECT_EQ(TextOf(d, IDCANCEL), "ｷｬﾝｾﾙ");
        Type(GetDlgItem(d, 101), L"日本語abc");
        Click(d, IDOK);
      },
      [&] {
        r = Call("INPUTBOX", {Arg("入力テスト"), Arg("お名前を入力してください。\r\n二行目の説明"), Arg("既定の文字")},
                 ok);
      });
  ASSERT_TRUE(ok);
  EXPECT_EQ(r.items()[0].str(), "日本語abc");
  // Cancel gives the fourth argument; closing the box without one gives nothing.
  WithDialog(
      "入力テスト", [](HWND d) { Click(d, IDCANCEL); },
      [&] {
        r = Call("INPUTBOX", {Arg("入力テスト"), Arg("p"), Arg("x"), Value::Int(-5)}, ok);
      });
  ASSERT_TRUE(ok);
  EXPECT_EQ(r.items()[0].i(), -5);
  WithDialog(
      "入力テスト", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); },
      [&] {
        r = Call("INPUTBOX", {Arg("入力テスト"), Arg("p")}, ok);
      });
  EXPECT_TRUE(ok);
  EXPECT_TRUE(r.isEmpty());
}

TEST(Dialogs, MessageBoxHasNoOwner) {
  bool ok = false;
  Value r;
  WithDialog(
      "メッセージ",
      [](HWND d) {
        EXPECT_EQ(GetWindow(d, GW_OWNER), nullptr);
        Click(d, IDNO);
      },
      [&] {
        r = Call("MESSAGEBOX", {Arg("続けますか？"), Arg("メッセージ"), Value::Int(4 | 0x20)}, ok);
      });
  ASSERT_TRUE(ok);
  EXPECT_EQ(r.items()[0].i(), 7);
}

enum { kName = 100, kTree = 102 };

BOOL CALLBACK CollectText(HWND control, LPARAM texts) {
  if (IsWindowVisible(control))
    reinterpret_cast<std::vector<std::string>*>(texts)->push_back(win32::ControlText(control));
  return TRUE;
}

TEST(Dialogs, SelectDirectoryCreatesAFolderAfterAsking) {
  test::FileTree t;
  const std::string wanted = t.Path("新しい\\下");
  bool ok = false;
  Value r;
  WithDialog(
      "ﾃﾞｨﾚｸﾄﾘの選択",
      [&](HWND d) {
        std::vector<std::string> texts;
        EnumChildWindows(d, CollectText, reinterpret_cast<LPARAM>(&texts));
        const bool network = GetProcAddress(LoadLibraryA("mpr.dll"), "WNetConnectionDialog") != nullptr;
        for (const char* want : {"ﾃﾞｨﾚｸﾄﾘ名(&N):", "ﾃﾞｨﾚｸﾄﾘ(&D):", "ﾌｧｲﾙ(&F): (*.*)", "ﾄﾞﾗｲﾌﾞ(&R):", "OK", "ｷｬﾝｾﾙ"})
          EXPECT_EQ(std::count(texts.begin(), texts.end(), want), 1) << want;
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "ﾈｯﾄﾜｰｸ(&N)..."), network ? 1 : 0);
        EXPECT_EQ(TextOf(d, kName), t.Path());
        Type(GetDlgItem(d, kName), win32::Wide(wanted));
        // No: the chooser stays open. Yes: the folder is made.
        for (int answer : {IDNO, IDYES}) {
          PostMessageW(d, WM_COMMAND, IDOK, 0);
          HWND ask = WaitForDialog("確認");
          ASSERT_NE(ask, nullptr);
          Pause();
          Click(ask, answer);
          for (int i = 0; i < 100 && IsWindow(ask); ++i) Sleep(50);
          if (answer == IDNO) {
            Sleep(200);
            EXPECT_TRUE(IsWindow(d));
          }
        }
      },
      [&] {
        r = Call("SELECTDIRECTORY", {Arg(t.Path()), Value::Bool(true)}, ok);
      });
  ASSERT_TRUE(ok);
  EXPECT_EQ(r.items()[0].str(), wanted);
  EXPECT_TRUE(os::Attributes(t.Path("新しい")) & os::faDirectory);
}

TEST(Dialogs, SelectDirectoryThroughTheTree) {
  test::FileTree t;
  t.Folder("a");
  t.Folder("sub");
  t.File("visible.txt");
  bool ok = false;
  Value r;
  WithDialog(
      "ﾃﾞｨﾚｸﾄﾘの選択",
      [&](HWND d) {
        // Without creation the name field cannot be edited. The second
        // subfolder of the folder shown is "sub", after "a".
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(d, kName), GWL_STYLE) & ES_READONLY);
        HWND tree = GetDlgItem(d, kTree);
        auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        item = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        item =
            reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
        ASSERT_NE(item, nullptr);
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        for (int i = 0; i < 100 && TextOf(d, kName) != t.Path("sub"); ++i) Sleep(50);
        EXPECT_EQ(TextOf(d, kName), t.Path("sub"));
        Pause();
        Click(d, IDOK);
      },
      [&] {
        r = Call("SELECTDIRECTORY", {Arg(t.Path()), Value::Bool(false)}, ok);
      });
  ASSERT_TRUE(ok);
  EXPECT_EQ(r.items()[0].str(), t.Path("sub"));
  WithDialog(
      "ﾃﾞｨﾚｸﾄﾘの選択", [](HWND d) { Click(d, IDCANCEL); },
      [&] {
        r = Call("SELECTDIRECTORY", {Arg(t.Path()), Value::Bool(false)}, ok);
      });
  EXPECT_FALSE(ok);
}

}  // namespace
}  // namespace tam

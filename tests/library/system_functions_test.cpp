// The system services and dialogs: the environment, the command line, the
// shell, dialogs answered by a stand-in platform, and prepared answers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "platform/answers.h"
#include "platform/fixed_clock.h"
#include "tests/library/file_tree.h"

namespace tam {
namespace {

using test::Arg;
using test::Call;
using test::Call1;

TEST(SystemFunctions, CatalogueIsComplete) {
  EXPECT_EQ(BuiltinCatalogue().size(), 130u);
  for (const char* name : {"CREATEDIR",
                           "CURRENTDIR",
                           "CURRENTDIROFDRIVE",
                           "DELETEFILE",
                           "DIRECTORIES",
                           "DIRECTORYEXISTS",
                           "DRIVES",
                           "ENVIRONMENT",
                           "EXPANDFILENAME",
                           "EXTRACTFILEDIR",
                           "EXTRACTFILEDRIVE",
                           "EXTRACTFILEEXT",
                           "EXTRACTFILENAME",
                           "EXTRACTFILEPATH",
                           "FILEATTRIBUTE",
                           "FILEEXISTS",
                           "FILES",
                           "FILESETATTRIBUTE",
                           "FILESIZE",
                           "FILEUPDATEDDATETIME",
                           "FORCEDIRECTORIES",
                           "INPUTBOX",
                           "MATCHESMASK",
                           "MESSAGEBOX",
                           "PARAMCOUNT",
                           "PARAMSTR",
                           "REMOVEDIR",
                           "RENAMEFILE",
                           "SELECTDIRECTORY",
                           "SETCURRENTDIR",
                           "SHELL"})
    EXPECT_EQ(BuiltinCatalogue().count(name), 1u) << name;
}

TEST(SystemFunctions, TooFewArguments) {
  const std::pair<const char*, std::size_t> needs[] = {
      {"FILES", 1},           {"DIRECTORIES", 1},      {"MATCHESMASK", 2}, {"RENAMEFILE", 2}, {"INPUTBOX", 2},
      {"SELECTDIRECTORY", 2}, {"FILESETATTRIBUTE", 2}, {"MESSAGEBOX", 3},  {"SHELL", 3}};
  for (const auto& [name, count] : needs) {
    bool ok = true;
    const Value r = Call(name, std::vector<Value>(count - 1, Arg("x")), &ok);
    EXPECT_FALSE(ok) << name;
    EXPECT_TRUE(r.isEmpty()) << name;
  }
}

TEST(SystemFunctions, EnvironmentAndCommandLine) {
  const std::string longValue(1000, 'v');
#ifdef _WIN32
  _putenv_s("TAM_TEST_VALUE", longValue.c_str());
#else
  setenv("TAM_TEST_VALUE", longValue.c_str(), 1);
#endif
  const Value r = Call("ENVIRONMENT", {Arg("TAM_TEST_VALUE"), Arg("TAM_TEST_UNSET_NAME")});
  EXPECT_EQ(r.items()[0].str(), longValue);
  EXPECT_EQ(r.items()[1].str(), "");
  // This test program's own path and its parameters.
  const std::int32_t count = test::CallEmpty("PARAMCOUNT").i();
  EXPECT_GE(count, 0);
  EXPECT_NE(Call1("PARAMSTR", {Value::Int(0)}).str().find("test_library"), std::string::npos);
  EXPECT_EQ(Call1("PARAMSTR", {Value::Int(count + 1)}).str(), "");
  EXPECT_EQ(Call1("PARAMSTR", {Value::Int(-1)}).str(), "");
}

TEST(SystemFunctions, ShellErrors) {
  test::FileTree t;
  EXPECT_EQ(Call1("SHELL", {Arg(t.Path("no-such-program")), Arg(""), Arg("")}).i(), 2);
#ifdef _WIN32
  EXPECT_LE(Call1("SHELL", {Arg(t.Path("no/such/program")), Arg(""), Arg("")}).i(), 32);
#else
  EXPECT_EQ(Call1("SHELL", {Arg(t.Path("no/such/program")), Arg(""), Arg("")}).i(), 3);
  EXPECT_EQ(Call1("SHELL", {Arg("true"), Arg(""), Arg(t.Path("no-folder"))}).i(), 3);
#endif
}

#ifndef _WIN32
// The program starts in the folder given, with its parameters split as a
// command line, and the call does not wait for it.
TEST(SystemFunctions, ShellStartsWithoutWaiting) {
  test::FileTree t;
  const Value code =
      Call1("SHELL", {Arg("/bin/sh"), Arg("-c \"sleep 1; printf %s \\\"$0\\\" > mark\" a\\b"), Arg(t.Path())});
  EXPECT_GT(code.i(), 32);
  // The program writes its mark only after a second: a call that waited
  // for it would find the mark already there.
  EXPECT_FALSE(t.Has("mark"));
  for (int i = 0; i < 100 && !t.Has("mark"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::ifstream in(t.Native("mark"));
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "a\\b");
}
#endif

// Dialogs whose answers a test decides.
class ScriptedDialogs : public FixedClockPlatform {
 public:
  ScriptedDialogs() : FixedClockPlatform(DefaultPlatform(), LocalTime{}) { SetPlatform(this); }
  ~ScriptedDialogs() override { SetPlatform(nullptr); }
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    seen = text + "|" + caption + "|" + std::to_string(flags);
    return mbRetry;
  }
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& preset) override {
    seen = caption + "|" + prompt + "|" + preset;
    return typed;
  }
  std::optional<std::string> SelectDirectory(const std::string& start, bool allowCreate) override {
    seen = start + "|" + (allowCreate ? "create" : "existing");
    return typed;
  }
  std::optional<std::string> typed;
  std::string seen;
};

TEST(SystemFunctions, Dialogs) {
  ScriptedDialogs d;
  EXPECT_EQ(Call1("MESSAGEBOX", {Arg("m"), Arg("c"), Value::Dbl(0x25)}).i(), mbRetry);
  EXPECT_EQ(d.seen, "m|c|37");
  // An input box answered with OK gives the text; cancel gives argument 4
  // as it is, or nothing.
  d.typed = "typed";
  EXPECT_EQ(Call1("INPUTBOX", {Arg("T"), Arg("P")}).str(), "typed");
  EXPECT_EQ(d.seen, "T|P|");
  d.typed.reset();
  EXPECT_EQ(Call1("INPUTBOX", {Arg("T"), Arg("P"), Arg("x"), Arg("cancelled")}).str(), "cancelled");
  EXPECT_EQ(d.seen, "T|P|x");
  EXPECT_EQ(Call1("INPUTBOX", {Arg("T"), Arg("P"), Arg("x"), Value::Int(7)}).type(), vtInteger);
  EXPECT_TRUE(Call("INPUTBOX", {Arg("T"), Arg("P"), Arg("x")}).isEmpty());
  // A cancelled folder chooser fails the call.
  bool ok = true;
  Call("SELECTDIRECTORY", {Arg("start"), Value::Bool(true)}, &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(d.seen, "start|create");
  d.typed = "chosen";
  EXPECT_EQ(Call1("SELECTDIRECTORY", {Arg("start"), Value::Int(0)}).str(), "chosen");
  EXPECT_EQ(d.seen, "start|existing");
}

TEST(SystemFunctions, PreparedAnswers) {
  ScriptedDialogs inner;
  inner.typed = "from inner";
  test::FileTree t;
  t.Folder("there");
  AnswerPlatform answers(
      inner, {"typed", "はい(&Y)", "retry", "Yes", t.Path("there"), t.Path("new/deeper"), t.Path("absent")});
  // Text for the input box; captions for message boxes; an answer that
  // names no button of the box is used up and the inner platform answers.
  EXPECT_EQ(*answers.InputBox("c", "p", "preset"), "typed");
  EXPECT_EQ(answers.MessageBox("m", "c", 4), mbYes);
  EXPECT_EQ(answers.MessageBox("m", "c", 2), mbRetry);
  EXPECT_EQ(answers.MessageBox("m", "c", 1), mbRetry);  // from inner
  // Folders: an existing one; a new one made when creation is allowed; else cancelled.
  EXPECT_EQ(*answers.SelectDirectory("", false), t.Path("there"));
  EXPECT_EQ(*answers.SelectDirectory("", true), t.Path("new/deeper"));
  EXPECT_TRUE(t.Has("new/deeper"));
  EXPECT_FALSE(answers.SelectDirectory("", false).has_value());
  EXPECT_EQ(answers.Used(), 7u);
  // Used up: the inner platform answers.
  EXPECT_EQ(*answers.InputBox("c", "p", "preset"), "from inner");

  // A folder name ending in 表, whose second byte is that of "\", keeps it.
  const std::string table = t.Path() + os::kPathDelimiter + "表";
  AnswerPlatform more(inner, {table, table + os::kPathDelimiter});
  EXPECT_EQ(*more.SelectDirectory("", true), table);
  EXPECT_EQ(*more.SelectDirectory("", false), table);
}

}  // namespace
}  // namespace tam

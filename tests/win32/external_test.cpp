// External function libraries under Windows: the folder search, the value
// records both ways, and where the step stands in the function dispatch.
// The sample library (external/sample_library.cpp) lies beside this test.
#include "engine/external.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "engine/calc.h"
#include "library/library.h"
#include "platform/dynlib.h"

namespace tam {
namespace {

std::string SampleLibrary() {
  char path[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.rfind('\\') + 1) + "external_sample.dll";
}

// A fresh folder holding copies of the sample library under the given names.
class Folder {
 public:
  explicit Folder(std::initializer_list<const char*> names, const std::string& suffix = "") {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    path_ =
        std::string(tmp) + "tam_ext_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++count_) + suffix;
    CreateDirectoryA(path_.c_str(), nullptr);
    for (const char* n : names) EXPECT_TRUE(CopyFileA(SampleLibrary().c_str(), File(n).c_str(), FALSE)) << n;
  }
  ~Folder() {
    for (const std::string& f : made_) DeleteFileA(f.c_str());
    RemoveDirectoryA(path_.c_str());
  }
  std::string File(const std::string& name) {
    made_.push_back(path_ + "\\" + name);
    return made_.back();
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> made_;
  static int count_;
};
int Folder::count_ = 0;

Value CallOne(ExternalLibraries& libs, const std::string& name, const Value& args, bool& found) {
  Value result;
  found = false;
  libs.Call(name, args, result, found);
  return result;
}

TEST(External, ValuesCrossAsRecordsBothWays) {
  Folder folder({"sample.dll"});
  ExternalLibraries libs(folder.path());
  bool found = false;
  EXPECT_EQ(CallOne(libs, "DESCRIBE", Value::Int(7), found).str(), "3:7");
  EXPECT_TRUE(found);
  EXPECT_EQ(CallOne(libs, "DESCRIBE", Value::Str("テキスト"), found).str(), "256:テキスト");
  EXPECT_EQ(CallOne(libs, "DESCRIBE", Value::Dbl(2.5), found).str(), "5:2.5");
  EXPECT_EQ(CallOne(libs, "DESCRIBE", Value::Bool(true), found).str(), "11:-1");
  EXPECT_EQ(CallOne(libs, "DESCRIBE", Value::Cur(15000), found).str(), "6:15000");
  const Value nested = Value::Array({Value::Int(1), Value::Str("a"), Value::Array({Value::Small(2)})});
  EXPECT_EQ(CallOne(libs, "DESCRIBE", nested, found).str(), "8204[3:1,256:a,8204[2:2]]");

  struct {
    int code;
    std::uint16_t type;
    std::string text;
  } made[] = {{1, vtNull, ""},        {2, vtSmallInt, "-7"},   {4, vtSingle, "1.5"},  {5, vtDouble, "2.25"},
              {6, vtCurrency, "1.5"}, {8, vtString, "ワイド"}, {11, vtBoolean, "-1"}, {256, vtString, "テキスト"}};
  for (const auto& m : made) {
    const Value v = CallOne(libs, "MAKE", Value::Int(m.code), found);
    EXPECT_EQ(v.type(), m.type) << m.code;
    if (m.code != 1) {
      EXPECT_EQ(ToText(v), m.text) << m.code;
    }
  }
  const Value array = CallOne(libs, "MAKE", Value::Int(0x200C), found);
  ASSERT_TRUE(array.isArray());
  ASSERT_EQ(array.items().size(), 2u);
  EXPECT_EQ(array.items()[0].i(), 1);
  EXPECT_EQ(array.items()[1].str(), "a");
}

TEST(External, FolderSearchSkipsAlvcolorAndWhatDoesNotLoad) {
  Folder folder({"AlvColor.DLL", "other.dll"});
  // A file that only looks like a library is passed over silently.
  HANDLE h = CreateFileA(folder.File("broken.dll").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(h, "MZ", 2, &put, nullptr);
  CloseHandle(h);
  for (std::string path : {folder.path(), folder.path() + "\\"}) {
    ExternalLibraries libs(path);
    bool found = false;
    EXPECT_EQ(CallOne(libs, "WHOAMI", Value(), found).str(), "other.dll") << path;
    EXPECT_TRUE(found);
    EXPECT_TRUE(CallOne(libs, "NOSUCH", Value(), found).isEmpty());
    EXPECT_FALSE(found);
  }
  // A folder whose name ends in the second byte 0x5C of "ソ" still gets its
  // backslash: the search looks inside it, not beside it.
  Folder japanese({"sample.dll"}, "ソ");
  ASSERT_EQ(japanese.path().back(), '\\');
  for (std::string path : {japanese.path(), japanese.path() + "\\"}) {
    ExternalLibraries libs(path);
    bool found = false;
    EXPECT_EQ(CallOne(libs, "WHOAMI", Value(), found).str(), "sample.dll") << path;
    EXPECT_EQ(ExternalFolderPath(path), japanese.path() + "\\");
  }
  Folder alone({"ALVCOLOR.dll"});
  ExternalLibraries libs(alone.path());
  bool found = true;
  CallOne(libs, "WHOAMI", Value(), found);
  EXPECT_FALSE(found);
}

TEST(External, TheLibraryFoundFirstAnswers) {
  Folder folder({"one.dll", "two.dll", "three.dll"});
  const std::vector<std::string> order = os::FindDynamicLibraries(folder.path() + "\\");
  ASSERT_EQ(order.size(), 3u);
  ExternalLibraries libs(folder.path());
  bool found = false;
  EXPECT_EQ(CallOne(libs, "WHOAMI", Value(), found).str(), order[0]);
}

TEST(External, StandsBetweenUserFunctionsAndTheBuiltInLibrary) {
  Folder folder({"sample.dll"});
  TVariableSet vars;
  TCalc calc;
  calc.SetBuiltinHandler(BuiltinFunction);
  calc.LoadProgram(
      "A = LEN(\"abc\")\r\nB = MID(\"abcdef\", 2, 3)\r\nC = TWICE(4)\r\nD = REFUSE()\r\nE = 1\r\n"
      "FUNCTION TWICE(X)\r\nRESULT X * 2\r\nENDFUNCTION\r\n");
  calc.SetVariables(&vars);
  calc.SetExternalFolder(folder.path());
  calc.Reset();
  calc.Run();
  ASSERT_TRUE(calc.Error());
  EXPECT_EQ(calc.CurrentLine(), 3);  // the library knows REFUSE but fails it
  EXPECT_EQ(ToText(vars.GetValue("A")), "99");
  EXPECT_EQ(ToText(vars.GetValue("B")), "bcd");
  EXPECT_EQ(ToText(vars.GetValue("C")), "8");
}

}  // namespace
}  // namespace tam

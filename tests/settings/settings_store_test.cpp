#include "settings/settings_store.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#endif

#include <cmath>
#include <filesystem>

#include "engine/calendar.h"
#include "settings/settings_format.h"
#include "tests/settings/temp_tree.h"

namespace tam {
namespace {

using test::TempTree;

TEST(SettingText, EscapesPercentAndControlsAndReadsThemBack) {
  EXPECT_EQ(EscapeSettingText("A%B\r\nC"), "A%%B%0D%0AC");
  EXPECT_EQ(EscapeSettingText("a\tb\x1F"), "a%09b%1F");
  std::string withNul("x\0y", 3);
  EXPECT_EQ(EscapeSettingText(withNul), "x%00y");
  for (std::string s :
       {std::string("A%B\r\nC"), std::string("%%%"), std::string("100%"), withNul, std::string("\t\r\n\x01\x7F~")})
    EXPECT_EQ(UnescapeSettingText(EscapeSettingText(s)), s);
}

TEST(SettingText, DoubleByteCharactersPassWhole) {
  // 表 and ソ have the trail byte 0x5C, 応 the trail byte 0x89.
  std::string text = "表示%ソ\r\n応答";
  std::string escaped = EscapeSettingText(text);
  EXPECT_EQ(escaped, "表示%%ソ%0D%0A応答");
  EXPECT_EQ(UnescapeSettingText(escaped), text);
  // A trail byte that looks like an escape is part of its character.
  std::string look =
      "\x81\x92"
      "41";  // double-byte char then "41"
  EXPECT_EQ(UnescapeSettingText(look), look);
  // A lead byte before "%" or a control character cannot pair with it: the
  // escape still happens, so no line break reaches the file.
  std::string broken = "\x81%\x81\r\n";
  std::string e = EscapeSettingText(broken);
  EXPECT_EQ(e.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(UnescapeSettingText(e), broken);
}

TEST(SettingText, PercentWithoutEscapeIsKept) {
  EXPECT_EQ(UnescapeSettingText("50%"), "50%");
  EXPECT_EQ(UnescapeSettingText("%G1%4"), "%G1%4");
  EXPECT_EQ(UnescapeSettingText("%0a%41"), "\nA");
}

TEST(SettingText, FloatsAreShortestAndExact) {
  EXPECT_EQ(FormatSettingDouble(0.1), "0.1");
  EXPECT_EQ(FormatSettingDouble(2.5), "2.5");
  EXPECT_EQ(FormatSettingDouble(1e20), "1E+20");
  EXPECT_EQ(FormatSettingSingle(0.1f), "0.1");
  for (double d : {1.0 / 3, -2.0 / 7, 5e-324, 1.7976931348623157e308, 123456789.125, -0.0, 4.35}) {
    double back;
    ASSERT_TRUE(ParseNumber(FormatSettingDouble(d), back)) << d;
    EXPECT_EQ(std::signbit(back), std::signbit(d));
    EXPECT_EQ(back, d);
  }
}

TEST(SettingText, DatesUseTheFixedPattern) {
  double day, time;
  ASSERT_TRUE(EncodeDate(2024, 2, 29, day));
  ASSERT_TRUE(EncodeTime(7, 5, 9, 0, time));
  EXPECT_EQ(FormatSettingDate(day + time), "2024/02/29 07:05:09");
  double back;
  ASSERT_TRUE(ParseSettingDate("2024/02/29 07:05:09", back));
  EXPECT_NEAR(back, day + time, 1e-9);
  // Years below 100 keep their century, dates before 1899 their time.
  ASSERT_TRUE(ParseSettingDate("0050/06/01 12:00:00", back));
  EXPECT_EQ(FormatSettingDate(back), "0050/06/01 12:00:00");
  EXPECT_FALSE(ParseSettingDate("2001/13/01 00:00:00", back));
  EXPECT_TRUE(ParseSettingDate("2024/1/2", back));  // the value conversion's forms
  EXPECT_FALSE(ParseSettingDate("next week", back));
}

class StoreFile : public ::testing::Test {
 protected:
  std::string File() const { return tree.Win("Plugins/Kesrel.ini"); }
  SettingsStore Reloaded() const {
    SettingsStore s;
    s.Load(File());
    return s;
  }
  TempTree tree;
};

TEST_F(StoreFile, EveryKindSurvivesSaveAndLoad) {
  tree.MakeDir("Plugins");
  SettingsStore s;
  s.Load(File());
  EXPECT_EQ(s.Count(), 0u);
  double when;
  ASSERT_TRUE(EncodeDate(1999, 12, 31, when));
  when += 0.5;
  std::string program = "IF A% = 1 THEN\r\n\tReply \"表示\"\r\nENDIF";
  s.Write("", "ProgramCount", Value::Int(2));
  s.Write("Program0", "Body", Value::Str(program));
  s.Write("Menu", "Debugger", Value::Bool(true));
  s.Write("Menu", "Off", Value::Bool(false));
  s.Write("Stats", "Ratio", Value::Dbl(1.0 / 3));
  s.Write("Stats", "Single", Value::Sgl(0.1f));
  s.Write("Stats", "Small", Value::Small(-7));
  s.Write("Stats", "When", Value::DateVal(when));
  ASSERT_TRUE(s.Save());

  SettingsStore r = Reloaded();
  EXPECT_EQ(r.Count(), 8u);
  EXPECT_EQ(r.Read("", "ProgramCount", Value()).i(), 2);
  Value body = r.Read("Program0", "Body", Value());
  EXPECT_EQ(body.type(), vtString);
  EXPECT_EQ(body.str(), program);
  EXPECT_TRUE(r.Read("Menu", "Debugger", Value::Bool(false)).b());
  EXPECT_FALSE(r.Read("Menu", "Off", Value::Bool(true)).b());
  EXPECT_EQ(r.Read("Stats", "Ratio", Value()).d(), 1.0 / 3);
  EXPECT_EQ(r.Read("Stats", "Single", Value()).d(), 0.1);
  EXPECT_EQ(r.Read("Stats", "Small", Value()).i(), -7);
  Value d = r.Read("Stats", "When", Value());
  EXPECT_EQ(d.type(), vtDate);
  EXPECT_DOUBLE_EQ(d.d(), when);

  std::string text = tree.Get("Plugins/Kesrel.ini");
  EXPECT_NE(text.find("\\ProgramCount=Integer:2\r\n"), std::string::npos);
  EXPECT_NE(text.find("Program0\\Body=String:IF A%% = 1 THEN%0D%0A%09Reply \"表示\"%0D%0AENDIF\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("Stats\\When=Date:1999/12/31 12:00:00\r\n"), std::string::npos);
  EXPECT_NE(text.find("Stats\\Single=Float:0.1\r\n"), std::string::npos);
  EXPECT_NE(text.find("Menu\\Debugger=Boolean:True\r\n"), std::string::npos);
}

TEST_F(StoreFile, ReadsWithDefaultsAndIgnoresCase) {
  tree.Put("Plugins/Kesrel.ini",
           "\\ProgramCount=Integer:3\r\nMenu\\Debugger=Boolean:true\r\nA\\Bad=Integer:12x\r\n"
           "A\\Huge=Integer:99999999999\r\nA\\F=Float:1,5e\r\nA\\D=Date:someday\r\nA\\S=Odd:50%%\r\n");
  SettingsStore s = Reloaded();
  EXPECT_EQ(s.Read("", "programcount", Value::Int(0)).i(), 3);
  EXPECT_EQ(s.Read("", "PROGRAMCOUNT", Value::Int(0)).i(), 3);
  EXPECT_FALSE(s.Read("menu", "debugger", Value::Bool(true)).b());  // only "True" is true
  EXPECT_EQ(s.Read("A", "Bad", Value::Int(-1)).i(), -1);
  EXPECT_EQ(s.Read("A", "Huge", Value::Int(-1)).i(), -1);
  EXPECT_EQ(s.Read("A", "F", Value::Int(-1)).i(), -1);
  EXPECT_EQ(s.Read("A", "D", Value::Int(-1)).i(), -1);
  EXPECT_EQ(s.Read("A", "S", Value()).str(), "50%");  // any other type is a string
  EXPECT_EQ(s.Read("Program0", "Caption", Value::Str("Program0")).str(), "Program0");
}

TEST_F(StoreFile, WriteReplacesInPlaceAppendsAndDeletes) {
  tree.Put("Plugins/Kesrel.ini", "\\Output=String:Draft\r\nmenu\\debugger=Boolean:False\r\n\\ActivePage=Integer:1\r\n");
  SettingsStore s = Reloaded();
  s.Write("Menu", "Debugger", Value::Bool(true));  // keeps its place, takes the new spelling
  s.Write("New", "Key", Value::Str("v"));          // goes to the end
  s.Write("", "Output", Value::Str(""));           // an empty value deletes
  s.Write("", "ActivePage", Value::Null());
  s.Write("", "Missing", Value());  // deleting nothing is fine
  ASSERT_TRUE(s.Save());
  EXPECT_EQ(tree.Get("Plugins/Kesrel.ini"), "Menu\\Debugger=Boolean:True\r\nNew\\Key=String:v\r\n");
}

TEST_F(StoreFile, KindsTheFileCannotHoldLeaveTheEntryAlone) {
  tree.Put("Plugins/Kesrel.ini", "A\\X=Integer:5\r\n");
  SettingsStore s = Reloaded();
  s.Write("A", "X", Value::Cur(12345));
  EXPECT_EQ(s.Read("A", "X", Value()).i(), 5);
  s.Write("A", "Y", Value::ByteVal(3));
  EXPECT_EQ(s.Text(), "A\\X=Integer:5\r\nA\\Y=:\r\n");
}

TEST_F(StoreFile, LinesAreSplitAtTheFirstSeparators) {
  // Lone CR and LF end lines too; a line without "=" or ":" is taken whole.
  tree.Put("Plugins/Kesrel.ini", "A\\B=String:x=y:z\rplain\n\\C=Integer\r\n表\\キー=String:値");
  SettingsStore s = Reloaded();
  ASSERT_EQ(s.Count(), 4u);
  EXPECT_EQ(s.Read("A", "B", Value()).str(), "x=y:z");
  EXPECT_EQ(s.Names()[1], "plain");
  EXPECT_EQ(s.Types()[1], "plain");
  EXPECT_EQ(s.Types()[2], "Integer");
  EXPECT_EQ(s.ValueTexts()[2], "Integer");
  EXPECT_EQ(s.Read("", "C", Value::Int(7)).i(), 7);
  EXPECT_EQ(s.Read("表", "キー", Value()).str(), "値");
}

TEST_F(StoreFile, MissingFileGivesAnEmptyStoreAndSaveCreatesIt) {
  tree.MakeDir("Plugins");
  SettingsStore s = Reloaded();
  EXPECT_EQ(s.Count(), 0u);
  s.Write("", "ProgramCount", Value::Int(0));
  ASSERT_TRUE(s.Save());
  EXPECT_EQ(tree.Get("Plugins/Kesrel.ini"), "\\ProgramCount=Integer:0\r\n");
}

TEST_F(StoreFile, FailedSaveKeepsThePreviousFile) {
  const std::string before = "Program0\\Body=String:keep me\r\n";
  tree.Put("Plugins/Kesrel.ini", before);
  SettingsStore s = Reloaded();
  s.Write("Program0", "Body", Value::Str(std::string(200000, 'x')));

#ifdef _WIN32
  // Another program holds the file open: it cannot be replaced.
  HANDLE h = CreateFileA(tree.Native("Plugins/Kesrel.ini").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  bool saved = s.Save();
  CloseHandle(h);
#else
  // The disk fills up half-way through the write.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool saved = s.Save();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
#endif

  EXPECT_FALSE(saved);
  EXPECT_EQ(tree.Get("Plugins/Kesrel.ini"), before);
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(tree.Native("Plugins"))) files += e.is_regular_file();
  EXPECT_EQ(files, 1) << "the temporary file is removed";

  // A folder that is gone: nothing written, failure reported.
  SettingsStore lost;
  lost.Load(tree.Win("NoSuchFolder/Kesrel.ini"));
  lost.Write("A", "B", Value::Int(1));
  EXPECT_FALSE(lost.Save());
}

// A settings file that is there but cannot be read (locked, a bad sector).
class UnreadableFiles : public FileAccess {
 public:
  bool FileExists(const std::string&) override { return true; }
  std::optional<std::string> ReadAll(const std::string&) override { return std::nullopt; }
  bool ReplaceContents(const std::string&, const std::string&) override { return ++writes, true; }
  std::string CreateTempFile(const std::string&, const std::string&, const std::string&) override { return ""; }
  bool RemoveFile(const std::string&) override { return false; }
  bool CreateFolder(const std::string&) override { return false; }
  std::optional<std::string> StoredFolderName(const std::string&) override { return std::nullopt; }
  int writes = 0;
};

TEST(StoreLoad, AFileThatCannotBeReadIsNeverOverwritten) {
  UnreadableFiles files;
  SettingsStore s(files);
  s.Load("C:\\AL-Mail\\Plugins\\Kesrel.ini");
  EXPECT_EQ(s.Count(), 0u);
  EXPECT_EQ(s.Read("", "ProgramCount", Value::Int(0)).i(), 0);
  s.Write("", "ProgramCount", Value::Int(0));
  EXPECT_FALSE(s.Save());
  EXPECT_EQ(files.writes, 0);
}

}  // namespace
}  // namespace tam

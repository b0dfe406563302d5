#include "cli/settings_cmd.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/platform.h"
#include "tests/settings/temp_tree.h"

namespace tam {
namespace {

struct Result {
  int code;
  std::string out, err;
};

Result Tool(std::vector<std::string> args) {
  std::ostringstream out, err;
  int code = cli::SettingsCommand(args, out, err);
  return {code, out.str(), err.str()};
}

class SettingsCommand : public ::testing::Test {
 protected:
  test::TempTree tree;
  std::string ini = tree.Native("Kesrel.ini");
};

TEST_F(SettingsCommand, SetThenGetEveryKind) {
  EXPECT_EQ(Tool({"set", ini, "\\ProgramCount", "Integer", "2"}).code, 0);
  EXPECT_EQ(Tool({"set", ini, "Menu\\Debugger", "Boolean", "true"}).code, 0);
  EXPECT_EQ(Tool({"set", ini, "A\\F", "Float", "0.1"}).code, 0);
  EXPECT_EQ(Tool({"set", ini, "A\\D", "date", "2024/02/29 07:05:09"}).code, 0);
  EXPECT_EQ(Tool({"set", ini, "Program0\\Body", "String", "A%B\nC"}).code, 0);
  EXPECT_EQ(tree.Get("Kesrel.ini"),
            "\\ProgramCount=Integer:2\r\nMenu\\Debugger=Boolean:True\r\nA\\F=Float:0.1\r\n"
            "A\\D=Date:2024/02/29 07:05:09\r\nProgram0\\Body=String:A%%B%0D%0AC\r\n");

  EXPECT_EQ(Tool({"get", ini, "\\programcount"}).out, "2\n");
  EXPECT_EQ(Tool({"get", ini, "ProgramCount"}).out, "2\n");  // no section: the leading backslash is implied
  EXPECT_EQ(Tool({"get", ini, "Menu\\Debugger"}).out, "True\n");
  EXPECT_EQ(Tool({"get", ini, "A\\F"}).out, "0.1\n");
  EXPECT_EQ(Tool({"get", ini, "A\\D"}).out, "2024/02/29 07:05:09\n");
  EXPECT_EQ(Tool({"get", ini, "Program0\\Body"}).out, "A%B\nC\n");
  Result none = Tool({"get", ini, "Program9\\Body"});
  EXPECT_EQ(none.code, 1);
  EXPECT_EQ(none.out, "");

  EXPECT_EQ(Tool({"set", ini, "A\\F", "Float", ""}).code, 0);  // deletes
  EXPECT_EQ(Tool({"get", ini, "A\\F"}).code, 1);
}

TEST_F(SettingsCommand, Utf8OnTheCommandLineShiftJisInTheFile) {
  EXPECT_EQ(Tool({"--utf8", "set", ini, "\xe8\xa1\xa8\\Key", "String", "\xe8\xa1\xa8\xe7\xa4\xba"}).code, 0);
  EXPECT_EQ(tree.Get("Kesrel.ini"), "表\\Key=String:表示\r\n");
  EXPECT_EQ(Tool({"get", ini, "表\\Key"}).out, "表示\n");
  EXPECT_EQ(Tool({"get", "--utf8", ini, "\xe8\xa1\xa8\\Key"}).out, "\xe8\xa1\xa8\xe7\xa4\xba\n");
}

TEST_F(SettingsCommand, BadUsageAndBadValues) {
  EXPECT_EQ(Tool({}).code, 2);
  EXPECT_EQ(Tool({"get", ini}).code, 2);
  EXPECT_EQ(Tool({"set", ini, "A\\B", "Currency", "1"}).code, 2);
  EXPECT_EQ(Tool({"set", ini, "A\\B", "Integer", "1.5"}).code, 2);
  EXPECT_EQ(Tool({"set", ini, "A\\B", "Boolean", "maybe"}).code, 2);
  EXPECT_EQ(Tool({"set", ini, "A\\B", "Date", "someday"}).code, 2);
  EXPECT_FALSE(tree.Has("Kesrel.ini")) << "nothing is written for a bad value";
  Result help = Tool({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("export"), std::string::npos);
  EXPECT_EQ(Tool({"set", tree.Native("no/such/dir/Kesrel.ini"), "A\\B", "Integer", "1"}).code, 1);
}

TEST_F(SettingsCommand, ProgramsExportAndImportAsPlainFiles) {
  tree.Put("Kesrel.ini",
           "\\ProgramCount=Integer:2\r\nProgram0\\Caption=String:返信\r\n"
           "Program0\\Body=String:Reply \"%%\"%0D%0AEND\r\nProgram0\\Option=String:A%0D%0AB\r\n"
           "Program1\\Body=String:x\r\nMenu\\Debugger=Boolean:True\r\n");
  std::string dir = tree.Native("progs");
  tree.Put("progs/Program2.tam", "stale");
  Result r = Tool({"export", ini, dir});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(tree.Get("progs/Program0.tam"), "Reply \"%\"\r\nEND");
  EXPECT_EQ(tree.Get("progs/Program0.caption.txt"), "返信\r\n");
  EXPECT_EQ(tree.Get("progs/Program0.option.txt"), "A\r\nB\r\n");
  EXPECT_EQ(tree.Get("progs/Program1.caption.txt"), "Program1\r\n");  // the default caption
  EXPECT_EQ(tree.Get("progs/Program2.tam"), "stale") << "export deletes nothing it did not write";
  EXPECT_NE(r.err.find("Program2.tam is no program of"), std::string::npos) << r.err;
  std::filesystem::remove(tree.Native("progs/Program2.tam"));  // as the message suggests

  // Edited in a UTF-8 editor with LF line ends, and one program fewer.
  ASSERT_EQ(Tool({"--utf8", "export", ini, dir}).code, 0);
  EXPECT_EQ(tree.Get("progs/Program0.caption.txt"), "\xe8\xbf\x94\xe4\xbf\xa1\n");
  tree.Put("progs/Program0.tam", "Reply \"\xe3\x81\xaf\xe3\x81\x84\"\nEND\n");
  std::filesystem::remove(tree.Native("progs/Program1.tam"));
  r = Tool({"--utf8", "import", ini, dir});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(tree.Get("Kesrel.ini"),
            "\\ProgramCount=Integer:1\r\nProgram0\\Caption=String:返信\r\n"
            "Program0\\Body=String:Reply \"はい\"%0D%0AEND%0D%0A\r\nProgram0\\Option=String:A%0D%0AB%0D%0A\r\n"
            "Menu\\Debugger=Boolean:True\r\n");

  EXPECT_EQ(Tool({"import", ini, tree.Native("empty")}).code, 1);
  EXPECT_EQ(Tool({"export", tree.Native("none.ini"), dir}).code, 1);
}

TEST_F(SettingsCommand, ExportDeletesNothingItDidNotWrite) {
  tree.Put("Kesrel.ini", "\\ProgramCount=Integer:1\r\nProgram0\\Body=String:A\r\n");
  tree.Put("progs/Program1.tam", "mine");
  tree.Put("progs/Program3.tam", "just added");
  Result r = Tool({"export", ini, tree.Native("progs")});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(tree.Get("progs/Program1.tam"), "mine");
  EXPECT_EQ(tree.Get("progs/Program3.tam"), "just added");
  EXPECT_NE(r.err.find("Program1.tam is no program of"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Program3.tam"), std::string::npos) << r.err;
  // From an empty settings file nothing at all goes.
  tree.Put("empty.ini", "");
  EXPECT_EQ(Tool({"export", tree.Native("empty.ini"), tree.Native("progs")}).code, 0);
  EXPECT_EQ(tree.Get("progs/Program0.tam"), "A");
}

TEST_F(SettingsCommand, ExportRefusesMoreProgramsThanImportTakesBack) {
  std::string ini150 = "\\ProgramCount=Integer:150\r\n";
  for (int n = 0; n < 150; ++n)
    ini150 += "Program" + std::to_string(n) + "\\Body=String:P" + std::to_string(n) + "\r\n";
  tree.Put("Kesrel.ini", ini150);
  Result r = Tool({"export", ini, tree.Native("progs")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("ProgramCount=150, but the menus show at most 100"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("nothing was exported"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(tree.Native("progs/Program0.tam")));
  // The way out it names works, and the rest of the file stays.
  ASSERT_EQ(Tool({"set", ini, "\\ProgramCount", "Integer", "100"}).code, 0);
  r = Tool({"export", ini, tree.Native("progs")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(tree.Get("progs/Program99.tam"), "P99");
  EXPECT_EQ(Tool({"get", ini, "Program149\\Body"}).out, "P149\n");
}

TEST_F(SettingsCommand, ImportIsAllOrNothing) {
  const std::string before = "\\ProgramCount=Integer:1\r\nProgram0\\Body=String:keep\r\n";
  tree.Put("Kesrel.ini", before);
  std::string dir = tree.Native("in");
  const auto refused = [&](const std::string& what, const std::string& message) {
    Result r = Tool({"import", ini, dir});
    EXPECT_EQ(r.code, 1) << what;
    EXPECT_NE(r.err.find(message), std::string::npos) << what << ": " << r.err;
    EXPECT_EQ(tree.Get("Kesrel.ini"), before) << what;
  };
  tree.Put("in/Program0.tam", "A = 1\r\n");
  tree.Put("in/Program2.tam", "B = 2\r\n");
  refused("gap", "Program1.tam is missing, but");
  tree.Put("in/Program1.tam", "C = \x81\r\n");
  refused("lead byte without trail", "Program1.tam line 1 is no Shift-JIS text");
  tree.Put("in/Program1.tam", "C = 3\r\n");
  tree.Put("in/Program1.caption.txt", "one\r\ntwo\r\n");
  refused("two-line caption", "Program1.caption.txt holds more than one line");
  tree.Put("in/Program1.caption.txt", "one\r\n");
  std::string many;
  for (int i = 0; i < 100; ++i) many += "o" + std::to_string(i) + "\r\n";
  tree.Put("in/Program1.option.txt", many);
  refused("too many option lines", "holds 100 option lines");
  tree.Put("in/Program1.option.txt", "x\r\n");
  tree.Put("in/Program100.tam", "");
  refused("too many programs", "Program100.tam: the menus show at most 100");
  std::filesystem::remove(tree.Native("in/Program100.tam"));
  tree.Put("in/Program1.tam", "C = \"\x82\xA0\"\r\n");
  EXPECT_EQ(Tool({"import", ini, dir}).code, 0) << "Shift-JIS by default";
  tree.Put("Kesrel.ini", before);
  Result utf8 = Tool({"--utf8", "import", ini, dir});
  EXPECT_EQ(utf8.code, 1);  // Shift-JIS bytes are no UTF-8
  EXPECT_NE(utf8.err.find("Program1.tam line 1 is no UTF-8 text"), std::string::npos) << utf8.err;
  EXPECT_EQ(tree.Get("Kesrel.ini"), before);

  // A parse error and the check's warnings are told, not refused.
  tree.Put("in/Program2.tam", "\xEF\xBB\xBFIF X\n");
  tree.Put("in/Program1.tam", "C = 3\nFOR I = 1 TO 500\nNEXT\n");
  Result r = Tool({"--utf8", "import", ini, dir});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("Program2.tam: Mismatch on line 1."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Program1.tam:2: warning: this loop would make 500 passes"), std::string::npos) << r.err;
  EXPECT_NE(tree.Get("Kesrel.ini").find("Program2\\Body=String:IF X%0D%0A\r\n"), std::string::npos)
      << "the byte-order mark is dropped";
  // UTF-8 read as Shift-JIS is named.
  tree.Put("in/Program1.tam", "S = \"\xE6\x97\xA5\xE6\x9C\xAC\"\n");  // also Shift-JIS bytes
  r = Tool({"import", ini, dir});
  EXPECT_NE(r.err.find("Program1.tam: warning: this looks like UTF-8 text"), std::string::npos) << r.err;
  tree.Put("in/Program1.tam", "S = \"\xE3\x81\xAF\xE3\x81\x84\"\n");  // no Shift-JIS
  r = Tool({"import", ini, dir});
  EXPECT_NE(r.err.find("line 1 is no Shift-JIS text; it looks like UTF-8: give --utf8"), std::string::npos) << r.err;
}

TEST_F(SettingsCommand, SetLeavesFilesAloneThatASaveWouldChange) {
  const std::string dll = std::string("MZ\x90\0\x03\0\0\0\x04\0", 10) + "\r\nPE\0\0";
  tree.Put("Kesrel.dll", dll);
  Result r = Tool({"set", tree.Native("Kesrel.dll"), "A\\B", "Integer", "1"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("line 1 would not come back unchanged"), std::string::npos) << r.err;
  EXPECT_EQ(tree.Get("Kesrel.dll"), dll);
  const std::string commented = "A\\B=Integer:1\r\n; note\r\n\r\nC=x\r\n";
  tree.Put("Kesrel.ini", commented);
  r = Tool({"set", ini, "A\\B", "Integer", "2"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("line 2 would not come back unchanged"), std::string::npos) << r.err;
  EXPECT_EQ(tree.Get("Kesrel.ini"), commented);
  for (const char* bad : {"", "A\\", "A=B\\C", "A\\B\nC"}) {
    r = Tool({"set", tree.Native("new.ini"), bad, "Integer", "1"});
    EXPECT_EQ(r.code, 2) << bad;
    EXPECT_NE(r.err.find("is no entry name"), std::string::npos) << bad;
  }
  EXPECT_FALSE(tree.Has("new.ini"));
  // A file with LF line ends keeps its lines: it is saved.
  tree.Put("lf.ini", "A\\B=Integer:1\n");
  EXPECT_EQ(Tool({"set", tree.Native("lf.ini"), "A\\C", "Integer", "2"}).code, 0);
}

TEST_F(SettingsCommand, GetSaysWhyItFails) {
  Result r = Tool({"get", tree.Native("none.ini"), "A\\B"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no settings file"), std::string::npos) << r.err;
  tree.Put("dir/x", "");
  r = Tool({"get", tree.Native("dir"), "A\\B"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("is a folder"), std::string::npos) << r.err;
  tree.Put("Kesrel.ini", "A\\B=Integer:1\r\n");
  r = Tool({"get", ini, "A\\C"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("has no entry A\\C"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tam

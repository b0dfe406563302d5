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
  EXPECT_FALSE(tree.Has("progs/Program2.tam"));

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

}  // namespace
}  // namespace tam

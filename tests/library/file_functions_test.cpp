// The file and folder functions on real temporary trees.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "engine/calendar.h"
#include "engine/failure.h"
#include "tests/library/file_tree.h"

namespace tam {
namespace {

using test::Arg;
using test::Call;
using test::Call1;
using test::FileTree;
using test::Names;

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

std::string Sub(const std::string& a, const std::string& b) { return a + os::kPathDelimiter + b; }

TEST(FileFunctions, FilesByMaskList) {
  FileTree t;
  for (const char* f : {"a.txt", "b.log", "C.TXT", "readme", "readme.txt", "notes.md", ".hidden"}) t.File(f);
  t.Folder("sub.txt");
  const auto txtLog = Sorted(Names(Call("FILES", {Arg(t.Path()), Arg("*.txt;*.log")})));
  EXPECT_EQ(txtLog, (std::vector<std::string>{"C.TXT", "a.txt", "b.log", "readme.txt"}));
  // A final delimiter and blanks around the masks change nothing.
  EXPECT_EQ(Sorted(Names(Call("FILES", {Arg(t.Path() + os::kPathDelimiter), Arg(" *.txt; *.log ")}))), txtLog);
  // "readme.*" also takes the name without an extension.
  EXPECT_EQ(Sorted(Names(Call("FILES", {Arg(t.Path()), Arg("readme.*")}))),
            (std::vector<std::string>{"readme", "readme.txt"}));
  // Every file, hidden ones too, but no folder.
  EXPECT_EQ(Names(Call("FILES", {Arg(t.Path())})).size(), 7u);
  EXPECT_TRUE(Names(Call("FILES", {Arg(t.Path()), Arg("")})).empty());
  EXPECT_TRUE(Names(Call("FILES", {Arg(t.Path("missing"))})).empty());
  bool ok = true;
  Call("FILES", {}, &ok);
  EXPECT_FALSE(ok);
  EXPECT_THROW(Call("FILES", {Arg(t.Path()), Arg("*.txt;[a")}), EngineFault);
}

TEST(FileFunctions, DirectoriesWalkEachSubtreeAfterItsFolder) {
  FileTree t;
  t.Folder("x/y/deep");
  t.Folder("z");
  t.Folder(".git/inner");
  t.File("x/file.txt");
  const auto all = Names(Call("DIRECTORIES", {Arg(t.Path()), Arg("*"), Value::Bool(true)}));
  ASSERT_EQ(Sorted(all), (std::vector<std::string>{"x", Sub("x", "y"), Sub(Sub("x", "y"), "deep"), "z"}));
  const auto x = std::find(all.begin(), all.end(), "x") - all.begin();
  EXPECT_EQ(all[x + 1], Sub("x", "y"));
  EXPECT_EQ(all[x + 2], Sub(Sub("x", "y"), "deep"));
  // Without recursion only the first level; the default mask takes all.
  EXPECT_EQ(Sorted(Names(Call("DIRECTORIES", {Arg(t.Path())}))), (std::vector<std::string>{"x", "z"}));
  // The walk goes through folders whose names do not match.
  EXPECT_EQ(Names(Call("DIRECTORIES", {Arg(t.Path()), Arg("d*"), Value::Bool(true)})),
            (std::vector<std::string>{Sub(Sub("x", "y"), "deep")}));
}

#ifndef _WIN32
// Links that lead back up the tree are listed but not entered again, so the
// walk ends; two of them in one folder do not multiply the work either.
TEST(FileFunctions, DirectoriesStopAtFolderCycles) {
  FileTree t;
  t.Folder("a/b");
  std::filesystem::create_directory_symlink(t.Native(""), t.Native("a/b/up"));
  std::filesystem::create_directory_symlink(t.Native("a"), t.Native("a/b/up2"));
  std::filesystem::create_directory_symlink(t.Native("a/b"), t.Native("a/b/self"));
  const auto all = Sorted(Names(Call("DIRECTORIES", {Arg(t.Path()), Arg("*"), Value::Bool(true)})));
  EXPECT_EQ(all, (std::vector<std::string>{"a", "a/b", "a/b/self", "a/b/up", "a/b/up2"}));
}
#endif

TEST(FileFunctions, TestsOnFilesAndFolders) {
  FileTree t;
  t.File("data.bin", std::string(1234, 'x'));
  t.Folder("dir");
  const std::string file = t.Path("data.bin"), dir = t.Path("dir"), missing = t.Path("missing");
  EXPECT_TRUE(Call1("FILEEXISTS", {Arg(file)}).b());
  EXPECT_FALSE(Call1("FILEEXISTS", {Arg(dir)}).b());
  EXPECT_TRUE(Call1("DIRECTORYEXISTS", {Arg(dir)}).b());
  EXPECT_FALSE(Call1("DIRECTORYEXISTS", {Arg(file)}).b());
  EXPECT_FALSE(Call1("FILEEXISTS", {Arg(missing)}).b());
  // Wildcards: the first entry found counts.
  EXPECT_TRUE(Call1("FILEEXISTS", {Arg(t.Path("d?ta.*"))}).b());
  EXPECT_EQ(Call1("FILESIZE", {Arg(t.Path("*.bin"))}).i(), 1234);
  EXPECT_EQ(Call("FILESIZE", {Arg(file), Arg(dir), Arg(missing)}).items()[1].i(), -1);
  EXPECT_EQ(Call("FILESIZE", {Arg(file), Arg(dir), Arg(missing)}).items()[2].i(), -1);
  EXPECT_EQ(Call1("FILEATTRIBUTE", {Arg(missing)}).i(), -1);
  EXPECT_TRUE(Call1("FILEATTRIBUTE", {Arg(dir)}).i() & os::faDirectory);
  EXPECT_FALSE(Call1("FILEATTRIBUTE", {Arg(file)}).i() & (os::faDirectory | os::faReadOnly));
}

TEST(FileFunctions, AttributesAndReadOnlyFiles) {
  FileTree t;
  t.File("f");
  const std::string f = t.Path("f");
  EXPECT_TRUE(Call("FILESETATTRIBUTE", {Arg(f), Value::Int(os::faReadOnly)}).isEmpty());
  EXPECT_TRUE(Call1("FILEATTRIBUTE", {Arg(f)}).i() & os::faReadOnly);
  EXPECT_FALSE(Call1("DELETEFILE", {Arg(f)}).b());
  Call("FILESETATTRIBUTE", {Arg(f), Value::Int(os::faArchive)});
  EXPECT_FALSE(Call1("FILEATTRIBUTE", {Arg(f)}).i() & os::faReadOnly);
  EXPECT_TRUE(Call1("DELETEFILE", {Arg(f)}).b());
  bool ok = true;
  Call("FILESETATTRIBUTE", {Arg(f), Value::Int(0)}, &ok);
  EXPECT_FALSE(ok);
  Call("FILESETATTRIBUTE", {Arg(f)}, &ok);
  EXPECT_FALSE(ok);
}

TEST(FileFunctions, UpdateTimeInTwoSecondSteps) {
  FileTree t;
  t.File("f");
  namespace fs = std::filesystem;
  // Give the file an odd second: the result is the even second before it.
  auto when = std::chrono::floor<std::chrono::seconds>(fs::last_write_time(t.Native("f")));
  if (when.time_since_epoch().count() % 2 == 0) when -= std::chrono::seconds(1);
  fs::last_write_time(t.Native("f"), when);
  const LocalTime now = platform().Now();
  const Value d = Call1("FILEUPDATEDDATETIME", {Arg(t.Path("f"))});
  ASSERT_EQ(d.type(), vtDate);
  int h, m, s, ms;
  DecodeTime(d.d(), h, m, s, ms);
  EXPECT_EQ(s % 2, 0);
  EXPECT_EQ(ms, 0);
  double today, clock;
  ASSERT_TRUE(EncodeDate(now.year, now.month, now.day, today) &&
              EncodeTime(now.hour, now.minute, now.second, 0, clock));
  EXPECT_NEAR(d.d(), today + clock, 5.0 / 86400);
  // A folder or a missing file fails the call; later arguments are left.
  bool ok = true;
  const Value r = Call("FILEUPDATEDDATETIME", {Arg(t.Path("f")), Arg(t.Path()), Arg(t.Path("f"))}, &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(r.items().size(), 1u);
}

TEST(FileFunctions, CreateRemoveRenameAndDelete) {
  FileTree t;
  t.File("dir/inside");
  EXPECT_TRUE(Call1("CREATEDIR", {Arg(t.Path("new"))}).b());
  EXPECT_FALSE(Call1("CREATEDIR", {Arg(t.Path("new"))}).b());
  EXPECT_FALSE(Call1("CREATEDIR", {Arg(t.Path("no/parent"))}).b());
  EXPECT_FALSE(Call1("REMOVEDIR", {Arg(t.Path("dir"))}).b());
  EXPECT_FALSE(Call1("DELETEFILE", {Arg(t.Path("dir"))}).b());
  EXPECT_TRUE(Call1("REMOVEDIR", {Arg(t.Path("new"))}).b());
  // A rename never replaces an existing target.
  t.File("a", "A");
  t.File("b", "B");
  EXPECT_FALSE(Call1("RENAMEFILE", {Arg(t.Path("a")), Arg(t.Path("b"))}).b());
  EXPECT_TRUE(Call1("RENAMEFILE", {Arg(t.Path("a")), Arg(t.Path("dir/moved"))}).b());
  EXPECT_TRUE(t.Has("dir/moved"));
  EXPECT_TRUE(Call1("RENAMEFILE", {Arg(t.Path("dir")), Arg(t.Path("dir2"))}).b());
  EXPECT_TRUE(t.Has("dir2/inside"));
  EXPECT_FALSE(Call1("DELETEFILE", {Arg(t.Path("nothing"))}).b());
}

TEST(FileFunctions, ForceDirectories) {
  FileTree t;
  EXPECT_TRUE(Call("FORCEDIRECTORIES", {Arg(t.Path("a/b/c")), Arg(t.Path("d/")), Arg(t.Path("a/b/c"))}).isEmpty());
  EXPECT_TRUE(t.Has("a/b/c"));
  EXPECT_TRUE(t.Has("d"));
  try {
    Call("FORCEDIRECTORIES", {Arg("")});
    ADD_FAILURE() << "no fault";
  } catch (const EngineFault& e) {
    EXPECT_STREQ(e.what(), "ﾃﾞｨﾚｸﾄﾘを作成することができません");
  }
  // A relative path is made below the current folder.
  const std::string before = os::CurrentFolder();
  ASSERT_TRUE(os::SetCurrentFolder(t.Path()));
  Call("FORCEDIRECTORIES", {Arg("r"), Arg(Sub("rel", "x"))});
  os::SetCurrentFolder(before);
  EXPECT_TRUE(t.Has("r"));
  EXPECT_TRUE(t.Has("rel/x"));
}

TEST(FileFunctions, CurrentFolderAndFullPaths) {
  FileTree t;
  t.Folder("sub");
  const std::string before(test::CallEmpty("CURRENTDIR").str());
  EXPECT_TRUE(Call("SETCURRENTDIR", {Arg(t.Path("sub"))}).isEmpty());
  const std::string here(test::CallEmpty("CURRENTDIR").str());
  EXPECT_EQ(Call1("CURRENTDIROFDRIVE", {Value::Int(0)}).str(), here);
  EXPECT_EQ(
      Call1("EXPANDFILENAME", {Arg(std::string("x") + os::kPathDelimiter + ".." + os::kPathDelimiter + "y")}).str(),
      Sub(here, "y"));
  EXPECT_EQ(Call1("EXPANDFILENAME", {Arg("..")}).str(), here.substr(0, here.rfind(os::kPathDelimiter)));
  bool ok = true;
  Call("SETCURRENTDIR", {Arg(t.Path("missing"))}, &ok);
  EXPECT_FALSE(ok);
  EXPECT_THROW(Call("CURRENTDIROFDRIVE", {Arg(" ")}), VariantError);
  Call("SETCURRENTDIR", {Arg(before)});
  EXPECT_EQ(os::CurrentFolder(), before);
}

}  // namespace
}  // namespace tam

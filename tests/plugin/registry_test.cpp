#include "plugin/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <tuple>

namespace tam {
namespace {

class FakeRegistry : public RegistryAccess {
 public:
  std::optional<RegistryData> Query(RegistryRoot root, const std::string& key, const std::string& name) override {
    asked.emplace_back(root, key);
    auto it = values.find({root, key, name});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void Put(RegistryRoot root, const std::string& key, const std::string& name, std::uint32_t type,
           const std::string& bytes) {
    values[{root, key, name}] = RegistryData{type, bytes};
  }
  std::map<std::tuple<RegistryRoot, std::string, std::string>, RegistryData> values;
  std::vector<std::pair<RegistryRoot, std::string>> asked;
};

template <class T>
std::string Bytes(T v) {
  std::string s(sizeof v, '\0');
  std::memcpy(&s[0], &v, sizeof v);
  return s;
}

const std::string kProduct = "Software\\Zembra Lab\\Tamberlo for AL-Mail";

TEST(RegistryValue, KeyPathsNameTheRootOrTheProductKey) {
  FakeRegistry r;
  ReadRegistryValue(r, "Options", "Common", Value::Bool(true));
  ReadRegistryValue(r, "", "Version", Value::Str(""));
  ReadRegistryValue(r, "\\hkey_local_machine\\SOFTWARE\\CREAR\\AL-Mail", "InstallPath", Value::Str(""));
  ReadRegistryValue(r, "\\HKEY_DYN_DATA\\X", "v", Value::Str(""));
  ReadRegistryValue(r, "\\HKEY_NOWHERE\\X", "v", Value::Str(""));  // never asked
  ASSERT_EQ(r.asked.size(), 4u);
  EXPECT_EQ(r.asked[0], std::make_pair(RegistryRoot::kCurrentUser, kProduct + "\\Options"));
  EXPECT_EQ(r.asked[1], std::make_pair(RegistryRoot::kCurrentUser, kProduct));
  EXPECT_EQ(r.asked[2], std::make_pair(RegistryRoot::kLocalMachine, std::string("SOFTWARE\\CREAR\\AL-Mail")));
  EXPECT_EQ(r.asked[3], std::make_pair(RegistryRoot::kDynData, std::string("X")));
}

TEST(RegistryValue, DataIsReadInTheDefaultsKind) {
  FakeRegistry r;
  auto cu = RegistryRoot::kCurrentUser;
  r.Put(cu, kProduct, "dword", kRegDword, Bytes<std::int32_t>(-5));
  r.Put(cu, kProduct, "text7", kRegString, std::string("7\0", 2));
  r.Put(cu, kProduct, "expand", kRegExpandString, "C:\\x");
  r.Put(cu, kProduct, "dbl", kRegBinary, Bytes(2.5));
  r.Put(cu, kProduct, "cur", kRegBinary, Bytes<std::int64_t>(15000));
  r.Put(cu, kProduct, "byte", kRegBinary, std::string("\x09", 1));
  r.Put(cu, kProduct, "false", kRegString, "false");
  r.Put(cu, kProduct, "zero", kRegString, "0");
  r.Put(cu, kProduct, "no", kRegString, "no");
  r.Put(cu, kProduct, "date", kRegString, "2020/01/02");
  r.Put(cu, kProduct, "junk", kRegString, "abc");

  EXPECT_EQ(ReadRegistryValue(r, "", "dword", Value::Int(0)).i(), -5);
  EXPECT_EQ(ReadRegistryValue(r, "", "text7", Value::Small(0)).i(), 7);
  EXPECT_EQ(ReadRegistryValue(r, "", "expand", Value::Str("")).str(), "C:\\x");
  EXPECT_EQ(ReadRegistryValue(r, "", "dbl", Value::Dbl(0)).d(), 2.5);
  EXPECT_EQ(ReadRegistryValue(r, "", "text7", Value::Dbl(0)).d(), 7);
  EXPECT_EQ(ReadRegistryValue(r, "", "cur", Value::Cur(0)).cy(), 15000);
  EXPECT_EQ(ReadRegistryValue(r, "", "byte", Value::ByteVal(0)).u8(), 9);
  EXPECT_FALSE(ReadRegistryValue(r, "", "false", Value::Bool(true)).b());
  EXPECT_FALSE(ReadRegistryValue(r, "", "zero", Value::Bool(true)).b());
  EXPECT_TRUE(ReadRegistryValue(r, "", "no", Value::Bool(false)).b());  // anything else is true
  EXPECT_TRUE(ReadRegistryValue(r, "", "dword", Value::Bool(false)).b());
  EXPECT_EQ(ReadRegistryValue(r, "", "date", Value::DateVal(0)).type(), vtDate);

  // Wrong data types and failed conversions give the default.
  EXPECT_EQ(ReadRegistryValue(r, "", "dword", Value::Str("d")).str(), "d");
  EXPECT_EQ(ReadRegistryValue(r, "", "text7", Value::Cur(1)).cy(), 1);
  EXPECT_EQ(ReadRegistryValue(r, "", "dbl", Value::Int(3)).i(), 3);
  EXPECT_EQ(ReadRegistryValue(r, "", "junk", Value::Int(3)).i(), 3);
  EXPECT_EQ(ReadRegistryValue(r, "", "junk", Value::DateVal(4)).d(), 4);
  EXPECT_EQ(ReadRegistryValue(r, "", "missing", Value::Int(8)).i(), 8);
}

TEST(RegistryValue, ThisBuildsRegistryHasNothing) {
#ifndef _WIN32
  EXPECT_TRUE(ReadRegistryValue(NativeRegistry(), "Options", "Common", Value::Bool(true)).b());
  EXPECT_EQ(ReadRegistryValue(NativeRegistry(), "\\HKEY_CURRENT_USER\\Software", "x", Value::Int(4)).i(), 4);
#endif
}

}  // namespace
}  // namespace tam

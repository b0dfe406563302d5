// A temporary folder tree for one test, removed afterwards, and a caller of
// built-in functions for the file family's tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "library/library.h"
#include "platform/platform.h"

namespace tam::test {

class FileTree {
 public:
  FileTree() {
    namespace fs = std::filesystem;
    static int serial = 0;
    for (;;) {
      const fs::path p = fs::temp_directory_path() / ("tamfiles" + std::to_string(std::random_device()() % 1000000) +
                                                      "_" + std::to_string(++serial));
      if (fs::create_directory(p)) {
        root_ = p;
        break;
      }
    }
  }
  ~FileTree() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(root_, ec))
      fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(root_, ec);
  }
  // The path of rel ("a/b.txt") below the root in the platform's form; the
  // root itself for "".
  std::string Path(const std::string& rel = "") const {
    std::string p = root_.string();
    if (!rel.empty()) p += os::kPathDelimiter + rel;
    for (char& c : p)
      if (c == '/' || c == '\\') c = os::kPathDelimiter;
    return p;
  }
  std::filesystem::path Native(const std::string& rel) const { return root_ / rel; }
  void File(const std::string& rel, const std::string& bytes = "x") const {
    std::filesystem::create_directories(Native(rel).parent_path());
    std::ofstream(Native(rel), std::ios::binary) << bytes;
  }
  void Folder(const std::string& rel) const { std::filesystem::create_directories(Native(rel)); }
  bool Has(const std::string& rel) const { return std::filesystem::exists(Native(rel)); }

 private:
  std::filesystem::path root_;
};

inline Value Arg(const std::string& s) { return Value::Str(s); }

// Calls a built-in function with these arguments; ok receives its success.
inline Value Call(const std::string& name, std::vector<Value> args, bool* ok = nullptr) {
  Value result;
  bool found = false;
  const bool success = BuiltinFunction(name, Value::Array(std::move(args)), result, found);
  EXPECT_TRUE(found) << name;
  if (ok)
    *ok = success;
  else
    EXPECT_TRUE(success) << name;
  return result;
}

// The single value of a call.
inline Value Call1(const std::string& name, std::vector<Value> args) {
  Value r = Call(name, std::move(args));
  EXPECT_TRUE(r.isArray() && r.items().size() == 1) << name;
  return r.isArray() && !r.items().empty() ? r.items()[0] : Value();
}

// The single value of a call written with empty parentheses.
inline Value CallEmpty(const std::string& name) {
  Value result;
  bool found = false;
  EXPECT_TRUE(BuiltinFunction(name, Value(), result, found)) << name;
  return result.isArray() && result.items().size() == 1 ? result.items()[0] : Value();
}

// The names of a list producer's pair (names, count); the count must agree.
inline std::vector<std::string> Names(const Value& pair) {
  std::vector<std::string> names;
  EXPECT_TRUE(pair.isArray() && pair.items().size() == 2);
  if (!pair.isArray() || pair.items().size() != 2) return names;
  if (pair.items()[0].isArray())
    for (const Value& v : pair.items()[0].items()) names.emplace_back(v.str());
  else
    EXPECT_TRUE(pair.items()[0].isEmpty());
  EXPECT_EQ(pair.items()[1].i(), static_cast<std::int32_t>(names.size()));
  return names;
}

}  // namespace tam::test

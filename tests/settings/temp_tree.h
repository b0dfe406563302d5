// A temporary folder for one test, removed afterwards, with helpers to put
// files into it and to name them in the host's Windows form.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace tam::test {

class TempTree {
 public:
  TempTree() {
    static int serial = 0;
    std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
      std::filesystem::path p =
          base / ("tamplug" + std::to_string(std::random_device()() % 1000000) + "_" + std::to_string(++serial));
      if (std::filesystem::create_directory(p)) {
        root_ = p.string();
        break;
      }
    }
  }
  ~TempTree() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  // Native path of a file below the root ("a/b.txt").
  std::string Native(const std::string& rel) const { return root_ + "/" + rel; }
  // The same in the host's form: backslashes, ending in one for folders.
  std::string Win(const std::string& rel) const {
    std::string p = Native(rel);
    for (char& c : p)
      if (c == '/') c = '\\';
    return p;
  }
  void Put(const std::string& rel, const std::string& bytes) const {
    std::filesystem::path p = Native(rel);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
  }
  std::string Get(const std::string& rel) const {
    std::ifstream in(Native(rel), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Has(const std::string& rel) const { return std::filesystem::exists(Native(rel)); }
  void MakeDir(const std::string& rel) const { std::filesystem::create_directories(Native(rel)); }

 private:
  std::string root_;
};

}  // namespace tam::test

// A file system in memory for the fuzz targets: one file the input fills,
// nothing ever reaches the disk.
#pragma once

#include <optional>
#include <string>

#include "settings/file_access.h"

namespace tam::fuzz {

class MemoryFiles : public FileAccess {
 public:
  explicit MemoryFiles(std::string name, std::string data) : name_(std::move(name)), data_(std::move(data)) {}
  bool FileExists(const std::string& path) override { return path == name_; }
  std::optional<std::string> ReadAll(const std::string& path) override {
    if (path != name_) return std::nullopt;
    return data_;
  }
  bool ReplaceContents(const std::string& path, const std::string& data) override {
    if (path != name_) return false;
    data_ = data;
    return true;
  }
  std::string CreateTempFile(const std::string&, const std::string&, const std::string&) override { return ""; }
  bool RemoveFile(const std::string&) override { return false; }
  bool CreateFolder(const std::string&) override { return false; }
  std::optional<std::string> StoredFolderName(const std::string&) override { return std::nullopt; }
  const std::string& Data() const { return data_; }

 private:
  std::string name_, data_;
};

}  // namespace tam::fuzz

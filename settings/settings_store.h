// The settings store: the typed key/value table behind the settings file.
// Each entry is one line "Section\Key=Type:value"; the store keeps four
// parallel lists in file order. Reads and writes touch only memory; Save
// writes the whole file.
#pragma once

#include <string>
#include <vector>

#include "engine/value.h"
#include "settings/file_access.h"

namespace tam {

class SettingsStore {
 public:
  explicit SettingsStore(FileAccess& files = NativeFiles()) : files_(files) {}

  // Builds the store from the file; a missing or unreadable file gives an
  // empty store. Remembers the file name for Save; after a file that exists
  // could not be read, Save refuses to replace it.
  void Load(const std::string& fileName);
  // Builds the store from the text of a settings file.
  void LoadText(const std::string& text);

  // The stored value of Section\Key converted by its stored type, or def when
  // there is no such entry or its text does not convert.
  Value Read(const std::string& section, const std::string& key, const Value& def) const;
  // Sets the entry from the value's kind; an Empty or Null value, or an empty
  // string, deletes it. A kind the file cannot hold (Currency, Byte, ...)
  // leaves the entry's type and text as they were.
  void Write(const std::string& section, const std::string& key, const Value& value);
  bool Exists(const std::string& section, const std::string& key) const;

  // Writes every entry to the file given to Load, replacing it in one step.
  // False when that failed or was refused; the previous file is then left
  // as it was.
  bool Save();
  // The file's text as Save writes it.
  std::string Text() const;

  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& fileName) {
    fileName_ = fileName;
    unreadable_ = false;
  }
  std::size_t Count() const { return names_.size(); }
  const std::vector<std::string>& Names() const { return names_; }
  const std::vector<std::string>& Types() const { return types_; }
  const std::vector<std::string>& ValueTexts() const { return values_; }

 private:
  int Find(const std::string& section, const std::string& key) const;
  void Append(std::string name, std::string type, std::string value);

  FileAccess& files_;
  std::string fileName_;
  bool unreadable_ = false;
  std::vector<std::string> names_;       // as written
  std::vector<std::string> upperNames_;  // for lookup
  std::vector<std::string> types_;
  std::vector<std::string> values_;  // escaped for "String"
};

}  // namespace tam

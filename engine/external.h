// Functions taken from dynamic libraries in the engine's external folder.
#pragma once

#include <memory>
#include <string>

#include "engine/value.h"

namespace tam {

// The folder as the engine keeps it: empty, or ending in the path delimiter
// (a delimiter is added unless the last character is one; the second byte of
// a double-byte character such as "ソ" is none).
std::string ExternalFolderPath(const std::string& folder);

class ExternalLibraries {
 public:
  // Searches the folder for libraries that export "ExternalFunction".
  explicit ExternalLibraries(const std::string& folder);
  ~ExternalLibraries();
  ExternalLibraries(const ExternalLibraries&) = delete;
  ExternalLibraries& operator=(const ExternalLibraries&) = delete;

  // Asks each library in turn; found stays false when none knows the name.
  bool Call(const std::string& name, const Value& args, Value& result, bool& found);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tam

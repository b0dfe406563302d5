// The change log beside the debugger: one line for every change of a
// variable, a separator line before each debug start that finds it not
// empty. Lines are appended to the file, never rewritten, and a log that
// cannot be written never stops the debugging.
#pragma once

#include <string>

#include "engine/value.h"
#include "settings/file_access.h"

namespace tam {

class TChangeLog {
 public:
  TChangeLog(FileAccess& files, std::string fileName) : files_(files), fileName_(std::move(fileName)) {}

  // Reads what earlier runs left in the file (a missing file is an empty log).
  void Load();

  // The line of one change: name="text" for a string, name=text otherwise.
  static std::string ChangeLine(const std::string& name, const Value& value);
  static constexpr const char* kSeparator = "--------------------------------";

  // Adds a line. It reaches the file at the next Flush, or at once when
  // many lines wait.
  void Add(const std::string& line);
  // Adds the separator when the log holds any line.
  void Separate();
  // Appends the waiting lines to the file; false when that failed (the
  // lines are then dropped, so that a full disk cannot fill the memory).
  bool Flush();

  bool Empty() const { return empty_; }
  const std::string& FileName() const { return fileName_; }
  // True once a Flush failed; cleared by ClearFailure.
  bool Failed() const { return failed_; }
  void ClearFailure() { failed_ = false; }

 private:
  FileAccess& files_;
  std::string fileName_;
  std::string pending_;
  bool empty_ = true;
  bool openLine_ = false;  // the file ends inside a line
  bool failed_ = false;
};

}  // namespace tam

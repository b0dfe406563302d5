#include "settings/debug_bundle.h"

#include <new>

#include "engine/text_lines.h"

namespace tam {

std::vector<std::string> BundleLines(const DebugBundle& b, bool withOption) {
  std::vector<std::string> lines;
  lines.reserve(b.mail.size() + b.program.size() + 12);
  lines.push_back("[Mail]");
  lines.insert(lines.end(), b.mail.begin(), b.mail.end());
  lines.push_back("[Program]");
  lines.insert(lines.end(), b.program.begin(), b.program.end());
  if (withOption) {
    lines.push_back("[Option]");
    lines.push_back(b.option);
  }
  lines.push_back("[AccountTitle]");
  lines.push_back(b.accountTitle);
  lines.push_back("[AccountUser]");
  lines.push_back(b.accountUser);
  lines.push_back("[AccountAddress]");
  lines.push_back(b.accountAddress);
  lines.push_back("[AccountName]");
  lines.push_back(b.accountName);
  return lines;
}

std::string WriteBundleFile(FileAccess& files, const std::string& folder, const DebugBundle& b, bool withOption) {
  return files.CreateTempFile(folder, "TMP", JoinTextLines(BundleLines(b, withOption)));
}

void ReadBundleText(const std::string& text, DebugBundle& target) {
  std::vector<std::string>* list = nullptr;  // current mail or program section
  std::string* field = nullptr;              // current one-value section
  for (std::string& line : SplitTextLines(text)) {
    std::vector<std::string>* newList = nullptr;
    std::string* newField = nullptr;
    if (line == "[Mail]")
      newList = &target.mail;
    else if (line == "[Program]")
      newList = &target.program;
    else if (line == "[Option]")
      newField = &target.option;
    else if (line == "[AccountTitle]")
      newField = &target.accountTitle;
    else if (line == "[AccountUser]")
      newField = &target.accountUser;
    else if (line == "[AccountAddress]")
      newField = &target.accountAddress;
    else if (line == "[AccountName]")
      newField = &target.accountName;
    if (newList || newField) {
      list = newList;
      field = newField;
      if (list) list->clear();
      if (field) field->clear();
    } else if (list) {
      list->push_back(std::move(line));
    } else if (field) {
      *field = std::move(line);
    }
  }
}

bool ReadBundleFile(FileAccess& files, const std::string& fileName, DebugBundle& target) {
  try {
    if (!files.FileExists(fileName)) return false;
    std::optional<std::string> text = files.ReadAll(fileName);
    if (!text) return false;
    DebugBundle read = target;
    ReadBundleText(*text, read);
    target = std::move(read);
    return true;
  } catch (const std::bad_alloc&) {
    return false;  // a file too large to hold: as if there were none
  }
}

}  // namespace tam

// The library's modal dialogs as plain Win32 dialogs.
#pragma once

#include <optional>
#include <string>

namespace tam::win32 {

// Caption, prompt, an edit field preset to `preset`, "OK" and "ｷｬﾝｾﾙ";
// nullopt when cancelled or closed.
std::optional<std::string> InputBoxDialog(const std::string& caption, const std::string& prompt,
                                          const std::string& preset);

// The folder chooser "ﾃﾞｨﾚｸﾄﾘの選択"; nullopt when cancelled.
std::optional<std::string> SelectDirectoryDialog(const std::string& start, bool allowCreate);

}  // namespace tam::win32

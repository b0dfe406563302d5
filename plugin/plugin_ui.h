// What the plug-in shows the user and starts: message boxes with an owner
// window and shell starts. The win32 part calls the system; tests record.
#pragma once

#include <string>

#include "plugin/host_api.h"

namespace tam {

// MB_ flags and show commands as the system numbers them.
constexpr unsigned kMbOk = 0x0, kMbIconWarning = 0x30, kMbTaskModal = 0x2000;
constexpr int kSwShowNormal = 1, kSwShow = 5;

class PluginUi {
 public:
  virtual ~PluginUi() = default;
  // A message box owned by owner (0: none); returns the button chosen.
  virtual int Message(HostWindow owner, const std::string& text, const std::string& caption, unsigned flags) = 0;
  // The shell's verb on file with parameters, in the current folder;
  // above 32 on success.
  virtual int ShellStart(const std::string& verb, const std::string& file, const std::string& params, int show) = 0;
};

}  // namespace tam

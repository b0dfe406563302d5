// A platform whose dialogs take prepared answers, so that a scripted run is
// the same every time. Each dialog of the run takes the next answer: the text
// typed into an input box, the caption of the button pressed in a message box
// ("OK", "Cancel", "Yes", "No", "Abort", "Retry", "Ignore", in any letter
// case, or the Japanese captions), or the folder chosen in the folder
// chooser. When the answers are used up, the wrapped platform answers.
#pragma once

#include <string>
#include <vector>

#include "platform/forwarding.h"

namespace tam {

class AnswerPlatform : public ForwardingPlatform {
 public:
  // inner is not owned and must outlive this object; answers are Shift-JIS.
  AnswerPlatform(Platform& inner, std::vector<std::string> answers)
      : ForwardingPlatform(inner), answers_(std::move(answers)) {}

  // The number of answers taken so far.
  std::size_t Used() const { return next_; }

  // A message box takes the button named by the answer; an answer that names
  // no button of the box is used up, and the wrapped platform answers.
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string& preset) override;
  // The folder of the answer, as a full path. A folder that does not exist
  // is created with its parents when creation is allowed, else the chooser
  // counts as cancelled.
  std::optional<std::string> SelectDirectory(const std::string& start, bool allowCreate) override;

 private:
  // The next answer, or false when there is none left.
  bool Take(std::string& answer);

  std::vector<std::string> answers_;
  std::size_t next_ = 0;
};

}  // namespace tam

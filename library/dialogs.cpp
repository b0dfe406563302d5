// The three dialogs of a reply program; each blocks the run until closed.
#include "library/file_family.h"
#include "platform/platform.h"

namespace tam {

namespace {

// INPUTBOX(caption, prompt [, default [, cancel value]]): the text typed;
// on cancel the fourth argument as it is, or no value at all.
bool InputBox(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string caption = shape::Text((*a)[0]);
  const std::string prompt = shape::Text((*a)[1]);
  const std::string preset = a->size() > 2 ? shape::Text((*a)[2]) : std::string();
  const std::optional<std::string> typed = platform().InputBox(caption, prompt, preset);
  if (typed)
    result.append(Value::Str(*typed));
  else if (a->size() > 3)
    result.append((*a)[3]);
  return true;
}

// MESSAGEBOX(message, caption, style): the code of the button pressed.
bool MessageBox(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 3);
  if (!a) return false;
  const std::string message = shape::Text((*a)[0]);
  const std::string caption = shape::Text((*a)[1]);
  const unsigned style = static_cast<unsigned>(shape::Integer((*a)[2]));
  result.append(Value::Int(platform().MessageBox(message, caption, style)));
  return true;
}

// SELECTDIRECTORY(start, allow creation): the folder chosen; cancelling
// fails the call, which stops the program at this line.
bool SelectDirectory(const Args& args, Value& result) {
  const auto* a = shape::Fixed(args, 2);
  if (!a) return false;
  const std::string start = shape::Text((*a)[0]);
  const std::optional<std::string> chosen = platform().SelectDirectory(start, shape::Truth((*a)[1]));
  if (!chosen) return false;
  result.append(Value::Str(*chosen));
  return true;
}

}  // namespace

void AddDialogFunctions(Catalogue& c) {
  c["INPUTBOX"] = InputBox;
  c["MESSAGEBOX"] = MessageBox;
  c["SELECTDIRECTORY"] = SelectDirectory;
}

}  // namespace tam

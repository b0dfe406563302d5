// Starts Vodrin.exe in a folder of its own and drives it through window
// messages as a user would: buttons, menu commands, message boxes; reads
// what its windows show.
#pragma once

#include <windows.h>

#include <string>

namespace tam::test {

// A fresh folder holding a copy of Vodrin.exe; removed afterwards.
class VodrinFolder {
 public:
  VodrinFolder();
  ~VodrinFolder();
  const std::string& Path() const { return path_; }  // ends in a backslash
  void Put(const std::string& name, const std::string& bytes) const;
  std::string Get(const std::string& name) const;
  bool Has(const std::string& name) const;

 private:
  std::string path_;
};

class Vodrin {
 public:
  // Starts the program with the parameter text (may be empty) and waits for
  // its main window.
  Vodrin(const VodrinFolder& folder, const std::string& parameters);
  ~Vodrin();

  bool Started() const { return main_ != nullptr; }
  HWND Main() const { return main_; }
  // A top-level window of the process by its class.
  HWND Form(const char* cls) const;
  // The content control of a view, and a control of the main window.
  HWND Content(const char* cls) const;
  HWND Control(int id) const { return GetDlgItem(main_, id); }

  // A command of the main window (button or menu item). Returns when it is
  // done or a message box waits for an answer.
  void Command(int id);
  // The message box of the process, or nullptr.
  HWND Box() const;
  // The box's text and caption; answering it with IDABORT, IDRETRY, ...
  std::string BoxText(HWND box) const;
  void Answer(HWND box, int button);
  // Waits until the program has handled what it was sent.
  void Settle();
  // Closes the main window and waits for the process to end; true when it ended.
  bool Close();

  std::string Label(int id) const;
  bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
  // The selection of an edit or rich-edit control.
  void Selection(HWND edit, int& start, int& end) const;
  bool ReadOnly(HWND edit) const { return (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0; }

 private:
  PROCESS_INFORMATION process_ = {};
  HWND main_ = nullptr;
};

// The whole text of a window in another process.
std::string TextOf(HWND window);

}  // namespace tam::test

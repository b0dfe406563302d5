// What the setup dialog holds and decides, apart from its windows: the
// reply programs with their captions, texts and option lines, the menu
// switches and the output choice read from the settings store when it opens,
// the list operations, what OK writes and whether a restart of the mail
// client is advisable, what closing writes and the help file.
#pragma once

#include <string>
#include <vector>

#include "settings/file_access.h"
#include "settings/settings_store.h"

namespace tam {

// The program list and, parallel to its items, the program texts and option
// texts. At most one program is selected.
class TProgramList {
 public:
  int Count() const { return static_cast<int>(captions_.size()); }
  // -1 when nothing is selected.
  int Selected() const { return selected_; }
  // Selects program i; an index outside the list deselects.
  void Select(int i) { selected_ = i >= 0 && i < Count() ? i : -1; }

  const std::string& Caption(int i) const { return captions_.at(i); }
  const std::string& Text(int i) const { return texts_.at(i); }
  const std::string& Options(int i) const { return options_.at(i); }
  const std::vector<std::string>& Captions() const { return captions_; }

  void Append(std::string caption, std::string text, std::string options);

  // Exchange the selected program with the one above (below) it; the moved
  // program stays selected. Nothing happens at the ends of the list.
  void MoveUp();
  void MoveDown();
  // A new empty program named by FreeCaption: appended when nothing is
  // selected, else inserted in front of the selected one; the new one is
  // selected.
  void Add();
  // Removes the selected program and selects the one now at its place, or
  // the last one when it was the last.
  void Delete();

  // The edits of the selected program; nothing happens when none is
  // selected.
  void SetCaption(const std::string& caption);
  void SetText(const std::string& text);
  void SetOptions(const std::string& options);

  // "Program" followed by the smallest k >= 1 that no caption equals,
  // compared without regard to letter case.
  std::string FreeCaption() const;

 private:
  void Exchange(int a, int b);

  std::vector<std::string> captions_, texts_, options_;
  int selected_ = -1;
};

// What the controls beside the list show for the current selection.
struct ProgramDetail {
  bool editable = false;  // name, program and option editors enabled (window colour)
  std::string caption, text, options;
  bool upEnabled = false, downEnabled = false, deleteEnabled = false;
  std::string addCaption;  // "追加" or "挿入"
};
ProgramDetail DetailOf(const TProgramList& programs);

enum class OutputChoice { kNone, kSending, kDraft, kWindow };

struct MenuSwitches {
  bool mainMenu = true, mainContext = false, viewMenu = true, viewContext = false;
  bool debugger = false;
};

class TSetupModel {
 public:
  static constexpr int kPages = 3;

  // Reads the dialog's settings from the store. When the debugger is
  // missing, Menu\Debugger is switched off in the store and the debug
  // option is hidden.
  void Open(SettingsStore& store, bool debuggerExists);

  // The page to show first, or -1 to keep the designed one.
  int StartPage() const { return startPage_; }
  // The program list panel's width: the stored one, or designWidth.
  int PanelWidth(int designWidth) const { return panelWidth_ > 0 ? panelWidth_ : designWidth; }
  bool DebuggerShown() const { return debuggerShown_; }

  MenuSwitches switches;
  OutputChoice output = OutputChoice::kNone;
  TProgramList programs;

  // OK: decides whether a restart of the mail client is advisable, writes
  // the switches, the programs and the output choice into the store and
  // saves the file. False when the file could not be written; the store then
  // holds the new values already, and a later Accept still advises the
  // restart.
  bool Accept(SettingsStore& store);
  bool RestartAdvised() const { return restartAdvised_; }

 private:
  int startPage_ = -1;
  int panelWidth_ = 0;
  bool debuggerShown_ = true;
  bool restartAdvised_ = false;
};

// Closing, whichever way: the shown page and the list panel's width.
// (The window geometry and the save of the file follow.)
void WriteClosingState(SettingsStore& store, int page, int panelWidth);

// The message OK shows when a restart is advisable, with its title.
extern const char kRestartAdvice[];
extern const char kRestartAdviceTitle[];
// The message shown when the settings file cannot be written; on OK, the
// dialog stays open for another try.
std::string SaveFailureMessage(const std::string& fileName, bool onOk);

// The help that the help button opens, from the install folder (ending in a
// backslash): Kesrel.hlp beside the plug-in, or, where there is none, the
// language reference Kesrel.html; neither: the message naming Kesrel.hlp.
struct HelpChoice {
  std::string file;     // to open; empty when missing
  std::string missing;  // the message when it is missing
};
HelpChoice ChooseHelp(FileAccess& files, const std::string& installFolder);

}  // namespace tam

// The settings of the reply programs, the menus and the output, as the reply
// menus and the reply command read them from the settings store, and the
// writers of the reply programs that the setup dialog's OK and the tool's
// settings import use.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace tam {

// A command code has room for program indices 0 to 99 and option lines 0 to
// 98; programs and option lines beyond them get no menu item, since their
// codes would name another program's item.
constexpr int kMaxPrograms = 100;
constexpr int kMaxOptionLines = 99;

// \ProgramCount, 0 when missing or negative.
int ProgramCount(const SettingsStore& store);
// Program<n>\Caption, "Program<n>" by default.
std::string ProgramCaption(const SettingsStore& store, int n);
// Program<n>\Body, empty by default.
std::string ProgramBody(const SettingsStore& store, int n);
// Program<n>\Option split into lines.
std::vector<std::string> ProgramOptions(const SettingsStore& store, int n);
// One reply program as the setup dialog edits it: its caption, its program
// text and its option text (lines separated by CR LF).
struct ReplyProgram {
  std::string caption;
  std::string body;
  std::string option;
};

// Program 0 to ProgramCount - 1 as the setup dialog lists them, at most
// limit of them.
std::vector<ReplyProgram> ReadPrograms(const SettingsStore& store, int limit = kMaxPrograms);

// The option text as it is stored: every line trimmed of blanks and control
// characters at both ends, empty lines dropped, each remaining line followed
// by CR LF.
std::string StoredOptionText(const std::string& optionText);
// \ProgramCount = count.
void WriteProgramCount(SettingsStore& store, int count);
// Program<n>\Caption, Program<n>\Body and Program<n>\Option (the option
// text as StoredOptionText makes it). An empty text removes its entry.
void WriteProgram(SettingsStore& store, int n, const ReplyProgram& program);
// What the setup dialog's OK writes of the programs: \ProgramCount and each
// program. Entries of programs beyond the new count stay as they were; the
// reply menus never read them.
void WritePrograms(SettingsStore& store, const std::vector<ReplyProgram>& programs);
// Removes Program<n>\Caption, Body and Option.
void RemoveProgram(SettingsStore& store, int n);

// The menu label of an option line: its text before the first half-width
// blank.
std::string OptionLabel(const std::string& optionLine);

// Menu\Caption, "AL-Zembra(&K)" by default.
std::string MenuCaption(const SettingsStore& store);
// A Boolean setting; def when missing or not convertible.
bool ReadSwitch(const SettingsStore& store, const std::string& section, const std::string& key, bool def);

enum class OutputMode { kDraft, kSending, kWindow };
// \Output: "Window" and "Sending" as named, anything else a draft.
OutputMode ReadOutputMode(const SettingsStore& store);

}  // namespace tam

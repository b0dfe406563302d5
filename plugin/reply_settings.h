// The settings of the reply programs, the menus and the output, as the reply
// menus and the reply command read them from the settings store.
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

#include "plugin/reply_settings.h"

#include "engine/text_lines.h"

namespace tam {

namespace {

std::string ProgramSection(int n) { return "Program" + std::to_string(n); }

std::string ReadString(const SettingsStore& store, const std::string& section, const std::string& key,
                       const std::string& def) {
  Value v = store.Read(section, key, Value::Str(def));
  try {
    return ToText(v);
  } catch (...) {
    return def;
  }
}

}  // namespace

int ProgramCount(const SettingsStore& store) {
  Value v = store.Read("", "ProgramCount", Value::Int(0));
  int count = 0;
  try {
    count = ToInteger(v);
  } catch (...) {
    return 0;
  }
  return count < 0 ? 0 : count;
}

std::string ProgramCaption(const SettingsStore& store, int n) {
  return ReadString(store, ProgramSection(n), "Caption", "Program" + std::to_string(n));
}

std::string ProgramBody(const SettingsStore& store, int n) { return ReadString(store, ProgramSection(n), "Body", ""); }

std::vector<std::string> ProgramOptions(const SettingsStore& store, int n) {
  return SplitTextLines(ReadString(store, ProgramSection(n), "Option", ""));
}

std::string OptionLabel(const std::string& optionLine) { return optionLine.substr(0, optionLine.find(' ')); }

std::string MenuCaption(const SettingsStore& store) { return ReadString(store, "Menu", "Caption", "AL-Zembra(&K)"); }

bool ReadSwitch(const SettingsStore& store, const std::string& section, const std::string& key, bool def) {
  try {
    return ToBoolean(store.Read(section, key, Value::Bool(def)));
  } catch (...) {
    return def;
  }
}

OutputMode ReadOutputMode(const SettingsStore& store) {
  std::string mode = ReadString(store, "", "Output", "");
  if (mode == "Window") return OutputMode::kWindow;
  if (mode == "Sending") return OutputMode::kSending;
  return OutputMode::kDraft;
}

}  // namespace tam

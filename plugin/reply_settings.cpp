#include "plugin/reply_settings.h"

#include "engine/sjis.h"
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

std::vector<ReplyProgram> ReadPrograms(const SettingsStore& store, int limit) {
  int count = ProgramCount(store);
  if (count > limit) count = limit;
  std::vector<ReplyProgram> programs;
  programs.reserve(static_cast<std::size_t>(count));
  for (int n = 0; n < count; ++n) {
    std::string section = ProgramSection(n);
    programs.push_back({ProgramCaption(store, n), ProgramBody(store, n), ReadString(store, section, "Option", "")});
  }
  return programs;
}

std::string StoredOptionText(const std::string& optionText) {
  std::vector<std::string> kept;
  for (const std::string& line : SplitTextLines(optionText)) {
    std::string trimmed = Trim(line);
    if (!trimmed.empty()) kept.push_back(std::move(trimmed));
  }
  return JoinTextLines(kept);
}

void WriteProgramCount(SettingsStore& store, int count) { store.Write("", "ProgramCount", Value::Int(count)); }

void WriteProgram(SettingsStore& store, int n, const ReplyProgram& program) {
  std::string section = ProgramSection(n);
  store.Write(section, "Caption", Value::Str(program.caption));
  store.Write(section, "Body", Value::Str(program.body));
  store.Write(section, "Option", Value::Str(StoredOptionText(program.option)));
}

void WritePrograms(SettingsStore& store, const std::vector<ReplyProgram>& programs) {
  WriteProgramCount(store, static_cast<int>(programs.size()));
  for (std::size_t n = 0; n < programs.size(); ++n) WriteProgram(store, static_cast<int>(n), programs[n]);
}

void RemoveProgram(SettingsStore& store, int n) {
  std::string section = ProgramSection(n);
  for (const char* key : {"Caption", "Body", "Option"}) store.Write(section, key, Value());
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

#include "cli/settings_cmd.h"

#include <iostream>

#include "cli/cli.h"
#include "engine/failure.h"
#include "engine/sjis.h"
#include "engine/text_lines.h"
#include "platform/platform.h"
#include "plugin/reply_settings.h"
#include "settings/file_access.h"
#include "settings/settings_format.h"
#include "settings/settings_store.h"

namespace tam::cli {

namespace {

const char kUsage[] =
    "usage: tamberlo settings [--utf8] get FILE NAME\n"
    "       tamberlo settings [--utf8] set FILE NAME TYPE VALUE\n"
    "       tamberlo settings [--utf8] export FILE DIR\n"
    "       tamberlo settings [--utf8] import FILE DIR\n"
    "\n"
    "FILE is a settings file such as Kesrel.ini; NAME is Section\\Key (\\ProgramCount,\n"
    "Program0\\Body); TYPE is Boolean, Date, Float, Integer or String.\n"
    "get     prints the entry's value (Booleans as True or False, dates as\n"
    "        yyyy/mm/dd hh:nn:ss); exit 1 when there is no such entry.\n"
    "set     writes one entry and saves the file; an empty VALUE deletes it.\n"
    "        Line breaks in a String become CR LF.\n"
    "export  writes every reply program to DIR as ProgramN.tam, with its caption\n"
    "        in ProgramN.caption.txt and its option lines in ProgramN.option.txt.\n"
    "import  reads Program0.tam, Program1.tam, ... (and the files beside them)\n"
    "        from DIR back into FILE, replacing its reply programs.\n"
    "--utf8  values and program files are UTF-8 (with LF line ends) on this\n"
    "        side; the settings file stays Shift-JIS.\n";

struct Options {
  bool utf8 = false;
  std::ostream* out = nullptr;
  std::ostream* err = nullptr;
};

// Any line break becomes CR LF.
std::string ToCrLf(const std::string& text) {
  std::string r;
  r.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      r += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      r += text[i];
    }
  }
  return r;
}

std::string TrimLineEnds(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
  return s;
}

// Text from the command line's side into Shift-JIS, and back.
std::string In(const Options& o, const std::string& s) { return o.utf8 ? Utf8ToSjis(s) : s; }
std::string Out(const Options& o, const std::string& s) { return o.utf8 ? SjisToUtf8(s) : s; }

void SplitName(const std::string& name, std::string& section, std::string& key) {
  for (std::size_t i = 0; i < name.size(); i += SjisCharSize(name, i)) {
    if (name[i] == '\\') {
      section = name.substr(0, i);
      key = name.substr(i + 1);
      return;
    }
  }
  section.clear();
  key = name;
}

int Get(const Options& o, const std::string& file, const std::string& name) {
  SettingsStore store;
  store.Load(file);
  std::string section, key;
  SplitName(In(o, name), section, key);
  Value v = store.Read(section, key, Value());
  if (v.isEmpty()) {
    if (store.Exists(section, key)) *o.err << "tamberlo: the value of " << name << " cannot be read\n";
    return 1;
  }
  std::string text;
  switch (v.type()) {
    case vtBoolean:
      text = v.b() ? "True" : "False";
      break;
    case vtDate:
      text = FormatSettingDate(v.d());
      break;
    case vtDouble:
      text = FormatSettingDouble(v.d());
      break;
    case vtInteger:
      text = std::to_string(v.i());
      break;
    default:
      text = ToLf(v.str());
  }
  *o.out << Out(o, text) << "\n";
  return 0;
}

int Set(const Options& o, const std::string& file, const std::string& name, const std::string& type,
        const std::string& valueText) {
  std::string text = In(o, valueText);
  std::string kind = UpperCase(type);
  Value v;
  bool ok = true;
  if (!text.empty()) {
    if (kind == "BOOLEAN") {
      try {
        v = Value::Bool(ToBoolean(Value::Str(text)));
      } catch (const ScriptFailure&) {
        ok = false;
      }
    } else if (kind == "INTEGER") {
      std::int32_t n = 0;
      ok = ParseSettingInteger(text, n);
      v = Value::Int(n);
    } else if (kind == "FLOAT") {
      double d = 0;
      ok = ParseNumber(text, d);
      v = Value::Dbl(d);
    } else if (kind == "DATE") {
      double d = 0;
      ok = ParseSettingDate(text, d);
      v = Value::DateVal(d);
    } else if (kind == "STRING") {
      v = Value::Str(ToCrLf(text));
    } else {
      *o.err << "tamberlo: unknown type " << type << " (Boolean, Date, Float, Integer or String)\n";
      return 2;
    }
  } else if (kind != "BOOLEAN" && kind != "INTEGER" && kind != "FLOAT" && kind != "DATE" && kind != "STRING") {
    *o.err << "tamberlo: unknown type " << type << " (Boolean, Date, Float, Integer or String)\n";
    return 2;
  }
  if (!ok) {
    *o.err << "tamberlo: " << valueText << " is no " << type << " value\n";
    return 2;
  }
  SettingsStore store;
  store.Load(file);
  std::string section, key;
  SplitName(In(o, name), section, key);
  store.Write(section, key, v);
  if (!store.Save()) {
    *o.err << "tamberlo: cannot write " << file << "\n";
    return 1;
  }
  return 0;
}

std::string ProgramFile(const std::string& dir, int n, const char* suffix) {
  std::string d = dir;
  if (!d.empty() && d.back() != '/' && d.back() != '\\') d += '/';
  return d + "Program" + std::to_string(n) + suffix;
}

// With --utf8, line breaks become LF.
std::string ToLfIf(const Options& o, const std::string& s) { return o.utf8 ? ToLf(s) : s; }

int Export(const Options& o, const std::string& file, const std::string& dir) {
  FileAccess& files = NativeFiles();
  if (!files.FileExists(file)) {
    *o.err << "tamberlo: no settings file " << file << "\n";
    return 1;
  }
  SettingsStore store;
  store.Load(file);
  int count = ProgramCount(store);
  if (count > kMaxPrograms) {
    *o.err << "tamberlo: ProgramCount " << count << " is more than the menus show; exporting the first " << kMaxPrograms
           << "\n";
  }
  std::vector<ReplyProgram> programs = ReadPrograms(store);
  if (!files.CreateFolder(dir)) {
    *o.err << "tamberlo: cannot create " << dir << "\n";
    return 1;
  }
  const char* eol = o.utf8 ? "\n" : "\r\n";
  for (std::size_t n = 0; n < programs.size(); ++n) {
    std::string option = Out(o, ToLfIf(o, programs[n].option));
    if (!option.empty()) option = TrimLineEnds(option) + eol;
    const std::pair<const char*, std::string> parts[] = {{".tam", Out(o, ToLfIf(o, programs[n].body))},
                                                         {".caption.txt", Out(o, ToLfIf(o, programs[n].caption)) + eol},
                                                         {".option.txt", option}};
    for (const auto& part : parts) {
      std::string name = ProgramFile(dir, static_cast<int>(n), part.first);
      if (!files.ReplaceContents(name, part.second)) {
        *o.err << "tamberlo: cannot write " << name << "\n";
        return 1;
      }
    }
  }
  int exported = static_cast<int>(programs.size());
  // Files of programs that no longer exist would come back on import.
  for (int n = exported; n < kMaxPrograms && files.FileExists(ProgramFile(dir, n, ".tam")); ++n) {
    for (const char* suffix : {".tam", ".caption.txt", ".option.txt"}) files.RemoveFile(ProgramFile(dir, n, suffix));
  }
  *o.out << exported << (exported == 1 ? " program" : " programs") << " exported to " << dir << "\n";
  return 0;
}

// The file's text in Shift-JIS with CR LF line breaks; nullopt when missing.
std::optional<std::string> ReadProgramFile(const Options& o, const std::string& name) {
  FileAccess& files = NativeFiles();
  if (!files.FileExists(name)) return std::nullopt;
  std::optional<std::string> text = files.ReadAll(name);
  if (!text) return std::nullopt;
  return ToCrLf(In(o, *text));
}

int Import(const Options& o, const std::string& file, const std::string& dir) {
  SettingsStore store;
  store.Load(file);
  int oldCount = ProgramCount(store);
  std::vector<ReplyProgram> programs;
  for (int n = 0; n < kMaxPrograms; ++n) {
    std::optional<std::string> body = ReadProgramFile(o, ProgramFile(dir, n, ".tam"));
    if (!body) break;
    std::optional<std::string> caption = ReadProgramFile(o, ProgramFile(dir, n, ".caption.txt"));
    std::optional<std::string> option = ReadProgramFile(o, ProgramFile(dir, n, ".option.txt"));
    ReplyProgram program;
    if (caption) {
      std::vector<std::string> lines = SplitTextLines(*caption);
      if (!lines.empty()) program.caption = lines[0];
    }
    program.body = *body;
    if (option) program.option = *option;
    programs.push_back(std::move(program));
  }
  if (programs.empty()) {
    *o.err << "tamberlo: no " << ProgramFile(dir, 0, ".tam") << "\n";
    return 1;
  }
  int n = static_cast<int>(programs.size());
  WritePrograms(store, programs);
  for (int k = n; k < oldCount && k < kMaxPrograms; ++k) RemoveProgram(store, k);
  if (!store.Save()) {
    *o.err << "tamberlo: cannot write " << file << "\n";
    return 1;
  }
  *o.out << n << (n == 1 ? " program" : " programs") << " imported into " << file << "\n";
  return 0;
}

}  // namespace

int SettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options o;
  o.out = &out;
  o.err = &err;
  std::vector<std::string> words;
  for (const std::string& a : args) {
    if (a == "--utf8") {
      o.utf8 = true;
    } else if (a == "--help" || a == "-h") {
      out << kUsage;
      return 0;
    } else {
      words.push_back(a);
    }
  }
  try {
    if (words.size() == 3 && words[0] == "get") return Get(o, words[1], words[2]);
    if (words.size() == 5 && words[0] == "set") return Set(o, words[1], words[2], words[3], words[4]);
    if (words.size() == 3 && words[0] == "export") return Export(o, words[1], words[2]);
    if (words.size() == 3 && words[0] == "import") return Import(o, words[1], words[2]);
  } catch (const std::bad_alloc&) {
    err << "tamberlo: out of memory\n";
    return 1;
  }
  err << kUsage;
  return 2;
}

int SettingsCommand(const std::vector<std::string>& args) { return SettingsCommand(args, std::cout, std::cerr); }

}  // namespace tam::cli

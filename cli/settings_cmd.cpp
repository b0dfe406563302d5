#include "cli/settings_cmd.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "cli/check.h"
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
    "        It deletes nothing: other ProgramN.tam files in DIR are named. A FILE\n"
    "        whose ProgramCount is above 100 is refused, since import takes no more.\n"
    "import  reads Program0.tam, Program1.tam, ... (and the files beside them)\n"
    "        from DIR back into FILE, replacing its reply programs. All or\n"
    "        nothing: a gap in the numbers, an unreadable file, text that is not\n"
    "        in the chosen encoding, more than 100 programs or 99 option lines\n"
    "        leave FILE as it was. Programs that do not parse are named.\n"
    "set and import refuse a FILE with lines that a save would change (comments,\n"
    "blank lines, no settings file at all) and name the first of them.\n"
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

// Reads the settings file into the store. A missing file gives an empty store
// unless mustExist. forSaving: the tool rewrites the file from the store, so
// every line must come back from a save as it stands; a file with other
// lines (comments, blank lines, no settings file at all) is left alone.
bool LoadSettings(const Options& o, const std::string& file, SettingsStore& store, bool mustExist, bool forSaving) {
  std::error_code error;
  const std::filesystem::path path(file);
  const bool exists = std::filesystem::exists(path, error);
  if (!exists && !mustExist) {
    store.LoadText("");
    store.SetFileName(file);
    return true;
  }
  std::string text, why;
  if (!exists) {
    *o.err << "tamberlo: no settings file " << file << "\n";
    return false;
  }
  if (!ReadFile(file, text, why)) {
    *o.err << "tamberlo: cannot read " << file << ": " << why << "\n";
    return false;
  }
  store.LoadText(text);
  store.SetFileName(file);
  if (!forSaving) return true;
  const std::vector<std::string> lines = SplitTextLines(text), saved = SplitTextLines(store.Text());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i < saved.size() && saved[i] == lines[i]) continue;
    std::string shown = lines[i].size() > 60 ? lines[i].substr(0, 60) + "..." : lines[i];
    *o.err << "tamberlo: " << file << " line " << i + 1 << " would not come back unchanged from a save: \""
           << Out(o, shown) << "\"\n"
           << "tamberlo: only lines Section\\Key=Type:Value are kept as they are; " << file << " is left untouched\n";
    return false;
  }
  return true;
}

// An entry name the file can hold: Section\Key or Key, with no "=", CR or
// LF, and a key that is not empty.
bool ValidName(const Options& o, const std::string& name, const std::string& shown) {
  std::string section, key;
  SplitName(name, section, key);
  if (key.empty() || name.find_first_of("=\r\n") != std::string::npos) {
    *o.err << "tamberlo: \"" << shown
           << "\" is no entry name: give Section\\Key or \\Key without \"=\" or line breaks\n";
    return false;
  }
  return true;
}

int Get(const Options& o, const std::string& file, const std::string& name) {
  SettingsStore store;
  if (!LoadSettings(o, file, store, true, false)) return 1;
  std::string section, key;
  SplitName(In(o, name), section, key);
  Value v = store.Read(section, key, Value());
  if (v.isEmpty()) {
    if (store.Exists(section, key))
      *o.err << "tamberlo: the value of " << name << " in " << file << " cannot be read as its type\n";
    else
      *o.err << "tamberlo: " << file << " has no entry " << name << "\n";
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
      text = ToLf(std::string(v.str()));
  }
  if (!o.utf8) NoteShiftJisOutput(text);
  *o.out << Out(o, text) << "\n";
  return 0;
}

int Set(const Options& o, const std::string& file, const std::string& name, const std::string& type,
        const std::string& valueText) {
  if (!ValidName(o, In(o, name), name)) return 2;
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
  if (!LoadSettings(o, file, store, false, true)) return 1;
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

// The numbers n of the files Program<n>.tam in dir, in increasing order.
std::vector<int> ProgramNumbers(const std::string& dir) {
  std::vector<int> numbers;
  std::error_code error;
  for (std::filesystem::directory_iterator it(std::filesystem::path(dir), error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = it->path().filename().string();
    const std::size_t digits = name.size() - std::strlen("Program") - std::strlen(".tam");
    if (name.size() <= 11 || name.compare(0, 7, "Program") != 0 || name.compare(name.size() - 4, 4, ".tam") != 0 ||
        digits > 6)
      continue;
    const std::string number = name.substr(7, digits);
    if (number.find_first_not_of("0123456789") != std::string::npos || (number.size() > 1 && number[0] == '0'))
      continue;
    numbers.push_back(std::stoi(number));
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

int Export(const Options& o, const std::string& file, const std::string& dir) {
  FileAccess& files = NativeFiles();
  SettingsStore store;
  if (!LoadSettings(o, file, store, true, false)) return 1;
  // More programs than the menus show cannot come back by import: export
  // refuses them all, as import does, rather than leave some behind.
  const int count = ProgramCount(store);
  if (count > kMaxPrograms) {
    *o.err << "tamberlo: " << file << " says ProgramCount=" << count << ", but the menus show at most " << kMaxPrograms
           << " programs (Program0 to Program" << kMaxPrograms - 1 << ") and import takes no more\n"
           << "tamberlo: nothing was exported; to export the first " << kMaxPrograms
           << ", lower it first: tamberlo settings set " << file << " '\\ProgramCount' Integer " << kMaxPrograms
           << "\n";
    return 1;
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
  *o.out << exported << (exported == 1 ? " program" : " programs") << " exported to " << dir << "\n";
  // Files of other programs stay: they may be the user's work. Import would
  // read them back, so say which they are.
  for (int n : ProgramNumbers(dir)) {
    if (n < exported) continue;
    *o.err << "tamberlo: " << ProgramFile(dir, n, ".tam") << " is no program of " << file
           << " and was left as it is; import would read it back: remove it or move it aside if it is not wanted\n";
  }
  return 0;
}

// The first byte that is no Shift-JIS text: a lead byte without its trail
// byte, a byte that starts no character, or NUL; npos when there is none.
std::size_t BadShiftJis(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (IsLeadByte(c)) {
      const auto t = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
      if (t < 0x40 || t == 0x7F || t > 0xFC) return i;
      ++i;
    } else if (c == 0 || c == 0x80 || c == 0xA0 || c >= 0xFD) {
      return i;
    }
  }
  return std::string::npos;
}

// Reads one program file into Shift-JIS text with CR LF line breaks; false
// with a message naming the file and the reason when it cannot be read or is
// no text in the chosen encoding.
bool ReadProgramFile(const Options& o, const std::string& name, std::string& text) {
  std::string bytes, why;
  if (!ReadFile(name, bytes, why)) {
    *o.err << "tamberlo: cannot read " << name << ": " << why << "\n";
    return false;
  }
  std::string sjis = bytes;
  std::size_t bad = std::string::npos;
  if (o.utf8) {
    bytes = DropByteOrderMark(bytes);
    sjis = Utf8ToSjis(bytes);
    // What does not come back is no UTF-8, or has characters Shift-JIS lacks.
    const std::string back = SjisToUtf8(sjis);
    if (back != bytes || bytes.find('\0') != std::string::npos) {
      bad = 0;
      while (bad < back.size() && bad < bytes.size() && back[bad] == bytes[bad] && bytes[bad] != '\0') ++bad;
    }
  } else {
    bad = BadShiftJis(bytes);
  }
  if (bad != std::string::npos) {
    const std::size_t line = 1 + SplitTextLines(bytes.substr(0, bad) + "x").size() - 1;
    *o.err << "tamberlo: " << name << " line " << line << " is no "
           << (o.utf8 ? "UTF-8 text that Shift-JIS can hold" : "Shift-JIS text")
           << (!o.utf8 && LooksLikeUtf8(bytes) ? "; it looks like UTF-8: give --utf8" : "") << "\n";
    return false;
  }
  text = ToCrLf(sjis);
  return true;
}

// The file when it exists; false after a message when it cannot be read.
bool ReadOptionalFile(const Options& o, const std::string& name, std::string& text) {
  text.clear();
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::path(name), error)) return true;
  return ReadProgramFile(o, name, text);
}

int Import(const Options& o, const std::string& file, const std::string& dir) {
  const char* const kNothing = "tamberlo: nothing was imported\n";
  std::error_code error;
  if (!std::filesystem::is_directory(std::filesystem::path(dir), error)) {
    *o.err << "tamberlo: " << dir << " is no folder\n";
    return 1;
  }
  SettingsStore store;
  if (!LoadSettings(o, file, store, false, true)) return 1;
  const std::vector<int> numbers = ProgramNumbers(dir);
  if (numbers.empty()) {
    *o.err << "tamberlo: no " << ProgramFile(dir, 0, ".tam") << "\n";
    return 1;
  }
  if (numbers.back() >= kMaxPrograms) {
    *o.err << "tamberlo: " << ProgramFile(dir, numbers.back(), ".tam") << ": the menus show at most " << kMaxPrograms
           << " programs, Program0 to Program" << kMaxPrograms - 1 << "\n"
           << kNothing;
    return 1;
  }
  for (int n = 0; n < static_cast<int>(numbers.size()); ++n) {
    if (numbers[n] == n) continue;
    *o.err << "tamberlo: " << ProgramFile(dir, n, ".tam") << " is missing, but " << ProgramFile(dir, numbers[n], ".tam")
           << " is there: the programs are numbered from 0 without a gap\n"
           << kNothing;
    return 1;
  }
  std::vector<ReplyProgram> programs;
  std::vector<std::string> notes;
  for (int n : numbers) {
    ReplyProgram program;
    std::string caption, option;
    if (!ReadProgramFile(o, ProgramFile(dir, n, ".tam"), program.body) ||
        !ReadOptionalFile(o, ProgramFile(dir, n, ".caption.txt"), caption) ||
        !ReadOptionalFile(o, ProgramFile(dir, n, ".option.txt"), option)) {
      *o.err << kNothing;
      return 1;
    }
    std::vector<std::string> captionLines = SplitTextLines(caption);
    while (!captionLines.empty() && Trim(captionLines.back()).empty()) captionLines.pop_back();
    if (captionLines.size() > 1) {
      *o.err << "tamberlo: " << ProgramFile(dir, n, ".caption.txt")
             << " holds more than one line; a caption is one line\n"
             << kNothing;
      return 1;
    }
    if (!captionLines.empty()) program.caption = captionLines[0];
    program.option = option;
    const std::size_t optionLines = SplitTextLines(StoredOptionText(option)).size();
    if (optionLines > static_cast<std::size_t>(kMaxOptionLines)) {
      *o.err << "tamberlo: " << ProgramFile(dir, n, ".option.txt") << " holds " << optionLines
             << " option lines; the menus show at most " << kMaxOptionLines << "\n"
             << kNothing;
      return 1;
    }
    if (!o.utf8 && LooksLikeUtf8(program.body))
      notes.push_back(ProgramFile(dir, n, ".tam") +
                      ": warning: this looks like UTF-8 text, but was read as Shift-JIS: import again with --utf8");
    for (CheckNote note : CheckProgram(program.body)) {
      note.text = Out(o, note.text);
      notes.push_back(NoteText(ProgramFile(dir, n, ".tam"), note));
    }
    programs.push_back(std::move(program));
  }
  const int oldCount = ProgramCount(store);
  const int n = static_cast<int>(programs.size());
  WritePrograms(store, programs);
  for (int k = n; k < oldCount && k < kMaxPrograms; ++k) RemoveProgram(store, k);
  if (!store.Save()) {
    *o.err << "tamberlo: cannot write " << file << "\n";
    return 1;
  }
  for (const std::string& note : notes) *o.err << note << "\n";
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
  // Memory that runs out passes to the tool's "Out of memory.".
  if (words.size() == 3 && words[0] == "get") return Get(o, words[1], words[2]);
  if (words.size() == 5 && words[0] == "set") return Set(o, words[1], words[2], words[3], words[4]);
  if (words.size() == 3 && words[0] == "export") return Export(o, words[1], words[2]);
  if (words.size() == 3 && words[0] == "import") return Import(o, words[1], words[2]);
  err << kUsage;
  return 2;
}

int SettingsCommand(const std::vector<std::string>& args) { return SettingsCommand(args, std::cout, std::cerr); }

}  // namespace tam::cli

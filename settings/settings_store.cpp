#include "settings/settings_store.h"

#include "engine/failure.h"
#include "engine/sjis.h"
#include "engine/text_lines.h"
#include "settings/settings_format.h"

namespace tam {

namespace {
// Byte index of the first c that is a character of its own, or npos.
std::size_t FindChar(const std::string& s, char c) {
  for (std::size_t i = 0; i < s.size(); i += SjisCharSize(s, i))
    if (s[i] == c) return i;
  return std::string::npos;
}

// "before" and "after" the first c; without c, the whole text is both.
void SplitAt(const std::string& s, char c, std::string& before, std::string& after) {
  std::size_t at = FindChar(s, c);
  if (at == std::string::npos) {
    before = after = s;
  } else {
    before = s.substr(0, at);
    after = s.substr(at + 1);
  }
}
}  // namespace

void SettingsStore::Load(const std::string& fileName) {
  fileName_ = fileName;
  std::optional<std::string> text;
  bool exists = files_.FileExists(fileName);
  if (exists) text = files_.ReadAll(fileName);
  LoadText(text ? *text : std::string());
  // A file that is there but could not be read must not be overwritten by
  // the empty store: that would lose every reply program in it.
  unreadable_ = exists && !text;
}

void SettingsStore::LoadText(const std::string& text) {
  names_.clear();
  upperNames_.clear();
  types_.clear();
  values_.clear();
  for (const std::string& line : SplitTextLines(text)) {
    std::string name, rest, type, value;
    SplitAt(line, '=', name, rest);
    SplitAt(rest, ':', type, value);
    Append(std::move(name), std::move(type), std::move(value));
  }
}

void SettingsStore::Append(std::string name, std::string type, std::string value) {
  upperNames_.push_back(UpperCase(name));
  names_.push_back(std::move(name));
  types_.push_back(std::move(type));
  values_.push_back(std::move(value));
}

int SettingsStore::Find(const std::string& section, const std::string& key) const {
  std::string upper = UpperCase(section + "\\" + key);
  for (std::size_t i = 0; i < upperNames_.size(); ++i)
    if (upperNames_[i] == upper) return static_cast<int>(i);
  return -1;
}

bool SettingsStore::Exists(const std::string& section, const std::string& key) const { return Find(section, key) >= 0; }

Value SettingsStore::Read(const std::string& section, const std::string& key, const Value& def) const {
  int i = Find(section, key);
  if (i < 0) return def;
  const std::string& type = types_[i];
  const std::string& text = values_[i];
  if (type == "Boolean") return Value::Bool(text == "True");
  if (type == "Date") {
    double days;
    return ParseSettingDate(text, days) ? Value::DateVal(days) : def;
  }
  if (type == "Float") {
    double d;
    return ParseNumber(text, d) ? Value::Dbl(d) : def;
  }
  if (type == "Integer") {
    std::int32_t n;
    return ParseSettingInteger(text, n) ? Value::Int(n) : def;
  }
  return Value::Str(UnescapeSettingText(text));
}

void SettingsStore::Write(const std::string& section, const std::string& key, const Value& value) {
  std::string name = section + "\\" + key;
  int i = Find(section, key);
  if (value.type() == vtEmpty || value.type() == vtNull || (value.isString() && value.str().empty())) {
    if (i >= 0) {
      names_.erase(names_.begin() + i);
      upperNames_.erase(upperNames_.begin() + i);
      types_.erase(types_.begin() + i);
      values_.erase(values_.begin() + i);
    }
    return;
  }
  if (i < 0) {
    Append(std::string(), std::string(), std::string());
    i = static_cast<int>(names_.size()) - 1;
  }
  upperNames_[i] = UpperCase(name);
  names_[i] = std::move(name);
  switch (value.type()) {
    case vtBoolean:
      types_[i] = "Boolean";
      values_[i] = value.b() ? "True" : "False";
      break;
    case vtDate:
      types_[i] = "Date";
      values_[i] = FormatSettingDate(value.d());
      break;
    case vtSingle:
      types_[i] = "Float";
      values_[i] = FormatSettingSingle(value.f());
      break;
    case vtDouble:
      types_[i] = "Float";
      values_[i] = FormatSettingDouble(value.d());
      break;
    case vtSmallInt:
    case vtInteger:
      types_[i] = "Integer";
      values_[i] = std::to_string(value.type() == vtSmallInt ? value.s16() : value.i());
      break;
    case vtString:
    case vtOleStr:
      types_[i] = "String";
      values_[i] = EscapeSettingText(std::string(value.str()));
      break;
    default:
      break;
  }
}

std::string SettingsStore::Text() const {
  std::string out;
  for (std::size_t i = 0; i < names_.size(); ++i) {
    out += names_[i];
    out += '=';
    out += types_[i];
    out += ':';
    out += values_[i];
    out += "\r\n";
  }
  return out;
}

bool SettingsStore::Save() {
  if (fileName_.empty() || unreadable_) return false;
  try {
    return files_.ReplaceContents(fileName_, Text());
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace tam

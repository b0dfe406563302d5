#include "debugger/debug_texts.h"

#include <utility>

#include "engine/text_lines.h"
#include "settings/debug_bundle.h"

namespace tam {

namespace {

const char kLast[] = "Last";

std::string ReadText(const SettingsStore& store, const char* key) {
  Value v = store.Read(kLast, key, Value::Str(std::string()));
  return v.isString() ? std::string(v.str()) : DisplayText(v);
}

}  // namespace

DebugTexts LoadRememberedTexts(const SettingsStore& store) {
  DebugTexts t;
  t.mail = ReadText(store, "Mail");
  t.program = ReadText(store, "Program");
  if (!t.program.empty() && t.program.back() != '\n' && t.program.back() != '\r') t.program += "\r\n";
  t.option = ReadText(store, "Option");
  t.accountTitle = ReadText(store, "AccountTitle");
  t.accountUser = ReadText(store, "AccountUser");
  t.accountAddress = ReadText(store, "AccountAddress");
  t.accountName = ReadText(store, "AccountName");
  return t;
}

void RememberTexts(SettingsStore& store, const DebugTexts& t) {
  store.Write(kLast, "Mail", Value::Str(t.mail));
  store.Write(kLast, "Program", Value::Str(t.program));
  store.Write(kLast, "Option", Value::Str(t.option));
  store.Write(kLast, "AccountTitle", Value::Str(t.accountTitle));
  store.Write(kLast, "AccountUser", Value::Str(t.accountUser));
  store.Write(kLast, "AccountAddress", Value::Str(t.accountAddress));
  store.Write(kLast, "AccountName", Value::Str(t.accountName));
}

bool ReadBundleInto(FileAccess& files, const std::string& fileName, DebugTexts& texts) {
  DebugBundle b;
  const std::vector<std::string> mail = SplitTextLines(texts.mail), program = SplitTextLines(texts.program);
  b.mail = mail;
  b.program = program;
  b.option = texts.option;
  b.accountTitle = texts.accountTitle;
  b.accountUser = texts.accountUser;
  b.accountAddress = texts.accountAddress;
  b.accountName = texts.accountName;
  if (!ReadBundleFile(files, fileName, b)) return false;
  // A text whose section did not occur stays as it was written.
  if (b.mail != mail) texts.mail = JoinTextLines(b.mail);
  if (b.program != program) texts.program = JoinTextLines(b.program);
  texts.option = std::move(b.option);
  texts.accountTitle = std::move(b.accountTitle);
  texts.accountUser = std::move(b.accountUser);
  texts.accountAddress = std::move(b.accountAddress);
  texts.accountName = std::move(b.accountName);
  return true;
}

}  // namespace tam

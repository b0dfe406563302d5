#include "plugin/setup_model.h"

#include <algorithm>
#include <utility>

#include "engine/sjis.h"
#include "plugin/reply_settings.h"

namespace tam {

const char kRestartAdvice[] =
    "設定変更は、すぐには反映しない場合があります。\r\n確実に反映させるには、AL-Mail32 を起動しなおしてください。";
const char kRestartAdviceTitle[] = "ご参考";

namespace {

int ReadInt(const SettingsStore& store, const std::string& section, const std::string& key, int def) {
  try {
    return ToInteger(store.Read(section, key, Value::Int(def)));
  } catch (...) {
    return def;
  }
}

std::string ReadText(const SettingsStore& store, const std::string& section, const std::string& key) {
  try {
    return ToText(store.Read(section, key, Value::Str(std::string())));
  } catch (...) {
    return std::string();
  }
}

}  // namespace

void TProgramList::Append(std::string caption, std::string text, std::string options) {
  captions_.push_back(std::move(caption));
  texts_.push_back(std::move(text));
  options_.push_back(std::move(options));
}

void TProgramList::Exchange(int a, int b) {
  std::swap(captions_[a], captions_[b]);
  std::swap(texts_[a], texts_[b]);
  std::swap(options_[a], options_[b]);
}

void TProgramList::MoveUp() {
  if (selected_ <= 0) return;
  Exchange(selected_, selected_ - 1);
  --selected_;
}

void TProgramList::MoveDown() {
  if (selected_ < 0 || selected_ + 1 >= Count()) return;
  Exchange(selected_, selected_ + 1);
  ++selected_;
}

void TProgramList::Add() {
  std::string caption = FreeCaption();
  int at = selected_ < 0 ? Count() : selected_;
  captions_.insert(captions_.begin() + at, caption);
  texts_.insert(texts_.begin() + at, std::string());
  options_.insert(options_.begin() + at, std::string());
  selected_ = at;
}

void TProgramList::Delete() {
  if (selected_ < 0) return;
  captions_.erase(captions_.begin() + selected_);
  texts_.erase(texts_.begin() + selected_);
  options_.erase(options_.begin() + selected_);
  if (selected_ >= Count()) selected_ = Count() - 1;
}

void TProgramList::SetCaption(const std::string& caption) {
  if (selected_ >= 0) captions_[selected_] = caption;
}

void TProgramList::SetText(const std::string& text) {
  if (selected_ >= 0) texts_[selected_] = text;
}

void TProgramList::SetOptions(const std::string& options) {
  if (selected_ >= 0) options_[selected_] = options;
}

std::string TProgramList::FreeCaption() const {
  std::vector<std::string> taken;
  taken.reserve(captions_.size());
  for (const std::string& c : captions_) taken.push_back(UpperCase(c));
  std::sort(taken.begin(), taken.end());
  for (int k = 1;; ++k) {
    std::string name = "Program" + std::to_string(k);
    if (!std::binary_search(taken.begin(), taken.end(), UpperCase(name))) return name;
  }
}

ProgramDetail DetailOf(const TProgramList& programs) {
  ProgramDetail d;
  int i = programs.Selected();
  d.addCaption = i < 0 ? "追加" : "挿入";
  if (i < 0) return d;
  d.editable = true;
  d.caption = programs.Caption(i);
  d.text = programs.Text(i);
  d.options = programs.Options(i);
  d.upEnabled = i > 0;
  d.downEnabled = i + 1 < programs.Count();
  d.deleteEnabled = true;
  return d;
}

void TSetupModel::Open(SettingsStore& store, bool debuggerExists) {
  int page = ReadInt(store, "", "ActivePage", 0);
  startPage_ = page >= 0 && page < kPages ? page : -1;
  panelWidth_ = ReadInt(store, "ProgramList", "Width", 0);
  switches.mainMenu = ReadSwitch(store, "MainWindow", "MainMenu", true);
  switches.mainContext = ReadSwitch(store, "MainWindow", "ContextMenu", false);
  switches.viewMenu = ReadSwitch(store, "ViewWindow", "MainMenu", true);
  switches.viewContext = ReadSwitch(store, "ViewWindow", "ContextMenu", false);
  debuggerShown_ = debuggerExists;
  if (debuggerExists) {
    switches.debugger = ReadSwitch(store, "Menu", "Debugger", false);
  } else {
    store.Write("Menu", "Debugger", Value::Bool(false));
    switches.debugger = false;
  }
  programs = TProgramList();
  for (ReplyProgram& p : ReadPrograms(store))
    programs.Append(std::move(p.caption), std::move(p.body), std::move(p.option));
  programs.Select(0);
  std::string mode = ReadText(store, "", "Output");
  if (!mode.empty()) {
    output = mode == "Sending"  ? OutputChoice::kSending
             : mode == "Draft"  ? OutputChoice::kDraft
             : mode == "Window" ? OutputChoice::kWindow
                                : OutputChoice::kNone;
  } else {
    output = ReadSwitch(store, "Output", "Draft", true) ? OutputChoice::kDraft : OutputChoice::kSending;
  }
  restartAdvised_ = false;
}

bool TSetupModel::Accept(SettingsStore& store) {
  if (switches.mainMenu != ReadSwitch(store, "MainWindow", "MainMenu", true) ||
      switches.viewMenu != ReadSwitch(store, "ViewWindow", "MainMenu", true) ||
      switches.debugger != ReadSwitch(store, "Menu", "Debugger", false) ||
      programs.Count() != ReadInt(store, "", "ProgramCount", 0))
    restartAdvised_ = true;
  store.Write("MainWindow", "MainMenu", Value::Bool(switches.mainMenu));
  store.Write("MainWindow", "ContextMenu", Value::Bool(switches.mainContext));
  store.Write("ViewWindow", "MainMenu", Value::Bool(switches.viewMenu));
  store.Write("ViewWindow", "ContextMenu", Value::Bool(switches.viewContext));
  store.Write("Menu", "Debugger", Value::Bool(switches.debugger));
  std::vector<ReplyProgram> list;
  for (int i = 0; i < programs.Count(); ++i)
    list.push_back({programs.Caption(i), programs.Text(i), programs.Options(i)});
  WritePrograms(store, list);
  switch (output) {
    case OutputChoice::kSending:
      store.Write("", "Output", Value::Str("Sending"));
      break;
    case OutputChoice::kDraft:
      store.Write("", "Output", Value::Str("Draft"));
      break;
    case OutputChoice::kWindow:
      store.Write("", "Output", Value::Str("Window"));
      break;
    case OutputChoice::kNone:
      break;
  }
  return store.Save();
}

void WriteClosingState(SettingsStore& store, int page, int panelWidth) {
  store.Write("", "ActivePage", Value::Int(page));
  store.Write("ProgramList", "Width", Value::Int(panelWidth));
}

std::string SaveFailureMessage(const std::string& fileName, bool onOk) {
  std::string text = "設定ファイル " + fileName + " に書き込めません。";
  if (onOk) text += "\r\n書き込めるようにしてから、もう一度 OK を押してください。";
  return text;
}

HelpChoice ChooseHelp(FileAccess& files, const std::string& installFolder) {
  HelpChoice c;
  std::string help = installFolder + "Plugins\\Kesrel.hlp";
  std::string reference = installFolder + "Plugins\\Kesrel.html";
  if (files.FileExists(help))
    c.file = help;
  else if (files.FileExists(reference))
    c.file = reference;
  else
    c.missing = help + " がありません";
  return c;
}

}  // namespace tam

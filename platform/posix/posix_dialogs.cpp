// Dialogs on a terminal. The question goes to standard error and the answer
// is one line of standard input; without a terminal the default answer is
// taken at once.
#include <unistd.h>

#include <cstdio>

#include "platform/platform.h"
#include "platform/posix/posix_names.h"
#include "platform/posix/posix_services.h"

namespace tam::posix {

namespace {

constexpr std::size_t kMaxAnswer = 64 * 1024;  // longer answers are cut
constexpr int kMaxTries = 5;                   // then the default answer

bool Interactive() { return isatty(0) == 1; }

void Say(const std::string& sjis) {
  const std::string text = TerminalIsUtf8() ? SjisToUtf8(sjis) : sjis;
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

// One line of standard input without its line end; nullopt at its end.
std::optional<std::string> ReadAnswer() {
  std::string line;
  int c;
  while ((c = std::fgetc(stdin)) != EOF && c != '\n')
    if (line.size() < kMaxAnswer) line += static_cast<char>(c);
  if (c == EOF && line.empty()) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return TerminalIsUtf8() ? Utf8ToSjis(line) : line;
}

struct Button {
  int code;
  const char* name;
};
const Button kButtons[] = {{mbOK, "OK"},         {mbCancel, "Cancel"}, {mbAbort, "Abort"}, {mbRetry, "Retry"},
                           {mbIgnore, "Ignore"}, {mbYes, "Yes"},       {mbNo, "No"}};

const char* ButtonName(int code) {
  for (const Button& b : kButtons)
    if (b.code == code) return b.name;
  return "OK";
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool IsFolder(const std::string& path) {
  const std::int32_t a = os::Attributes(path);
  return a != -1 && (a & os::faDirectory);
}

// Creates a folder with every missing parent.
void ForceFolder(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '/') {
      const std::string part = path.substr(0, i);
      if (!IsFolder(part)) os::MakeFolder(part);
    }
}

}  // namespace

int DefaultButton(unsigned flags) {
  const std::vector<int> set = MessageBoxButtons(flags);
  const std::size_t which = (flags >> 8) & 0xF;
  return which < set.size() ? set[which] : set[0];
}

int MessageBoxDialog(const std::string& text, const std::string& caption, unsigned flags) {
  const int fallback = DefaultButton(flags);
  if (!Interactive()) return fallback;
  const std::vector<int> set = MessageBoxButtons(flags);
  std::string choices;
  for (int b : set) choices += std::string(choices.empty() ? "" : " / ") + ButtonName(b);
  Say("[" + caption + "] " + text + "\n");
  for (int tries = 0; tries < kMaxTries; ++tries) {
    Say(choices + " (" + ButtonName(fallback) + "): ");
    const auto answer = ReadAnswer();
    if (!answer) break;
    if (answer->empty()) return fallback;
    for (int b : set) {
      const std::string name = ButtonName(b);
      if (SameWord(*answer, name) || SameWord(*answer, name.substr(0, 1))) return b;
    }
  }
  return fallback;
}

std::optional<std::string> InputBoxDialog(const std::string& caption, const std::string& prompt,
                                          const std::string& preset) {
  if (!Interactive()) return preset;
  Say("[" + caption + "] " + prompt + "\n");
  Say(preset.empty() ? "> " : "(" + preset + ") > ");
  const auto answer = ReadAnswer();
  if (!answer) return std::nullopt;
  return answer->empty() ? preset : *answer;
}

std::optional<std::string> SelectDirectoryDialog(const std::string& start, bool allowCreate) {
  if (!Interactive()) return std::nullopt;
  Say("[ﾃﾞｨﾚｸﾄﾘの選択]\n");
  for (int tries = 0; tries < kMaxTries; ++tries) {
    Say("ﾃﾞｨﾚｸﾄﾘ名(&N): (" + start + ") > ");
    auto answer = ReadAnswer();
    if (!answer) return std::nullopt;
    std::string chosen = os::FullPath(answer->empty() ? start : *answer);
    while (chosen.size() > 1 && chosen.back() == '/') chosen.pop_back();
    if (chosen.empty()) continue;
    if (IsFolder(chosen)) return chosen;
    if (!allowCreate) continue;
    if (MessageBoxDialog("指定されたﾃﾞｨﾚｸﾄﾘが存在しません。作成しますか？", "確認", 4 | 0x20) != mbYes) continue;
    ForceFolder(chosen);
    if (IsFolder(chosen)) return chosen;
  }
  return std::nullopt;
}

}  // namespace tam::posix

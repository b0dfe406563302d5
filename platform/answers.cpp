#include "platform/answers.h"

#include "engine/sjis.h"

namespace tam {

namespace {

// The caption without an accelerator: "&Yes" and "はい(&Y)" read as "Yes" and "はい".
std::string Plain(const std::string& caption) {
  std::string s = caption;
  if (s.size() >= 4 && s[s.size() - 4] == '(' && s[s.size() - 3] == '&' && s.back() == ')') s.resize(s.size() - 4);
  std::string r;
  for (char c : s)
    if (c != '&') r += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return r;
}

// The button code a caption names; 0 for none.
int ButtonOf(const std::string& caption) {
  static const struct {
    const char* name;
    int code;
  } kNames[] = {{"OK", mbOK},         {"CANCEL", mbCancel}, {"ｷｬﾝｾﾙ", mbCancel}, {"キャンセル", mbCancel},
                {"ABORT", mbAbort},   {"中止", mbAbort},    {"RETRY", mbRetry},  {"再試行", mbRetry},
                {"IGNORE", mbIgnore}, {"無視", mbIgnore},   {"YES", mbYes},      {"はい", mbYes},
                {"NO", mbNo},         {"いいえ", mbNo}};
  const std::string plain = Plain(caption);
  for (const auto& n : kNames)
    if (plain == n.name) return n.code;
  return 0;
}

bool IsFolder(const std::string& path) {
  const std::int32_t a = os::Attributes(path);
  return a != -1 && (a & os::faDirectory);
}

bool IsDelimiter(const std::string& path, std::size_t i) {
#ifdef _WIN32
  return path[i] == '\\' || path[i] == '/';
#else
  return path[i] == '/';
#endif
}

// The last character is a delimiter of its own, not the trail byte of a
// double-byte character such as 表 (0x95 0x5C).
bool EndsWithDelimiter(const std::string& path) {
  bool last = false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    last = IsDelimiter(path, i);
    if (IsLeadByte(static_cast<unsigned char>(path[i]))) ++i;
  }
  return last;
}

// Creates a full path's folder with every missing parent.
void ForceFolder(const std::string& path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size()) {
      if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
        ++i;  // a double-byte character: its trail byte is no delimiter
        continue;
      }
      if (!IsDelimiter(path, i)) continue;
    }
    const std::string part = path.substr(0, i);
    if (!IsFolder(part)) os::MakeFolder(part);
  }
}

}  // namespace

bool AnswerPlatform::Take(std::string& answer) {
  if (next_ >= answers_.size()) return false;
  answer = answers_[next_++];
  return true;
}

int AnswerPlatform::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  std::string answer;
  if (!Take(answer)) return inner_.MessageBox(text, caption, flags);
  const int code = ButtonOf(answer);
  for (int b : MessageBoxButtons(flags))
    if (b == code) return code;
  return inner_.MessageBox(text, caption, flags);
}

std::optional<std::string> AnswerPlatform::InputBox(const std::string& caption, const std::string& prompt,
                                                    const std::string& preset) {
  std::string answer;
  if (!Take(answer)) return inner_.InputBox(caption, prompt, preset);
  return answer;
}

std::optional<std::string> AnswerPlatform::SelectDirectory(const std::string& start, bool allowCreate) {
  std::string answer;
  if (!Take(answer)) return inner_.SelectDirectory(start, allowCreate);
  std::string full = os::FullPath(answer);
  while (full.size() > 1 && EndsWithDelimiter(full) && full[full.size() - 2] != ':') full.pop_back();
  if (full.empty()) return std::nullopt;
  if (!IsFolder(full) && allowCreate) ForceFolder(full);
  if (!IsFolder(full)) return std::nullopt;
  return full;
}

}  // namespace tam

#include "engine/scanner.h"

#include "engine/sjis.h"
#include "engine/text_lines.h"

namespace tam {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines = SplitTextLines(text.substr(0, text.find('\0')));
  for (std::string& line : lines)
    for (char& c : line)
      if (c == '\t') c = ' ';
  return lines;
}

bool IsCommentLine(const std::string& line) {
  std::string t = UpperCase(Trim(line));
  if (t.empty()) return false;
  if (t[0] == '\'') return true;
  if (t.compare(0, 2, "//") == 0) return true;
  if (t.compare(0, 3, "REM") == 0) return t.size() == 3 || static_cast<unsigned char>(t[3]) <= 0x20;
  return false;
}

std::string MaskQuotes(const std::string& line) {
  std::string t = UpperCase(Trim(line));
  std::string out;
  out.reserve(t.size());
  bool inQuotes = false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    bool lead = IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < t.size();
    if (c == '"') {
      inQuotes = !inQuotes;
      out += c;
    } else if (inQuotes) {
      out += 'A';
    } else if (lead) {
      out += c;
      out += t[i + 1];
    } else {
      out += c == '\t' ? ' ' : c;
    }
    if (lead) ++i;
  }
  return out;
}

void SplitClauses(std::vector<std::string>& pieces, std::vector<std::string>& masked, const std::string& keyword) {
  for (std::size_t k = 0; k < masked.size(); ++k) {
    const std::int32_t p = CharPos(keyword, masked[k]);
    if (p == 0) continue;
    // Masked and unmasked copies agree in character positions.
    std::string tailMasked = Trim(CharCopy(masked[k], p, kRest));
    std::string tail = Trim(CharCopy(pieces[k], p, kRest));
    masked[k] = Trim(CharCopy(masked[k], 1, p - 1));
    pieces[k] = Trim(CharCopy(pieces[k], 1, p - 1));
    masked.push_back(tailMasked);
    pieces.push_back(tail);
    return;
  }
}

namespace {
// Walks text tracking quotes and depth; calls at(i) for every byte outside
// quotes at depth 0 that is not part of a double-byte character.
template <class Fn>
void Walk(const std::string& t, bool& inQuotes, int& depth, Fn at) {
  for (std::size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    if (IsLeadByte(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (c == '"') {
      inQuotes = !inQuotes;
    } else if (!inQuotes) {
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        --depth;
      } else if (depth == 0) {
        if (!at(i)) return;
      }
    }
  }
}
}  // namespace

SplitResult SplitAssignment(const std::string& line, std::string& target, std::string& expression) {
  std::string t = Trim(line);
  bool inQuotes = false;
  int depth = 0;
  std::size_t eq = std::string::npos;
  Walk(t, inQuotes, depth, [&](std::size_t i) {
    if (t[i] == '=') eq = i;
    return true;
  });
  if (inQuotes) return SplitResult::kUnmatchedQuote;
  if (depth != 0) return SplitResult::kUnmatchedParen;
  if (eq == std::string::npos) {
    target.clear();
    expression = t;
  } else {
    target = Trim(t.substr(0, eq));
    expression = Trim(t.substr(eq + 1));
  }
  return SplitResult::kOk;
}

std::vector<std::string> SplitArguments(const std::string& text) {
  std::vector<std::string> out;
  std::string rest = text;
  while (!rest.empty()) {
    bool inQuotes = false;
    int depth = 0;
    std::size_t comma = std::string::npos;
    Walk(rest, inQuotes, depth, [&](std::size_t i) {
      if (rest[i] != ',') return true;
      comma = i;
      return false;
    });
    if (comma == std::string::npos) {
      out.push_back(Trim(rest));
      break;
    }
    out.push_back(Trim(rest.substr(0, comma)));
    rest = Trim(rest.substr(comma + 1));
  }
  return out;
}

}  // namespace tam

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "platform/platform.h"

namespace tam::cli {

std::string Output::Text(const std::string& sjis) const { return utf8 ? SjisToUtf8(sjis) : sjis; }

void Output::Out(const std::string& sjis) const {
  const std::string t = Text(sjis) + "\n";
  std::fwrite(t.data(), 1, t.size(), stdout);
}

void Output::OutLines(const std::vector<std::string>& lines) const {
  constexpr std::size_t kChunk = 64 * 1024;
  std::string chunk;
  chunk.reserve(kChunk + 256);
  for (const std::string& line : lines) {
    if (utf8) {
      chunk += SjisToUtf8(line);
    } else {
      chunk += line;
    }
    chunk += '\n';
    if (chunk.size() >= kChunk) {
      std::fwrite(chunk.data(), 1, chunk.size(), stdout);
      chunk.clear();
    }
  }
  std::fwrite(chunk.data(), 1, chunk.size(), stdout);
}

void Output::Err(const std::string& sjis) const {
  std::fflush(stdout);
  const std::string t = Text(sjis) + "\n";
  std::fwrite(t.data(), 1, t.size(), stderr);
}

bool ReadFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  bytes = s.str();
  return true;
}

std::string Describe(const Value& v) { return DisplayText(v) + " (" + TypeName(v.type()) + ")"; }

std::string ToLf(const std::string& text) {
  std::string r;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      r += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      r += text[i];
    }
  }
  return r;
}

}  // namespace tam::cli

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/cli.h"
#include "platform/platform.h"

namespace tam::cli {

namespace {
bool g_wroteShiftJis = false;

bool StdoutIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdout)) != 0;
#else
  return isatty(fileno(stdout)) != 0;
#endif
}
}  // namespace

void NoteShiftJisOutput(std::string_view sjis) {
  if (g_wroteShiftJis) return;
  // All bytes or'ed together: one pass the compiler runs many bytes at a time.
  unsigned char any = 0;
  for (char c : sjis) any |= static_cast<unsigned char>(c);
  g_wroteShiftJis = (any & 0x80) != 0;
}

void TellShiftJisOutput() {
  if (!g_wroteShiftJis || !StdoutIsTerminal()) return;
  const std::string sample = "\x93\xfa\x96\x7b";  // "Nihon"
  if (TerminalText(sample) == sample) return;     // the terminal shows Shift-JIS
  std::fputs("tamberlo: the text above is Shift-JIS, as the mail client stores it; give --utf8 to see it as UTF-8\n",
             stderr);
}

std::string Output::Text(const std::string& sjis) const { return utf8 ? SjisToUtf8(sjis) : sjis; }

void Output::Out(const std::string& sjis) const {
  if (!utf8) NoteShiftJisOutput(sjis);
  const std::string t = Text(sjis) + "\n";
  std::fwrite(t.data(), 1, t.size(), stdout);
}

void Output::OutText(const std::string& sjis) const {
  NoteShiftJisOutput(sjis);
  std::fwrite(sjis.data(), 1, sjis.size(), stdout);
}

namespace {
constexpr std::size_t kBlock = 64 * 1024;
}  // namespace

LineWriter::LineWriter(const Output& out) : out_(out), block_(kBlock) {}

LineWriter::~LineWriter() { Flush(); }

void LineWriter::Flush() {
  std::fwrite(block_.data(), 1, used_, stdout);
  used_ = 0;
}

void LineWriter::Line(std::string_view line) {
  if (out_.utf8) {
    converted_ = SjisToUtf8(std::string(line));
    line = converted_;
  } else {
    NoteShiftJisOutput(line);
  }
  if (used_ + line.size() + 1 > kBlock) Flush();
  if (line.size() + 1 > kBlock) {  // a line longer than a block goes out on its own
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    return;
  }
  if (!line.empty()) std::memcpy(block_.data() + used_, line.data(), line.size());
  used_ += line.size();
  block_[used_++] = '\n';
}

void Output::Err(const std::string& sjis) const {
  std::fflush(stdout);
  const std::string t = Text(sjis) + "\n";
  std::fwrite(t.data(), 1, t.size(), stderr);
}

bool ReadFile(const std::string& path, std::string& bytes) {
  std::string why;
  return ReadFile(path, bytes, why);
}

bool ReadFile(const std::string& path, std::string& bytes, std::string& why) {
  std::error_code error;
  if (std::filesystem::is_directory(std::filesystem::path(path), error)) {
    why = "is a folder";
    return false;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = errno != 0 ? std::strerror(errno) : "cannot be opened";
    return false;
  }
  // A read that fails raises, so that memory running out inside the stream
  // passes on as such instead of reading as a short file.
  in.exceptions(std::ios::badbit);
  try {
    // A regular file is read in one go into a text of its size; whatever the
    // size said, the rest is read by blocks up to the end.
    std::string text;
    const std::filesystem::path file(path);
    if (std::filesystem::is_regular_file(file, error)) {
      const std::uintmax_t size = std::filesystem::file_size(file, error);
      if (!error && size > 0 && size < text.max_size()) {
        text.resize(static_cast<std::size_t>(size));
        in.read(&text[0], static_cast<std::streamsize>(size));
        text.resize(static_cast<std::size_t>(in.gcount()));
      }
    }
    char block[64 * 1024];
    while (in.read(block, sizeof block) || in.gcount() > 0) text.append(block, static_cast<std::size_t>(in.gcount()));
    bytes = std::move(text);
    return true;
  } catch (const std::ios_base::failure&) {
    why = "read error";
    return false;
  }
}

bool FileBytes::Read(const std::string& path, std::string& why) {
  Close();
  return ReadFile(path, text_, why);
}

void FileBytes::Close() { std::string().swap(text_); }

std::string DropByteOrderMark(const std::string& utf8) {
  return utf8.compare(0, 3, "\xEF\xBB\xBF") == 0 ? utf8.substr(3) : utf8;
}

bool LooksLikeUtf8(const std::string& bytes) {
  bool beyondAscii = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    const std::size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || i + n > bytes.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    beyondAscii = true;
    i += n;
  }
  return beyondAscii;
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

// The tamberlo command-line tool: shared helpers of its commands.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/value.h"

namespace tam::cli {

struct Output;

// Lines for stdout gathered into blocks of 64 KB; the rest goes out when the
// writer ends.
class LineWriter {
 public:
  explicit LineWriter(const Output& out);
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;
  void Line(std::string_view sjis);

 private:
  void Flush();
  const Output& out_;
  std::vector<char> block_;
  std::size_t used_ = 0;
  std::string converted_;
};

// Output conversion: Shift-JIS as stored, or UTF-8 with --utf8.
struct Output {
  bool utf8 = false;
  std::string Text(const std::string& sjis) const;
  void Out(const std::string& sjis) const;  // a line on stdout
  // Lines on stdout as Out writes them, gathered into a few large writes.
  template <class Lines>
  void OutLines(const Lines& lines) const {
    LineWriter writer(*this);
    for (std::string_view line : lines) writer.Line(line);
  }
  // Shift-JIS text whose every line already ends in LF, written as it is:
  // without --utf8, the bytes OutLines writes for its lines.
  void OutText(const std::string& sjis) const;
  void Err(const std::string& sjis) const;  // a line on stderr
};

// Shift-JIS text beyond ASCII went to stdout (not with --utf8): a terminal
// of another code set shows it garbled, so the tool says how to read it.
void NoteShiftJisOutput(std::string_view sjis);
// After the command: the note on stderr when stdout is such a terminal.
void TellShiftJisOutput();

bool ReadFile(const std::string& path, std::string& bytes);
// The same; on failure why says what the system gave as the reason ("No such
// file or directory", "Permission denied", "is a folder").
bool ReadFile(const std::string& path, std::string& bytes, std::string& why);
// A file's bytes, read once and kept while a reply's lines refer to them.
// (The file is read, not mapped: another program that shortened a mapped
// file would end the tool.)
class FileBytes {
 public:
  FileBytes() = default;
  ~FileBytes() { Close(); }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  // As ReadFile; the bytes stay valid until Close or the next Read.
  bool Read(const std::string& path, std::string& why);
  std::string_view View() const { return text_; }
  void Close();

 private:
  std::string text_;
};
// A UTF-8 text without the byte-order mark an editor may have put in front.
std::string DropByteOrderMark(const std::string& utf8);
// Whether bytes read as Shift-JIS are rather UTF-8: valid UTF-8 with at
// least one character beyond ASCII (Shift-JIS Japanese text hardly ever is).
bool LooksLikeUtf8(const std::string& bytes);
// A value as the tool shows it: "text (Type)".
std::string Describe(const Value& v);
// CR LF and lone CR inside a text become LF.
std::string ToLf(const std::string& text);

int RunCommand(const std::vector<std::string>& args);
int EvalCommand(const std::vector<std::string>& args);

constexpr int kExitOk = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

}  // namespace tam::cli

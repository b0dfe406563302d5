#include "mail/header.h"

#include "engine/sjis.h"

namespace tam {

namespace {

bool IsContinuation(const std::string& line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

// Appends the continuation lines that follow line i, each without its first
// blank; returns the value.
std::string WithContinuations(const LineList& lines, std::size_t i, std::size_t end, std::string value) {
  for (++i; i < end && IsContinuation(lines[i]); ++i) value.append(lines[i], 1, std::string::npos);
  return value;
}

}  // namespace

std::string HeaderKey(const std::string& name) {
  std::string key = UpperCase(Trim(name));
  if (key.empty() || key.back() != ':') key += ':';
  return key;
}

bool HeaderMatches(const std::string& line, const std::string& key) {
  if (line.size() < key.size()) return false;
  // The prefix is upper-cased as UpperCase does: bytes of double-byte
  // characters stay as they are.
  for (std::size_t i = 0; i < key.size(); ++i) {
    char c = line[i];
    if (IsLeadByte(static_cast<unsigned char>(c))) {
      if (c != key[i] || (++i < key.size() && line[i] != key[i])) return false;
      continue;
    }
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c != key[i]) return false;
  }
  return true;
}

std::string LookupHeaderValue(const LineList& lines, std::size_t begin, std::size_t end, const std::string& key) {
  for (std::size_t i = begin; i < end; ++i) {
    if (HeaderMatches(lines[i], key)) return WithContinuations(lines, i, end, Trim(lines[i].substr(key.size())));
  }
  return std::string();
}

std::string HeaderValueOf(const LineList& lines, const std::string& key, std::int32_t n) {
  std::int32_t count = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!HeaderMatches(lines[i], key)) continue;
    if (count++ != n) continue;
    std::size_t from = key.size();
    while (from < lines[i].size() && lines[i][from] == ' ') ++from;
    return WithContinuations(lines, i, lines.size(), lines[i].substr(from));
  }
  return std::string();
}

std::int32_t CountHeader(const LineList& lines, const std::string& key) {
  std::int32_t count = 0;
  for (const std::string& line : lines) count += HeaderMatches(line, key) ? 1 : 0;
  return count;
}

void RemoveHeader(LineList& lines, const std::string& key) {
  // A key never starts with a blank, so a continuation line never matches and
  // every matching line takes exactly the run of continuations after it.
  std::size_t out = 0;
  for (std::size_t i = 0; i < lines.size();) {
    if (HeaderMatches(lines[i], key)) {
      for (++i; i < lines.size() && IsContinuation(lines[i]); ++i) {
      }
      continue;
    }
    if (out != i) lines[out] = std::move(lines[i]);
    ++out;
    ++i;
  }
  lines.resize(out);
}

namespace {

template <class Lines>
std::string Join(const Lines& lines) {
  std::size_t size = 0;
  for (std::string_view line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

template <class Lines>
LongestLine Longest(const Lines& lines, bool inBytes) {
  LongestLine r;
  std::int32_t i = 0;
  for (std::string_view line : lines) {
    const std::int32_t len = inBytes ? static_cast<std::int32_t>(line.size()) : CharLength(line);
    if (len > r.length) {
      r.length = len;
      r.line = i;
    }
    ++i;
  }
  return r;
}

}  // namespace

std::string JoinLines(const LineList& lines) { return Join(lines); }
std::string JoinLines(const LineStore& lines) { return Join(lines); }

LongestLine FindLongestLine(const LineList& lines, bool inBytes) { return Longest(lines, inBytes); }
LongestLine FindLongestLine(const LineStore& lines, bool inBytes) { return Longest(lines, inBytes); }

}  // namespace tam

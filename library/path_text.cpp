// File names taken apart as text. A "\" or ":" is a delimiter only when it is
// a character of its own, never the trail byte of a double-byte character.
#include "engine/sjis.h"
#include "library/file_family.h"
#include "platform/platform.h"

namespace tam {

namespace {

// Marks the trail bytes of the double-byte characters of s.
std::vector<bool> TrailBytes(const std::string& s) {
  std::vector<bool> trail(s.size(), false);
  for (std::size_t i = 0; i + 1 < s.size(); ++i)
    if (IsLeadByte(static_cast<unsigned char>(s[i]))) trail[++i] = true;
  return trail;
}

// Byte position (1-based) of the last delimiter of s; 0 when there is none.
std::size_t LastDelimiter(const std::string& delimiters, const std::string& s) {
  const std::vector<bool> trail = TrailBytes(s);
  for (std::size_t i = s.size(); i > 0; --i)
    if (!trail[i - 1] && s[i - 1] != '\0' && delimiters.find(s[i - 1]) != std::string::npos) return i;
  return 0;
}

bool PutText(Value& r, std::string s) {
  r.append(Value::Str(std::move(s)));
  return true;
}

template <std::string (*Part)(const std::string&)>
bool PathPart(const Args& args, Value& result) {
  return shape::ElementWise(args, result, [](const Value& a, Value& r) { return PutText(r, Part(shape::Text(a))); });
}

}  // namespace

std::string ExtractFilePath(const std::string& path) { return path.substr(0, LastDelimiter("\\:", path)); }

std::string ExtractFileDir(const std::string& path) {
  std::size_t p = LastDelimiter("\\:", path);
  // "C:\dir\file" gives "C:\dir", but "C:\file" keeps its root "C:\".
  if (p > 1 && path[p - 1] == '\\' && LastDelimiter("\\:", path.substr(0, p - 1)) != p - 1) --p;
  return path.substr(0, p);
}

std::string ExtractFileName(const std::string& path) { return path.substr(LastDelimiter("\\:", path)); }

std::string ExtractFileExt(const std::string& path) {
  const std::size_t p = LastDelimiter(".\\:", path);
  return p > 0 && path[p - 1] == '.' ? path.substr(p - 1) : std::string();
}

std::string ExtractFileDrive(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // "\\server\share": up to the backslash after the share name.
    const std::vector<bool> trail = TrailBytes(path);
    int seen = 0;
    for (std::size_t i = 2; i < path.size(); ++i)
      if (path[i] == '\\' && !trail[i] && ++seen == 2) return path.substr(0, i);
    return path;
  }
  return std::string();
}

bool EndsWithDelimiter(const std::string& path) {
  const std::int32_t n = CharLength(path);
  return n > 0 && CharCopy(path, n, 1) == std::string(1, os::kPathDelimiter);
}

void PutList(Value& result, const std::vector<std::string>& names) {
  Value list;
  for (const std::string& n : names) list.append(Value::Str(n));
  result.append(std::move(list));
  result.append(Value::Int(static_cast<std::int32_t>(names.size())));
}

void AddPathFunctions(Catalogue& c) {
  c["EXTRACTFILEDIR"] = PathPart<ExtractFileDir>;
  c["EXTRACTFILEDRIVE"] = PathPart<ExtractFileDrive>;
  c["EXTRACTFILEEXT"] = PathPart<ExtractFileExt>;
  c["EXTRACTFILENAME"] = PathPart<ExtractFileName>;
  c["EXTRACTFILEPATH"] = PathPart<ExtractFilePath>;
}

}  // namespace tam

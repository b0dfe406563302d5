#include "mail/part_header.h"

#include "engine/sjis.h"
#include "mail/header.h"

namespace tam {

namespace {

bool Contains(const std::string& upper, const char* word) { return FindOnBoundary(upper, word) != std::string::npos; }

// Byte offset of the last character of a non-empty s.
std::size_t LastCharStart(const std::string& s) {
  std::size_t last = 0;
  for (std::size_t b = 0; b < s.size(); b += IsLeadByte(static_cast<unsigned char>(s[b])) ? 2 : 1) last = b;
  return last;
}

// The boundary parameter: what follows the word, an optional "=", and a value
// that loses its first and last characters when it starts with a quote.
std::string BoundaryValue(const std::string& params, std::size_t afterWord) {
  std::string v = Trim(params.substr(afterWord));
  if (!v.empty() && v[0] == '=') v = Trim(v.substr(1));
  if (!v.empty() && v[0] == '"') {
    const std::size_t last = LastCharStart(v);
    v = last > 1 ? v.substr(1, last - 1) : std::string();
  }
  return v;
}

// A file name parameter: trimmed; a quoted name ends before the next quote.
std::string FileNameValue(const std::string& text, std::size_t afterWord) {
  std::string v = Trim(text.substr(afterWord));
  if (v.empty() || v[0] != '"') return v;
  const std::size_t close = FindOnBoundary(v, "\"", 1);
  return v.substr(1, close == std::string::npos ? std::string::npos : close - 1);
}

}  // namespace

PartInfo ClassifyPart(const LineList& lines, std::size_t begin, std::size_t end) {
  PartInfo info;
  const std::string type = LookupHeaderValue(lines, begin, end, "CONTENT-TYPE:");
  std::string media = type, params;
  const std::size_t semi = FindOnBoundary(type, ";");
  if (semi != std::string::npos) {
    media = type.substr(0, semi + 1);
    params = Trim(type.substr(semi + 1));
  }
  const std::string upperMedia = UpperCase(media);
  if (type.empty() || Contains(upperMedia, "PLAIN")) {
    info.kind = PartInfo::kPlain;
    return info;
  }
  if (Contains(upperMedia, "HTML")) {
    info.kind = PartInfo::kHtml;
    return info;
  }
  const std::string upperParams = UpperCase(params);
  const std::size_t boundary = FindOnBoundary(upperParams, "BOUNDARY");
  if (boundary != std::string::npos) {
    info.kind = PartInfo::kContainer;
    info.delimiter = "--" + BoundaryValue(params, boundary + 8);
    return info;
  }
  const std::string disposition = LookupHeaderValue(lines, begin, end, "CONTENT-DISPOSITION:");
  const std::size_t fileName = FindOnBoundary(UpperCase(disposition), "FILENAME=");
  if (fileName != std::string::npos) {
    info.kind = PartInfo::kAttachment;
    info.fileName = FileNameValue(disposition, fileName + 9);
    return info;
  }
  const std::size_t name = FindOnBoundary(upperParams, "NAME=");
  if (name != std::string::npos) {
    info.kind = PartInfo::kAttachment;
    info.fileName = FileNameValue(params, name + 5);
  }
  return info;
}

}  // namespace tam

#include "debugger/change_log.h"

#include <new>

namespace tam {

namespace {

// Waiting text that is written at once, without waiting for Flush.
constexpr std::size_t kFlushAt = 64 * 1024;

}  // namespace

void TChangeLog::Load() {
  std::optional<std::string> text = files_.FileExists(fileName_) ? files_.ReadAll(fileName_) : std::nullopt;
  empty_ = !text || text->empty();
  openLine_ = !empty_ && text->back() != '\n' && text->back() != '\r';
}

std::string TChangeLog::ChangeLine(const std::string& name, const Value& value) {
  if (value.isString()) return name + "=\"" + std::string(value.str()) + "\"";
  return name + "=" + DisplayText(value);
}

void TChangeLog::Add(const std::string& line) {
  try {
    if (openLine_) {
      pending_ += "\r\n";
      openLine_ = false;
    }
    pending_ += line;
    pending_ += "\r\n";
  } catch (const std::bad_alloc&) {
    pending_.clear();
    failed_ = true;
  }
  empty_ = false;
  if (pending_.size() >= kFlushAt) Flush();
}

void TChangeLog::Separate() {
  if (!empty_) Add(kSeparator);
}

bool TChangeLog::Flush() {
  if (pending_.empty()) return true;
  const bool ok = files_.AppendText(fileName_, pending_);
  pending_.clear();
  if (!ok) failed_ = true;
  return ok;
}

}  // namespace tam

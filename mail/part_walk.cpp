// The walk reads the mail once, line by line, keeping a stack of the parts
// that are open: a part of a container ends at the container's delimiter
// line, so every line is looked at a bounded number of times however deep the
// nesting, and the C++ stack never grows with it.
#include "mail/part_walk.h"

#include <string_view>
#include <type_traits>
#include <unordered_map>

#include "engine/sjis.h"
#include "engine/text_lines.h"
#include "mail/part_header.h"

namespace tam {

namespace {

// Lines is a LineList or a list of views into the mail's text.
template <class Lines>
class PartWalk {
 public:
  // borrow: the body lines stay in the text the views point into.
  PartWalk(const Lines& lines, TMailState& state, bool borrow = false)
      : lines_(lines), borrow_(borrow), state_(state) {}
  // The same with views the walk may keep as the body: a mail that is one
  // plain part hands its list of lines on instead of a copy of its body's.
  struct HandOn {};
  PartWalk(Lines& lines, TMailState& state, HandOn) : lines_(lines), spare_(&lines), borrow_(true), state_(state) {}

  void Run() {
    stack_.push_back(Part(0));
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (EndsParts(i)) continue;
      Feed(i);
    }
    CloseAbove(0, lines_.size());
    Finish(stack_.back(), lines_.size());
  }

 private:
  enum State {
    kHeader,    // before the first empty line
    kPlain,     // a plain-text body; kept when the part ends
    kIgnore,    // nothing more of this part enters the model
    kPreamble,  // a container looking for its first delimiter
    kParts,     // a container with an open part above it
    kEpilogue,  // a container after its closing delimiter
  };
  struct Part {
    explicit Part(std::size_t first) : start(first) {}
    std::size_t start;
    State state = kHeader;
    std::size_t bodyStart = std::string::npos;
    std::string delimiter;
  };
  struct Mark {
    std::size_t level;
    bool closing;
  };

  // A line equal to the delimiter of an open container ends every part above
  // that container; the outermost container wins, as it splits first.
  bool EndsParts(std::size_t i) {
    const std::string_view line = lines_[i];
    if (marks_.empty() || line.size() < 2 || line[0] != '-' || line[1] != '-') return false;
    auto it = marks_.find(std::string(line));
    if (it == marks_.end()) return false;
    const Mark mark = it->second.front();
    CloseAbove(mark.level, i);
    if (mark.closing) {
      Unregister(mark.level);
      stack_[mark.level].state = kEpilogue;
    } else {
      stack_.push_back(Part(i + 1));
    }
    return true;
  }

  void Feed(std::size_t i) {
    Part& part = stack_.back();
    const std::string_view line = lines_[i];
    switch (part.state) {
      case kHeader:
        if (line.empty()) EndHeader(part, i);
        break;
      case kPlain:
        if (part.bodyStart == std::string::npos && !line.empty()) part.bodyStart = i;
        break;
      case kPreamble:
        if (line.size() == part.delimiter.size() && UpperCase(std::string(line)) == UpperCase(part.delimiter)) {
          part.state = kParts;
          Register(stack_.size() - 1);
          stack_.push_back(Part(i + 1));
        }
        break;
      default:
        break;
    }
  }

  // The header of the part is lines [start, i); line i is its first empty line,
  // so the part has a body.
  void EndHeader(Part& part, std::size_t i) {
    if (stack_.size() == 1) state_.RefHeader.assign(lines_.begin() + part.start, lines_.begin() + i);
    if (i == part.start) {
      part.state = kIgnore;  // no header: the part is not looked into
      return;
    }
    PartInfo info = Classify(part.start, i);
    switch (info.kind) {
      case PartInfo::kPlain:
        part.state = kPlain;
        break;
      case PartInfo::kHtml:
        state_.HtmlPart = true;
        part.state = kIgnore;
        break;
      case PartInfo::kContainer:
        part.state = kPreamble;
        part.delimiter = std::move(info.delimiter);
        break;
      case PartInfo::kAttachment:
        state_.AttachedFiles.push_back(std::move(info.fileName));
        part.state = kIgnore;
        break;
      case PartInfo::kOther:
        part.state = kIgnore;
        break;
    }
  }

  // The part on top of the stack ends before line end.
  void Finish(Part& part, std::size_t end) {
    switch (part.state) {
      case kHeader:  // no empty line: all header, no body
        if (stack_.size() == 1) state_.RefHeader.assign(lines_.begin() + part.start, lines_.begin() + end);
        break;
      case kPlain:
        if (part.bodyStart == std::string::npos) {
          AddBodyLine(std::string_view());  // only empty lines: the body is the last of them
        } else {
          TakeBody(part.bodyStart, end);
        }
        break;
      case kParts:
        Unregister(stack_.size() - 1);
        break;
      default:
        break;
    }
  }

  PartInfo Classify(std::size_t begin, std::size_t end) const {
    if constexpr (std::is_same_v<Lines, LineList>) {
      return ClassifyPart(lines_, begin, end);
    } else {
      const LineList header(lines_.begin() + begin, lines_.begin() + end);
      return ClassifyPart(header, 0, header.size());
    }
  }

  void AddBodyLine(std::string_view line) {
    if (borrow_) {
      state_.RefBody.Borrow(line);
    } else {
      state_.RefBody.push_back(line);
    }
  }

  void TakeBody(std::size_t begin, std::size_t end) {
    if constexpr (!std::is_same_v<Lines, LineList>) {
      if (spare_ && stack_.size() == 1 && end == lines_.size() && state_.RefBody.empty()) {
        // The body of the top-level part is the last thing the walk reads.
        spare_->erase(spare_->begin(), spare_->begin() + static_cast<std::ptrdiff_t>(begin));
        state_.RefBody.AdoptBorrowed(std::move(*spare_));
        return;
      }
    }
    if (borrow_) {
      state_.RefBody.ReserveBorrowed(end - begin);
      for (std::size_t i = begin; i < end; ++i) state_.RefBody.Borrow(lines_[i]);
      return;
    }
    std::size_t bytes = 0;
    for (std::size_t i = begin; i < end; ++i) bytes += lines_[i].size();
    LineStore& body = state_.RefBody;
    body.Reserve(end - begin, bytes);
    for (std::size_t i = begin; i < end; ++i) body.push_back(lines_[i]);
  }

  void CloseAbove(std::size_t level, std::size_t end) {
    while (stack_.size() > level + 1) {
      Finish(stack_.back(), end);
      stack_.pop_back();
    }
  }

  // Open containers register their delimiter and closing delimiter; deeper
  // containers are registered later, so each list runs from outer to inner.
  void Register(std::size_t level) {
    const std::string& d = stack_[level].delimiter;
    marks_[d].push_back(Mark{level, false});
    marks_[d + "--"].push_back(Mark{level, true});
  }

  // Only the innermost open container is ever unregistered, so its marks are
  // the last of their lists.
  void Unregister(std::size_t level) {
    const std::string& d = stack_[level].delimiter;
    Drop(d);
    Drop(d + "--");
  }

  void Drop(const std::string& key) {
    auto it = marks_.find(key);
    if (it == marks_.end()) return;
    it->second.pop_back();
    if (it->second.empty()) marks_.erase(it);
  }

  const Lines& lines_;
  Lines* spare_ = nullptr;
  const bool borrow_;
  TMailState& state_;
  std::vector<Part> stack_;
  std::unordered_map<std::string, std::vector<Mark>> marks_;
};

}  // namespace

void WalkMail(const LineList& lines, TMailState& state) { PartWalk<LineList>(lines, state).Run(); }

void WalkMail(LineList&& lines, TMailState& state) { WalkMail(static_cast<const LineList&>(lines), state); }

void WalkMailText(std::string_view text, TMailState& state, bool borrow) {
  std::vector<std::string_view> lines = SplitTextLineViews(text);
  if (borrow) {
    using Walk = PartWalk<std::vector<std::string_view>>;
    Walk(lines, state, Walk::HandOn{}).Run();
  } else {
    PartWalk<std::vector<std::string_view>>(lines, state).Run();
  }
}

}  // namespace tam

// A body of many lines kept back to back in one text, every line followed by
// LF, beside the end of each line: however many lines a mail or a reply has,
// they take two blocks of memory, and the text as it stands is what a tool
// writes out (a line may itself hold CR or LF; the ends say where it stops).
// A mail's lines may instead stay in the caller's text (Borrow).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace tam {

class LineStore {
 public:
  // Lines read as views; enough of a forward iterator to fill a LineList.
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;

    const_iterator(const LineStore* store, std::size_t i) : store_(store), i_(i) {}
    std::string_view operator*() const { return (*store_)[i_]; }
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    const_iterator operator++(int) { return const_iterator(store_, i_++); }
    bool operator==(const const_iterator& o) const { return i_ == o.i_; }
    bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

   private:
    const LineStore* store_;
    std::size_t i_;
  };
  using iterator = const_iterator;
  using value_type = std::string_view;

  LineStore() = default;
  LineStore(std::initializer_list<std::string_view> lines) {
    for (std::string_view l : lines) push_back(l);
  }
  explicit LineStore(const std::vector<std::string>& lines) {
    Reserve(lines.size(), 0);
    for (const std::string& l : lines) push_back(l);
  }

  std::size_t size() const { return borrowed_ ? views_.size() : ends_.size(); }
  bool empty() const { return size() == 0; }
  std::string_view operator[](std::size_t i) const {
    if (borrowed_) return views_[i];
    const std::size_t start = i == 0 ? 0 : ends_[i - 1] + 1;
    return std::string_view(text_.data() + start, ends_[i] - start);
  }
  std::string_view front() const { return (*this)[0]; }
  std::string_view back() const { return (*this)[size() - 1]; }
  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, size()); }

  void push_back(std::string_view line) {
    if (borrowed_) Own();
    text_.append(line.data(), line.size());
    ends_.push_back(text_.size());
    text_ += '\n';
  }
  void emplace_back() { push_back(std::string_view()); }
  // Every line of from with prefix in front, the text grown once.
  void AppendPrefixed(std::string_view prefix, const LineStore& from) {
    if (&from == this) {
      const LineStore copy = from;
      return AppendPrefixed(prefix, copy);
    }
    const std::size_t n = from.size(), bytes = from.Bytes() + n * prefix.size();
    Reserve(n, bytes);
    std::size_t at = text_.size();
    text_.resize(at + bytes + n);
    char* const out = &text_[0];
    for (std::size_t i = 0; i < n; ++i) {
      const std::string_view line = from[i];
      std::memcpy(out + at, prefix.data(), prefix.size());
      at += prefix.size();
      if (!line.empty()) std::memcpy(out + at, line.data(), line.size());  // an empty view may have no bytes at all
      at += line.size();
      ends_.push_back(at);
      out[at++] = '\n';
    }
  }

  // Room for lines more lines holding bytes more bytes in all, taken at once;
  // a store that would need more still grows by at least half.
  void Reserve(std::size_t lines, std::size_t bytes) {
    if (borrowed_) Own();
    Grow(ends_, ends_.size() + lines);
    Grow(text_, text_.size() + bytes + lines);
  }

  // A line that stays where it is, in a text that the store's owner keeps
  // unchanged until the store is released. A store holds either such lines
  // or lines of its own: borrowing into a store of its own lines copies the
  // line, and adding a line of its own to borrowed lines copies them all.
  void Borrow(std::string_view line) {
    if (!borrowed_ && !ends_.empty()) return push_back(line);
    borrowed_ = true;
    views_.push_back(line);
  }
  // Room for lines more borrowed lines.
  void ReserveBorrowed(std::size_t lines) {
    if (borrowed_ || ends_.empty()) Grow(views_, views_.size() + lines);
  }
  // The borrowed lines of a list the caller is done with, for all the lines
  // of the store.
  void AdoptBorrowed(std::vector<std::string_view>&& lines) {
    Release();
    views_ = std::move(lines);
    borrowed_ = true;
  }
  bool Borrowed() const { return borrowed_; }

  // The bytes of all lines, without their LFs.
  std::size_t Bytes() const {
    if (!borrowed_) return text_.size() - ends_.size();
    std::size_t n = 0;
    for (std::string_view l : views_) n += l.size();
    return n;
  }

  // Empties the store and gives its memory back.
  void Release() {
    std::string().swap(text_);
    std::vector<std::size_t>().swap(ends_);
    std::vector<std::string_view>().swap(views_);
    borrowed_ = false;
  }

  // Every line followed by LF, for a store of its own lines (borrowed lines
  // are read one by one).
  const std::string& Text() const { return text_; }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    lines.reserve(size());
    for (std::string_view l : *this) lines.emplace_back(l);
    return lines;
  }

  friend bool operator==(const LineStore& a, const LineStore& b) { return Same(a, b); }
  friend bool operator==(const LineStore& a, const std::vector<std::string>& b) { return Same(a, b); }
  friend bool operator==(const std::vector<std::string>& a, const LineStore& b) { return b == a; }
  friend bool operator!=(const LineStore& a, const std::vector<std::string>& b) { return !(a == b); }

 private:
  template <class Lines>
  static bool Same(const LineStore& a, const Lines& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < b.size(); ++i)
      if (a[i] != b[i]) return false;
    return true;
  }

  // Borrowed lines become lines of the store's own.
  void Own() {
    std::vector<std::string_view> lines;
    lines.swap(views_);
    borrowed_ = false;
    std::size_t bytes = 0;
    for (std::string_view l : lines) bytes += l.size();
    Reserve(lines.size(), bytes);
    for (std::string_view l : lines) push_back(l);
  }

  template <class Buffer>
  static void Grow(Buffer& b, std::size_t needed) {
    if (needed > b.capacity()) b.reserve(std::max(needed, b.capacity() + b.capacity() / 2));
  }

  std::string text_;
  std::vector<std::size_t> ends_;        // position of the LF after each line
  std::vector<std::string_view> views_;  // borrowed lines
  bool borrowed_ = false;
};

}  // namespace tam

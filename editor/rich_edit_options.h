// The options the program editor adds to the rich-edit control: the IME
// composition colours and the Japanese line-breaking flag word with its
// punctuation sets. Plain objects; the window layer sends them to the control
// when they change.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace tam::editor {

// A colour as the forms keep it: 0x00BBGGRR, or a system colour index with
// the high bit set (converted to RGB before it reaches the control).
using TColor = std::int32_t;
constexpr TColor kMarkGrey = 12632256;  // 0xC0C0C0

// Font styles of an IME colour; the values are the control's effect bits.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TImeColor {
  TColor icText = 0;
  TColor icBackground = 0;
  unsigned Style = 0;  // TFontStyle bits
  bool operator==(const TImeColor& o) const {
    return icText == o.icText && icBackground == o.icBackground && Style == o.Style;
  }
};

// The four composition states, in the order the control takes them.
enum TImeColorKind { Untransfered = 0, WatchingTransfered = 1, Transfered = 2, WatchingUntransfered = 3 };

class TImeColors {
 public:
  const TImeColor& operator[](TImeColorKind kind) const { return colors_[kind]; }
  // Any change sends all four colours again.
  void Set(TImeColorKind kind, const TImeColor& color);
  const std::array<TImeColor, 4>& All() const { return colors_; }
  std::function<void()> OnChange;

 private:
  std::array<TImeColor, 4> colors_{};
};

// Bits of the word-wrap flag word.
enum TWordWrapFlag : std::uint32_t { wbfWordWrap = 0x10, wbfWordBreak = 0x20, wbfOverflow = 0x40 };
constexpr std::uint32_t kWordWrapBits = wbfWordWrap | wbfWordBreak | wbfOverflow;
enum class TPunctuationMode { wbfCustom, wbfLevel1, wbfLevel2 };
constexpr std::uint32_t kLevel1Bit = 0x80, kLevel2Bit = 0x100, kCustomBit = 0x200;
// The flag words with which the window reads the two built-in tables.
constexpr std::uint32_t kReadLevel1Flags = 0xF0, kReadLevel2Flags = 0x170;

// The four punctuation kinds, numbered as the control numbers them.
enum TPunctuationKind { pcFollowing = 1, pcLeading = 2, pcOverflow = 3, pcDelimiter = 4 };

class TWordWrapOption {
 public:
  std::uint32_t Flags() const { return flags_; }
  void SetFlags(std::uint32_t flags);

  std::uint32_t WordWrapMode() const { return flags_ & kWordWrapBits; }
  void SetWordWrapMode(std::uint32_t mode) { SetFlags((flags_ & ~kWordWrapBits) | (mode & kWordWrapBits)); }

  TPunctuationMode PunctuationMode() const;
  void SetPunctuationMode(TPunctuationMode mode);

  // The string of the current mode's set (the custom set while designing).
  const std::string& Punctuation(TPunctuationKind kind) const;
  // Sets the custom string, switches to the custom mode and tells the
  // control; when the control refuses the string, it is emptied.
  void SetPunctuation(TPunctuationKind kind, const std::string& chars);
  // The built-in tables as read from the control.
  void SetTable(TPunctuationMode set, TPunctuationKind kind, const std::string& chars);

  bool designing = false;
  // The flag word changed: the control gets it again.
  std::function<void()> OnFlagsChange;
  // Sends one custom string to the control; false when it refuses it.
  std::function<bool(TPunctuationKind, const std::string&)> SendPunctuation;

 private:
  std::uint32_t flags_ = 0;
  std::array<std::array<std::string, 4>, 3> sets_;  // by TPunctuationMode, then kind - 1
};

}  // namespace tam::editor

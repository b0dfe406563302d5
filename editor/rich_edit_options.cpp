#include "editor/rich_edit_options.h"

namespace tam::editor {

void TImeColors::Set(TImeColorKind kind, const TImeColor& color) {
  colors_[kind] = color;
  if (OnChange) OnChange();
}

void TWordWrapOption::SetFlags(std::uint32_t flags) {
  flags_ = flags;
  if (OnFlagsChange) OnFlagsChange();
}

TPunctuationMode TWordWrapOption::PunctuationMode() const {
  if ((flags_ & 0x180) == kLevel1Bit) return TPunctuationMode::wbfLevel1;
  if ((flags_ & 0x380) == kCustomBit) return TPunctuationMode::wbfCustom;
  return TPunctuationMode::wbfLevel2;
}

void TWordWrapOption::SetPunctuationMode(TPunctuationMode mode) {
  std::uint32_t bit = mode == TPunctuationMode::wbfLevel1   ? kLevel1Bit
                      : mode == TPunctuationMode::wbfLevel2 ? kLevel2Bit
                                                            : kCustomBit;
  SetFlags((flags_ & ~(kLevel1Bit | kLevel2Bit | kCustomBit)) | bit);
}

const std::string& TWordWrapOption::Punctuation(TPunctuationKind kind) const {
  TPunctuationMode mode = designing ? TPunctuationMode::wbfCustom : PunctuationMode();
  return sets_[static_cast<int>(mode)][kind - 1];
}

void TWordWrapOption::SetPunctuation(TPunctuationKind kind, const std::string& chars) {
  std::string& custom = sets_[static_cast<int>(TPunctuationMode::wbfCustom)][kind - 1];
  custom = chars;
  SetPunctuationMode(TPunctuationMode::wbfCustom);
  if (SendPunctuation && !SendPunctuation(kind, chars)) custom.clear();
}

void TWordWrapOption::SetTable(TPunctuationMode set, TPunctuationKind kind, const std::string& chars) {
  sets_[static_cast<int>(set)][kind - 1] = chars;
}

}  // namespace tam::editor

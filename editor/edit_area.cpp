#include "editor/edit_area.h"

#include "editor/rich_edit_options.h"

namespace tam::editor {

namespace {
bool Store(int& field, int value, bool accepted, const std::function<void()>& changed) {
  if (!accepted) return false;
  field = value;
  if (changed) changed();
  return true;
}
}  // namespace

bool TEditMargin::SetLeft(int value) { return Store(left_, value, value > 9, OnChange); }
bool TEditMargin::SetTop(int value) { return Store(top_, value, value >= 0, OnChange); }
bool TEditMargin::SetBottom(int value) { return Store(bottom_, value, value >= 0, OnChange); }

bool TEditArea::SetLineLength(std::uint32_t value) {
  if (static_cast<std::int32_t>(value) < 0) return false;
  lineLength_ = value;
  if (OnChange) OnChange();
  return true;
}

TRect TEditArea::WrapArea(int clientHeight, std::uint32_t wordWrapMode) const {
  long long c = cellHeight_;
  long long right = static_cast<long long>(lineLength_) * c / 2 + Margin.Left() + c;
  if (!(wordWrapMode & wbfOverflow)) right += c;
  if (right > 0x3FFFFFFF) right = 0x3FFFFFFF;  // a huge line length must not wrap the coordinate
  return {Margin.Left(), Margin.Top(), static_cast<int>(right), clientHeight - Margin.Bottom()};
}

int TEditArea::WrapColumnX() const {
  long long x = static_cast<long long>(lineLength_) * cellHeight_ / 2 + Margin.Left();
  if (cellHeight_ != 0) ++x;
  return x > 0x3FFFFFFF ? 0x3FFFFFFF : static_cast<int>(x);
}

int CellHeightFor(int textHeight) { return textHeight + (textHeight & 1); }

int CharSizeTwips(int cellHeight, int pixelsPerInch) {
  return pixelsPerInch > 0 ? cellHeight * 1440 / pixelsPerInch : cellHeight * 15;
}

}  // namespace tam::editor

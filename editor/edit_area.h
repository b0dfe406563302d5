// The program editor's text area: its margins, the wrap width in half-width
// cells and the cell height, and where the wrap area and the wrap-column
// line lie.
#pragma once

#include <cstdint>
#include <functional>

namespace tam::editor {

struct TRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const TRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

class TEditMargin {
 public:
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Bottom() const { return bottom_; }
  // A value out of range is refused and the margin stays as it was.
  bool SetLeft(int value);  // more than 9 pixels
  bool SetTop(int value);   // 0 or more
  bool SetBottom(int value);
  std::function<void()> OnChange;

 private:
  int left_ = 0, top_ = 0, bottom_ = 0;
};

class TEditArea {
 public:
  TEditArea() {
    Margin.OnChange = [this] {
      if (OnChange) OnChange();
    };
  }
  TEditArea(const TEditArea&) = delete;
  TEditArea& operator=(const TEditArea&) = delete;

  TEditMargin Margin;
  std::uint32_t LineLength() const { return lineLength_; }
  // Refused when the value is negative as a signed integer.
  bool SetLineLength(std::uint32_t value);
  int CellHeight() const { return cellHeight_; }
  void SetCellHeight(int c) { cellHeight_ = c; }

  // The formatting rectangle while the control wraps words; wordWrapMode
  // holds the wrap flag bits (without overflow the right edge takes one more
  // cell).
  TRect WrapArea(int clientHeight, std::uint32_t wordWrapMode) const;
  // x of the wrap-column line from the control's left edge.
  int WrapColumnX() const;

  // Margins or line length changed: the wrap area is applied again.
  std::function<void()> OnChange;

 private:
  std::uint32_t lineLength_ = 80;
  int cellHeight_ = 0;
};

// The cell height for a double-byte blank of text height h: h rounded up to
// an even number.
int CellHeightFor(int textHeight);
// The control's default character size in twips for a cell height.
int CharSizeTwips(int cellHeight, int pixelsPerInch);

}  // namespace tam::editor

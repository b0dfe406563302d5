#include "settings/form_place.h"

namespace tam {

namespace {

int HoldOnScreen(int at, int size, int screen) {
  if (at + size > screen) at = screen - size;
  return at < 0 ? 0 : at;
}

}  // namespace

Point CentreOver(const Rect& owner, int width, int height, int screenWidth, int screenHeight) {
  Point p;
  p.x = HoldOnScreen(owner.left + (owner.right - owner.left - width) / 2, width, screenWidth);
  p.y = HoldOnScreen(owner.top + (owner.bottom - owner.top - height) / 2, height, screenHeight);
  return p;
}

}  // namespace tam

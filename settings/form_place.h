// Placing a form over its owner window, kept on the screen.
#pragma once

#include "settings/window_geometry.h"

namespace tam {

struct Point {
  int x = 0, y = 0;
};

// The top-left corner of a width x height form centred over owner, then
// moved left (up) when it would pass the screen's right (bottom) edge and
// set to 0 when it is negative.
Point CentreOver(const Rect& owner, int width, int height, int screenWidth, int screenHeight);

}  // namespace tam

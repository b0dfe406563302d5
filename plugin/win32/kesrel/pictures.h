// The plug-in's pictures, drawn at run time: its icon and the about box's
// hidden picture.
#pragma once

#include <windows.h>

namespace tam::win {

// A 32 x 32 icon; the caller destroys it.
HICON MakePluginIcon();
// A 32 x 32 bitmap; the caller deletes it.
HBITMAP MakeHiddenPicture();

}  // namespace tam::win

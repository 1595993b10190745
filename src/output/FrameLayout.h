// Screen arithmetic of our pop-up windows.
//
// Where the four strips of the highlight frame go around a target rectangle:
// left, top, right, bottom, each thickness + 2 pixels thick, gap pixels away
// from the target, the top and bottom strips reaching over the corners.
#pragma once

#include <array>

#include "output/CaretTracker.h"

namespace output {

std::array<ScreenRect, 4> FrameStrips(const ScreenRect& target, int gap, int thickness);

// Where a pop-up of `width` x `height` whose top-left corner would be `at`
// goes inside the monitor's work area `work`: with no room below it is
// flipped above, its bottom `above` pixels over `at` (the caret's height and
// the gap under it), or, with no room there either, raised until it fits;
// it is moved left as far as needed; never past the left or top edge.
ScreenPoint KeepInWorkArea(ScreenPoint at, int width, int height, int above, const ScreenRect& work);

}  // namespace output

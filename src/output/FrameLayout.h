// Where the four strips of the highlight frame go around a target rectangle:
// left, top, right, bottom, each thickness + 2 pixels thick, gap pixels away
// from the target, the top and bottom strips reaching over the corners.
#pragma once

#include <array>

#include "output/CaretTracker.h"

namespace output {

std::array<ScreenRect, 4> FrameStrips(const ScreenRect& target, int gap, int thickness);

}  // namespace output

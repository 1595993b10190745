// The highlight frame's strips around a target.
#include "output/FrameLayout.h"

#include <gtest/gtest.h>

namespace {

using output::ScreenRect;

TEST(HighlightFrame, StripsSurroundTheTarget) {
  const auto strips = output::FrameStrips({100, 100, 300, 200}, 2, 2);
  EXPECT_EQ(strips[0], (ScreenRect{94, 98, 98, 202}));
  EXPECT_EQ(strips[1], (ScreenRect{94, 94, 306, 98}));
  EXPECT_EQ(strips[2], (ScreenRect{302, 98, 306, 202}));
  EXPECT_EQ(strips[3], (ScreenRect{94, 202, 306, 206}));
  const auto wide = output::FrameStrips({0, 0, 10, 10}, 0, 0);
  EXPECT_EQ(wide[1], (ScreenRect{-2, -2, 12, 0}));
}

}  // namespace

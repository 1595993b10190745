// The highlight frame's strips around a target, and pop-ups kept inside a
// monitor's work area.
#include "output/FrameLayout.h"

#include <gtest/gtest.h>

namespace {

using output::ScreenPoint;
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

TEST(PopupPlace, KeptInsideTheCaretsMonitor) {
  const ScreenRect second = {1920, 0, 3840, 1040}, left = {-1280, 0, 0, 1024};
  struct Case {
    ScreenPoint at;
    int width, height;
    ScreenRect work;
    ScreenPoint want;
  } cases[] = {
      {{2000, 500}, 200, 150, second, {2000, 500}},    // room below
      {{2000, 1000}, 200, 150, second, {2000, 825}},   // flipped above the caret
      {{3800, 500}, 200, 150, second, {3640, 500}},    // moved left of the edge
      {{3800, 1000}, 200, 150, second, {3640, 825}},   // both
      {{-100, 100}, 200, 150, left, {-200, 100}},      // a monitor left of the main one
      {{2000, 30}, 200, 2000, second, {2000, 0}},      // taller than the work area
      {{2000, 10}, 200, 1030, second, {2000, 10}},     // just fits below
      {{2000, 20}, 200, 1030, second, {2000, 10}},     // no room above either
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.at.x << "," << c.at.y << " " << c.width << "x"
                                    << c.height);
    EXPECT_EQ(output::KeepInWorkArea(c.at, c.width, c.height, 25, c.work), c.want);
  }
}

}  // namespace

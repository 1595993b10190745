#include "output/FrameLayout.h"

namespace output {

std::array<ScreenRect, 4> FrameStrips(const ScreenRect& t, int gap, int thickness) {
  const int g = gap, s = thickness + 2;
  return {{
      {t.left - g - s, t.top - g, t.left - g, t.bottom + g},
      {t.left - g - s, t.top - g - s, t.right + g + s, t.top - g},
      {t.right + g, t.top - g, t.right + g + s, t.bottom + g},
      {t.left - g - s, t.bottom + g, t.right + g + s, t.bottom + g + s},
  }};
}

ScreenPoint KeepInWorkArea(ScreenPoint at, int width, int height, int above, const ScreenRect& work) {
  ScreenPoint p = at;
  if (p.y + height > work.bottom) {
    const int flipped = at.y - above - height;
    p.y = flipped >= work.top ? flipped : work.bottom - height;
  }
  if (p.x + width > work.right) p.x = work.right - width;
  if (p.x < work.left) p.x = work.left;
  if (p.y < work.top) p.y = work.top;
  return p;
}

}  // namespace output

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

}  // namespace output

#include "config/ProgressModel.h"

#include <cstdio>

void CProgressModel::SetRange(std::int32_t lower, std::int32_t upper, std::int32_t step) {
  m_lower = lower;
  m_upper = upper;
  m_step = step;
}

bool CProgressModel::SetPos(std::int32_t position) {
  m_position = position;
  // In 64 bits: a position near the 32-bit limit times 100 must not wrap.
  const std::int64_t span = static_cast<std::int64_t>(m_upper) - m_lower;
  const auto percent = span > 0 ? static_cast<std::int32_t>(static_cast<std::int64_t>(position) * 100 / span) : 0;
  if (percent == m_percent) return false;
  m_percent = percent;
  return true;
}

std::string CProgressModel::TitleText() const {
  char text[600];
  std::snprintf(text, sizeof text, "%s [%d%%]", title.c_str(), m_percent);
  return text;
}

ProgressPlace PlaceProgressWindow(bool remembered, ProgressPlace corner, std::int32_t windowWidth,
                                  std::int32_t windowHeight, std::int32_t screenWidth, std::int32_t screenHeight) {
  if (remembered && corner.x >= 0 && corner.x < screenWidth && corner.y >= 0 && corner.y < screenHeight)
    return corner;
  return {(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 2};
}

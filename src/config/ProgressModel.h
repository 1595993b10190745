// The progress window's arithmetic, apart from drawing: range, position, the
// percentage its title shows, and where the window goes when it opens.
#pragma once

#include <cstdint>
#include <string>

class CProgressModel {
 public:
  void SetRange(std::int32_t lower, std::int32_t upper, std::int32_t step);
  // Stores the position; true when the percentage changed (the title must
  // be shown again).
  bool SetPos(std::int32_t position);
  std::int32_t Position() const { return m_position; }
  std::int32_t Step() const { return m_step; }
  std::int32_t Percent() const { return m_percent; }
  // The title with the percentage: "title [25%]".
  std::string TitleText() const;

  std::string title = "Progress";

 private:
  std::int32_t m_lower = 0;
  std::int32_t m_upper = 100;
  std::int32_t m_step = 1;
  std::int32_t m_position = 0;
  std::int32_t m_percent = 0;
};

// The window's top-left corner: the remembered one when it lies on the
// screen (0 <= x < width, 0 <= y < height), else the one that centres it.
struct ProgressPlace {
  std::int32_t x;
  std::int32_t y;
};
ProgressPlace PlaceProgressWindow(bool remembered, ProgressPlace corner, std::int32_t windowWidth,
                                  std::int32_t windowHeight, std::int32_t screenWidth, std::int32_t screenHeight);

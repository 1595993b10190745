// quillet-term --measure: how many keystrokes the prompt saves a typist on a
// text. The text is typed through the real engine by a typist who presses a
// row's index key as soon as the shown page offers the word being typed, as
// written, and types every other character.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/sim/SimMainWindow.h"

namespace term {

// What the measure drives: one Quillet session with its text area.
struct MeasureSession {
  engine::SimMainWindow& main;
  const std::uint8_t* indexKeys;  // the ten index keys of the options
  std::function<void(const std::string&)> typeChar;  // one character's bytes
  std::function<void(std::uint8_t)> pressKey;
  std::function<std::string()> areaText;
  std::function<void()> clearArea;  // also empties the engine's buffer
};

// Types the file; progress on stderr, the result line on stdout. 0, or 1
// when the file cannot be read.
int RunMeasure(MeasureSession& session, const std::string& path);

// Reads "typed<TAB>intended" lines (further columns ignored, bad lines
// skipped), types each typed word into an empty text area and looks for the
// intended word on the first page; prints "on the first page P%, in the
// first row R% (N words)". 0, or 1 when the file cannot be read.
int RunMeasureTypos(MeasureSession& session, const std::string& path);

}  // namespace term

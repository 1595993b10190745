// Drawing the terminal front end: the text area with its caret, and the
// prompt list with its number labels under the caret and the preview text
// beside the selected row.
#pragma once

#include <string>

#include "engine/sim/SimMainWindow.h"

namespace term {

// Everything to write to the terminal for one frame (ANSI escape codes,
// text in UTF-8), for a screen of rows x columns.
std::string RenderFrame(const std::string& text, size_t caret, const engine::SimMainWindow& prompt,
                        int rows, int columns, const std::string& status);

// The prompt rows as one line each, for --trace: the number label, the row's
// text, '*' on the selected row, then the preview text.
std::string DescribePrompt(const engine::SimMainWindow& prompt);

}  // namespace term

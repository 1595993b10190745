#include "Screen.h"

#include <algorithm>
#include <vector>

#include "platform/CodePage.h"

namespace term {

namespace {

// A cell grid of UTF-8 strings, one per column, with a style per cell.
struct Grid {
  Grid(int rows, int columns) : rows(rows), columns(columns), cells(rows * columns, " "), styles(rows * columns, 0) {}
  void Put(int row, int column, const std::string& utf8Char, int style = 0) {
    if (row < 0 || row >= rows || column < 0 || column >= columns) return;
    cells[row * columns + column] = utf8Char;
    styles[row * columns + column] = style;
  }
  // Writes ANSI text from a column on; returns the column after it.
  int Write(int row, int column, const std::string& ansi, int style = 0) {
    for (size_t i = 0; i < ansi.size(); ++i) {
      size_t n = platform::CharLength(ansi, i);
      std::string piece = ansi.substr(i, n);
      unsigned char c = static_cast<unsigned char>(ansi[i]);
      Put(row, column++, c < 0x20 || c == 0x7F ? std::string("?") : platform::AnsiToUtf8(piece), style);
      i += n - 1;
    }
    return column;
  }
  int rows, columns;
  std::vector<std::string> cells;
  std::vector<int> styles;  // 0 plain, 1 reverse, 2 dim, 3 bold
};

// Splits text into display lines: CR LF, a lone CR or a lone LF end a line;
// tabs become blanks to the next multiple of 8.
std::vector<std::string> Lines(const std::string& text, size_t caret, int& caretLine, int& caretColumn) {
  std::vector<std::string> lines(1);
  caretLine = 0;
  caretColumn = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == caret) {
      caretLine = static_cast<int>(lines.size()) - 1;
      caretColumn = static_cast<int>(lines.back().size());
    }
    if (i == text.size()) break;
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
        if (i + 1 == caret) {
          caretLine = static_cast<int>(lines.size()) - 1;
          caretColumn = static_cast<int>(lines.back().size());
        }
        ++i;
      }
      lines.emplace_back();
    } else if (c == '\t') {
      do lines.back() += ' ';
      while (lines.back().size() % 8);
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

std::string FirstLine(const std::string& text) {
  size_t end = text.find_first_of("\r\n");
  return end == std::string::npos ? text : text.substr(0, end) + " ...";
}

}  // namespace

std::string RenderFrame(const std::string& text, size_t caret, const engine::SimMainWindow& prompt, int rows,
                        int columns, const std::string& status) {
  rows = std::max(rows, 4);
  columns = std::max(columns, 20);
  Grid grid(rows, columns);
  grid.Write(0, 0, std::string(columns, ' '), 1);
  grid.Write(0, 1, status, 1);

  int caretLine, caretColumn;
  std::vector<std::string> lines = Lines(text, caret, caretLine, caretColumn);
  const int area = rows - 1;
  const int first = std::max(0, caretLine - area + 1);
  for (int i = first; i < static_cast<int>(lines.size()) && i - first < area; ++i)
    grid.Write(1 + i - first, 0, lines[i]);
  const int caretRow = 1 + caretLine - first;

  if (prompt.visible) {
    int row = caretRow + 1;
    int column = std::min(caretColumn, columns - 12);
    for (size_t i = 0; i < prompt.rows.size(); ++i, ++row) {
      const bool chosen = static_cast<int>(i) == prompt.selected;
      std::string label = std::to_string((i + 1) % 10) + " ";
      int end = grid.Write(row, column, label, 2);
      end = grid.Write(row, end, " " + prompt.rows[i].text + " ", chosen ? 1 : 3);
      if (chosen && prompt.previewShown) grid.Write(row, end + 1, "| " + FirstLine(prompt.previewText), 2);
    }
  }

  std::string out = "\x1b[?25l\x1b[H";
  for (int r = 0; r < rows; ++r) {
    int style = -1;
    out += "\x1b[" + std::to_string(r + 1) + ";1H";
    for (int c = 0; c < columns; ++c) {
      int s = grid.styles[r * columns + c];
      if (s != style) {
        static const char* const kStyles[] = {"\x1b[0m", "\x1b[0;7m", "\x1b[0;2m", "\x1b[0;1m"};
        out += kStyles[s];
        style = s;
      }
      out += grid.cells[r * columns + c];
    }
  }
  out += "\x1b[0m\x1b[" + std::to_string(caretRow + 1) + ";" + std::to_string(std::min(caretColumn, columns - 1) + 1) +
         "H\x1b[?25h";
  return out;
}

std::string DescribePrompt(const engine::SimMainWindow& prompt) {
  if (!prompt.visible) return "  (no prompt)\n";
  std::string out;
  for (size_t i = 0; i < prompt.rows.size(); ++i) {
    out += "  " + std::to_string((i + 1) % 10) + " " + prompt.rows[i].text;
    if (static_cast<int>(i) == prompt.selected) {
      out += " *";
      if (prompt.previewShown) out += " | " + FirstLine(prompt.previewText);
    }
    out += "\n";
  }
  return out;
}

}  // namespace term

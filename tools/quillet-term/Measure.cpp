#include "Measure.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "dict/DictItem.h"
#include "engine/TypingEngine.h"
#include "platform/CodePage.h"

namespace term {

namespace {

constexpr std::uint8_t kVkTab = 0x09;
constexpr std::uint8_t kVkReturn = 0x0D;
constexpr std::uint8_t kVkEscape = 0x1B;
constexpr std::uint8_t kNoKey = 0xFF;

bool IsWordBreak(unsigned char c) {
  return engine::CTypingEngine::IsQuerySeparator(c) || c == ' ' || c == '\t' || c == '\r' || c == '\n' ||
         c == '\v' || c == '\f';
}

bool IsValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i++]);
    const int more = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (more < 0 || i + static_cast<size_t>(more) > s.size()) return false;
    for (int k = 0; k < more; ++k)
      if ((static_cast<unsigned char>(s[i++]) & 0xC0) != 0x80) return false;
  }
  return true;
}

// The row of the shown page whose completion leaves the text area holding
// what it holds now followed by rest; -1 when none does. Shorthand rows are
// passed over: their macros make the typed result hard to foresee, and a
// typist would not pick an abbreviation to type a word.
int RowCompleting(MeasureSession& s, const std::string& rest) {
  if (!s.main.visible) return -1;
  engine::CTypingEngine& engine = s.main.Engine();
  const std::string& query = engine.m_strQuery;
  const std::string area = s.areaText();
  if (query.empty() || area.size() < query.size() || area.compare(area.size() - query.size(), query.size(), query) != 0)
    return -1;
  const std::string want = area + rest;
  for (size_t row = 0; row < s.main.rows.size() && row < 10; ++row) {
    if (s.indexKeys[row] == kNoKey) continue;
    const int index = s.main.rows[row].itemData;
    if (index < 0 || static_cast<size_t>(index) >= engine.m_aCandidates.size()) continue;
    const DictItem& c = engine.m_aCandidates[static_cast<size_t>(index)];
    if (c.type != DICT_TYPE_WORDS && c.type != engine::kTypeLearned) continue;
    if (want.size() + query.size() != area.size() + c.Key().size()) continue;
    if (want.compare(area.size() - query.size(), std::string::npos, c.Key()) == 0) return static_cast<int>(row);
  }
  return -1;
}


// The file's text in the code page: text files are mostly UTF-8 today, and
// the engine types the code page's bytes. False when it cannot be read.
bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "quillet-term: cannot read %s\n", path.c_str());
    return false;
  }
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (!ascii && IsValidUtf8(text)) text = platform::Utf8ToAnsi(text);
  return true;
}

}  // namespace

int RunMeasure(MeasureSession& s, const std::string& path) {
  std::string text;
  if (!ReadText(path, text)) return 1;

  long long keystrokes = 0, characters = 0, words = 0;
  // A line break or tab would complete a shown row: the typist puts the
  // prompt away first (one more keystroke).
  auto pressBreak = [&](std::uint8_t vk) {
    if (s.main.visible) {
      s.pressKey(kVkEscape);
      ++keystrokes;
    }
    s.pressKey(vk);
    ++keystrokes;
    ++characters;
  };
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      pressBreak(kVkReturn);
      s.clearArea();  // keeps the text area short; the engine keeps its own buffer
      continue;
    }
    if (c == '\t') {
      ++i;
      pressBreak(kVkTab);
      continue;
    }
    if (IsWordBreak(c)) {
      s.typeChar(std::string(1, static_cast<char>(c)));
      ++keystrokes;
      ++characters;
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && !IsWordBreak(static_cast<unsigned char>(text[end]))) {
      // A lead byte keeps its trail byte, even one that looks like a break.
      end += (platform::IsDbcsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size()) ? 2 : 1;
    }
    const std::string word = text.substr(i, end - i);
    for (size_t at = 0; at < word.size();) {
      if (const int row = RowCompleting(s, word.substr(at)); row >= 0) {
        s.pressKey(s.indexKeys[row]);
        ++keystrokes;
        for (size_t k = at; k < word.size(); k += platform::IsDbcsLeadByte(static_cast<unsigned char>(word[k])) ? 2 : 1)
          ++characters;
        break;
      }
      const size_t n = platform::IsDbcsLeadByte(static_cast<unsigned char>(word[at])) && at + 1 < word.size() ? 2 : 1;
      s.typeChar(word.substr(at, n));
      ++keystrokes;
      ++characters;
      at += n;
    }
    i = end;
    if (++words % 1000 == 0) std::fprintf(stderr, "%lld words, %lld keystrokes\n", words, keystrokes);
  }
  const double saved = characters > 0 ? 100.0 * (1.0 - static_cast<double>(keystrokes) / characters) : 0.0;
  std::printf("saved %.1f%% (%lld keystrokes for %lld characters)\n", saved, keystrokes, characters);
  return 0;
}


int RunMeasureTypos(MeasureSession& s, const std::string& path) {
  std::string text;
  if (!ReadText(path, text)) return 1;
  long long words = 0, onPage = 0, firstRow = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t tab = line.find('\t');
    if (tab == 0 || tab == std::string::npos) continue;
    const std::string typed = line.substr(0, tab);
    const std::string intended = line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1);
    if (intended.empty()) continue;
    s.clearArea();
    for (size_t i = 0; i < typed.size();) {
      const size_t n = platform::CharLength(typed, i);
      s.typeChar(typed.substr(i, n));
      i += n;
    }
    ++words;
    const auto& rows = s.main.rows;
    for (size_t row = 0; s.main.visible && row < rows.size(); ++row) {
      if (rows[row].text != intended) continue;
      ++onPage;
      if (row == 0) ++firstRow;
      break;
    }
  }
  s.clearArea();
  auto percent = [&](long long n) { return words > 0 ? 100.0 * static_cast<double>(n) / static_cast<double>(words) : 0.0; };
  std::printf("on the first page %.1f%%, in the first row %.1f%% (%lld words)\n", percent(onPage), percent(firstRow), words);
  return 0;
}

}  // namespace term

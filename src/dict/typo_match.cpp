#include "dict/typo_match.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "platform/codepage.h"

namespace dict {

namespace {

// Base letters of U+00C0 to U+017F ('-' where there is none to fold to).
constexpr std::string_view kLatin1Base = "aaaaaa-ceeeeiiiidnooooo-ouuuuy--aaaaaa-ceeeeiiiidnooooo-ouuuuy-y";
constexpr std::string_view kLatinExtendedABase =
    "aaaaaaccccccccdd" "ddeeeeeeeeeegggg" "gggghhhhiiiiiiii" "ii--jjkk-lllllll"
    "lllnnnnnn---oooo" "oo--rrrrrrssssss" "ssttttttuuuuuuuu" "uuuuwwyyyzzzzzzs";
static_assert(kLatin1Base.size() == 0x40 && kLatinExtendedABase.size() == 0x80);

// The folded unit of each single byte of the code page.
const std::array<char16_t, 256>& ByteUnits() {
  static int codePage = -1;
  static std::array<char16_t, 256> units{};
  if (codePage != platform::AnsiCodePage()) {
    codePage = platform::AnsiCodePage();
    for (int b = 0; b < 256; ++b) {
      const std::string byte(1, static_cast<char>(b));
      const std::string lowered = platform::MbsLower(byte);
      units[static_cast<size_t>(b)] = static_cast<unsigned char>(lowered.empty() ? byte[0] : lowered[0]);
      if (b < 0x80) continue;
      const std::u16string wide = platform::AnsiToUtf16(byte);
      if (wide.size() != 1) continue;
      const char16_t c = wide[0];
      char base = '-';
      if (c >= 0xC0 && c < 0x100) base = kLatin1Base[c - 0xC0];
      else if (c >= 0x100 && c < 0x180) base = kLatinExtendedABase[c - 0x100];
      if (base != '-') units[static_cast<size_t>(b)] = static_cast<char16_t>(base);
    }
  }
  return units;
}

}  // namespace

std::u16string FoldUnits(std::string_view ansi) {
  const auto& units = ByteUnits();
  std::u16string folded;
  folded.reserve(ansi.size());
  for (size_t i = 0; i < ansi.size(); ++i) {
    const auto b = static_cast<unsigned char>(ansi[i]);
    if (platform::IsDbcsLeadByte(b) && i + 1 < ansi.size()) {
      folded += static_cast<char16_t>(b << 8 | static_cast<unsigned char>(ansi[++i]));
    } else {
      folded += units[b];
    }
  }
  return folded;
}

void FoldedKeys::Build(std::vector<std::pair<std::u16string, int32_t>> keys) {
  std::sort(keys.begin(), keys.end());
  m_units.clear();
  m_offsets.clear();
  m_ids.clear();
  m_offsets.reserve(keys.size() + 1);
  m_ids.reserve(keys.size());
  for (auto& [key, id] : keys) {
    m_offsets.push_back(static_cast<uint32_t>(m_units.size()));
    m_units += key;
    m_ids.push_back(id);
  }
  m_offsets.push_back(static_cast<uint32_t>(m_units.size()));
}

// A walk down the sorted keys as down a tree of their beginnings, keeping
// for each beginning the edit distances of the text's prefixes to it (one
// row of the Damerau-Levenshtein table) and leaving every branch whose row
// has no entry within the allowed edits.
struct FoldedKeys::Search {
  const FoldedKeys& keys;
  std::u16string_view text;
  int maxEdits;
  std::vector<Range>& out;

  using Row = std::vector<int>;

  // The keys of lo..hi (all beginning with the same `depth` units) whose
  // unit at depth is c.
  std::pair<size_t, size_t> Child(size_t lo, size_t hi, size_t depth, char16_t c) const {
    auto unitAt = [&](size_t i) { return keys.Key(i)[depth]; };
    size_t a = lo, b = hi;
    while (a < b) {
      const size_t mid = a + (b - a) / 2;
      if (unitAt(mid) < c) a = mid + 1;
      else b = mid;
    }
    size_t first = a;
    b = hi;
    while (a < b) {
      const size_t mid = a + (b - a) / 2;
      if (unitAt(mid) <= c) a = mid + 1;
      else b = mid;
    }
    return {first, a};
  }

  void Visit(size_t lo, size_t hi, size_t depth, const Row& row, const Row& before, char16_t last) {
    const size_t n = text.size();
    if (depth + 1 >= n && depth >= 1 && row[n] <= maxEdits) out.push_back({lo, hi, row[n]});
    if (depth > n) return;
    // Keys that end here come first; the rest go on.
    while (lo < hi && keys.Key(lo).size() == depth) ++lo;
    if (lo >= hi) return;
    const int best = *std::min_element(row.begin(), row.end());
    Row next(n + 1);
    auto descend = [&](size_t a, size_t b, char16_t c) {
      next[0] = static_cast<int>(depth) + 1;
      int least = next[0];
      for (size_t j = 1; j <= n; ++j) {
        int d = std::min({row[j] + 1, next[j - 1] + 1, row[j - 1] + (text[j - 1] == c ? 0 : 1)});
        if (j >= 2 && depth >= 1 && text[j - 1] == last && text[j - 2] == c) d = std::min(d, before[j - 2] + 1);
        next[j] = d;
        least = std::min(least, d);
      }
      if (least <= maxEdits) Visit(a, b, depth + 1, next, row, c);
    };
    if (best < maxEdits) {
      // An edit is still free: every next unit may be it.
      for (size_t a = lo; a < hi;) {
        const char16_t c = keys.Key(a)[depth];
        const auto [first, end] = Child(a, hi, depth, c);
        descend(first, end, c);
        a = end;
      }
      return;
    }
    // No edit left: only units that continue the text (or finish a swap).
    std::u16string wanted;
    for (size_t j = 1; j <= n; ++j) {
      if (row[j - 1] <= maxEdits) wanted += text[j - 1];
      if (j >= 2 && depth >= 1 && text[j - 1] == last && before[j - 2] + 1 <= maxEdits) wanted += text[j - 2];
    }
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    for (char16_t c : wanted) {
      const auto [first, end] = Child(lo, hi, depth, c);
      if (first < end) descend(first, end, c);
    }
  }
};

void FoldedKeys::FindNear(std::u16string_view text, int maxEdits, std::vector<Range>& out) const {
  out.clear();
  if (text.empty() || m_ids.empty()) return;
  std::vector<int> row(text.size() + 1);
  std::iota(row.begin(), row.end(), 0);
  Search{*this, text, maxEdits, out}.Visit(0, m_ids.size(), 0, row, row, 0);
}

}  // namespace dict

#include "dict/TypoMatch.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "platform/CodePage.h"

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
  m_first.clear();
  m_second.clear();
  m_heads.assign(m_ids.size() * kHead, 0);
  m_lengths.resize(m_ids.size());
  for (size_t i = 0; i < m_ids.size(); ++i) {
    const std::u16string_view key = Key(i);
    const auto at = static_cast<uint32_t>(i);
    std::copy_n(key.begin(), std::min(key.size(), kHead), m_heads.begin() + static_cast<long>(i * kHead));
    m_lengths[i] = static_cast<uint8_t>(std::min<size_t>(key.size(), 255));
    if (key.size() >= 1) {
      if (m_first.empty() || m_first.back().prefix != key[0]) m_first.push_back({key[0], at, at});
      m_first.back().hi = at + 1;
    }
    if (key.size() >= 2) {
      const uint32_t two = static_cast<uint32_t>(key[0]) << 16 | key[1];
      if (m_second.empty() || m_second.back().prefix != two) m_second.push_back({two, at, at});
      m_second.back().hi = at + 1;
    }
  }
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
  // Beginnings looked at; a search that has looked at this many stops with
  // what it found, which bounds its time on dense, random keys.
  size_t budget = 20000;
  // One row per depth, and the units wanted next at each depth: kept here
  // so that the walk allocates nothing.
  std::vector<std::vector<int>> rows;
  std::vector<std::u16string> wanted;

  Search(const FoldedKeys& k, std::u16string_view t, int edits, std::vector<Range>& o)
      : keys(k), text(t), maxEdits(edits), out(o), rows(t.size() + 3, std::vector<int>(t.size() + 1)),
        wanted(t.size() + 3) {}

  // The first- and second-level ranges under the beginning that `depth`
  // units long ends in `last`.
  std::pair<const Node*, const Node*> Level(size_t depth, char16_t last) const {
    const std::vector<Node>& table = depth == 0 ? keys.m_first : keys.m_second;
    if (depth == 0) return {table.data(), table.data() + table.size()};
    const uint32_t from = static_cast<uint32_t>(last) << 16;
    const Node* a = std::lower_bound(table.data(), table.data() + table.size(), from,
                                     [](const Node& n, uint32_t p) { return n.prefix < p; });
    const Node* b = std::lower_bound(a, table.data() + table.size(), from + 0x10000,
                                     [](const Node& n, uint32_t p) { return n.prefix < p; });
    return {a, b};
  }

  // The keys of lo..hi (all beginning with the same `depth` units, the last
  // of them `last`) whose unit at depth is c.
  std::pair<size_t, size_t> Child(size_t lo, size_t hi, size_t depth, char16_t last, char16_t c,
                                  std::pair<const Node*, const Node*> level) const {
    if (depth <= 1) {
      const auto [a, b] = level;
      const uint32_t want = depth == 0 ? c : (static_cast<uint32_t>(last) << 16 | c);
      const Node* n = std::lower_bound(a, b, want, [](const Node& x, uint32_t p) { return x.prefix < p; });
      if (n == b || n->prefix != want) return {lo, lo};
      return {n->lo, n->hi};
    }
    auto unitAt = [&](size_t i) {
      return depth < kHead ? keys.m_heads[i * kHead + depth] : keys.m_units[keys.m_offsets[i] + depth];
    };
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

  // rows[depth] holds the row of the beginning lo..hi share, rows[depth - 1]
  // that of the beginning one shorter, whose last unit is `last`.
  void Visit(size_t lo, size_t hi, size_t depth, char16_t last) {
    const size_t n = text.size();
    const std::vector<int>& row = rows[depth];
    if (depth + 1 >= n && depth >= 1 && row[n] <= maxEdits) out.push_back({lo, hi, row[n]});
    if (depth > n) return;
    // Keys that end here come first; the rest go on.
    while (lo < hi && (keys.m_lengths[lo] < 255 ? keys.m_lengths[lo] : keys.Key(lo).size()) == depth) ++lo;
    if (lo >= hi) return;
    const std::vector<int>& before = rows[depth == 0 ? 0 : depth - 1];
    std::vector<int>& next = rows[depth + 1];
    const int best = *std::min_element(row.begin(), row.end());
    auto descend = [&](size_t a, size_t b, char16_t c) {
      if (budget == 0) return;
      --budget;
      next[0] = static_cast<int>(depth) + 1;
      int least = next[0];
      for (size_t j = 1; j <= n; ++j) {
        int d = std::min({row[j] + 1, next[j - 1] + 1, row[j - 1] + (text[j - 1] == c ? 0 : 1)});
        if (j >= 2 && depth >= 1 && text[j - 1] == last && text[j - 2] == c) d = std::min(d, before[j - 2] + 1);
        next[j] = d;
        least = std::min(least, d);
      }
      if (least <= maxEdits) Visit(a, b, depth + 1, c);
    };
    const auto level = depth <= 1 ? Level(depth, last) : std::pair<const Node*, const Node*>{};
    if (best < maxEdits && depth <= 1) {
      // An edit is still free: every next unit may be it.
      const auto [a, b] = level;
      for (const Node* n = a; n < b; ++n) descend(n->lo, n->hi, static_cast<char16_t>(n->prefix & 0xFFFF));
      return;
    }
    if (best < maxEdits) {
      for (size_t a = lo; a < hi;) {
        const char16_t c = depth < kHead ? keys.m_heads[a * kHead + depth] : keys.m_units[keys.m_offsets[a] + depth];
        const auto [first, end] = Child(a, hi, depth, last, c, level);
        descend(first, end, c);
        a = end;
      }
      return;
    }
    // No edit left: only units that continue the text (or finish a swap).
    std::u16string& units = wanted[depth];
    units.clear();
    for (size_t j = 1; j <= n; ++j) {
      if (row[j - 1] <= maxEdits) units += text[j - 1];
      if (j >= 2 && depth >= 1 && text[j - 1] == last && before[j - 2] + 1 <= maxEdits) units += text[j - 2];
    }
    std::sort(units.begin(), units.end());
    units.erase(std::unique(units.begin(), units.end()), units.end());
    for (char16_t c : units) {
      const auto [first, end] = Child(lo, hi, depth, last, c, level);
      if (first < end) descend(first, end, c);
    }
  }
};

void FoldedKeys::FindNear(std::u16string_view text, int maxEdits, std::vector<Range>& out) const {
  out.clear();
  if (text.empty() || m_ids.empty()) return;
  Search search(*this, text, maxEdits, out);
  std::iota(search.rows[0].begin(), search.rows[0].end(), 0);
  search.Visit(0, m_ids.size(), 0, 0);
}

}  // namespace dict

// Words near what was typed: the keys of a dictionary folded (letter case
// and accents, by the code page's own letters) into one unit per character
// and sorted, and a search for the keys whose beginning is within one or two
// edits of a typed text (a letter replaced, inserted or deleted, or two
// neighbours swapped), comparing the text with beginnings of its own length
// give or take one.
//
// Portable; one thread. Nothing throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dict {

// One unit per character: a single byte folded to its base letter in lower
// case (é, È and e are alike in code page 1252), a double-byte character
// whole.
std::u16string FoldUnits(std::string_view ansi);

// Folded keys in sorted order, each with the caller's id.
class FoldedKeys {
 public:
  // Takes (folded key, id) pairs in any order.
  void Build(std::vector<std::pair<std::u16string, int32_t>> keys);
  size_t Size() const { return m_ids.size(); }
  int32_t Id(size_t i) const { return m_ids[i]; }
  std::u16string_view Key(size_t i) const {
    return std::u16string_view(m_units).substr(m_offsets[i], m_offsets[i + 1] - m_offsets[i]);
  }

  // Keys lo..hi-1 begin within `distance` edits of the text.
  struct Range {
    size_t lo, hi;
    int distance;
  };
  // Every range of keys whose beginning of the text's length, give or take
  // one, is within maxEdits edits of the text (ranges may nest: a key's
  // distance is the least of those of the ranges holding it). The search
  // looks at 20,000 beginnings at most.
  void FindNear(std::u16string_view text, int maxEdits, std::vector<Range>& out) const;

 private:
  struct Search;
  std::u16string m_units;
  std::vector<uint32_t> m_offsets;
  std::vector<int32_t> m_ids;
  // The keys beginning with each first unit, and with each first two: the
  // widest ranges, looked up here rather than searched for in the keys.
  struct Node {
    uint32_t prefix;
    uint32_t lo, hi;
  };
  std::vector<Node> m_first, m_second;
  // The first kHead units of each key side by side (0 past its end) and its
  // length up to 255: a step of the walk reads one of them, not the key.
  static constexpr size_t kHead = 8;
  std::vector<char16_t> m_heads;
  std::vector<uint8_t> m_lengths;
};

}  // namespace dict

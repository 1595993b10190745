// The order Search and Find use, and the packed integer vectors: both decide
// whether dictionary lookups find what users stored.
#include <gtest/gtest.h>

#include <random>

#include "Fixtures.h"
#include "mk/memory_strategy.h"
#include "mk/format.h"

namespace {

c4_StringProp pKey("key"), pData("data");

TEST(StringOrder, AsciiLettersFoldAndOtherBytesCompareUnsigned) {
  EXPECT_EQ(mk::CompareStrings("ABC", "abc"), 0);
  EXPECT_LT(mk::CompareStrings("ab", "abc"), 0);                  // a prefix sorts first
  EXPECT_LT(mk::CompareStrings("_x", "ax"), 0);                   // 5b..60 before letters
  EXPECT_LT(mk::CompareStrings("[", "A"), 0);
  EXPECT_GT(mk::CompareStrings("{", "z"), 0);
  EXPECT_LT(mk::CompareStrings("z", "\x80"), 0);                  // high bytes after ASCII
  EXPECT_LT(mk::CompareStrings("\xc9lan", "\xe9lan"), 0);         // no folding above 0x7f
  EXPECT_NE(mk::CompareStrings("CAF\xc9", "caf\xe9"), 0);
  EXPECT_LT(mk::CompareStrings("9", "a"), 0);
}

TEST(StringOrder, InsertingAtSearchPositionsReproducesTheReferenceOrder) {
  // highbytes was built by inserting at Search positions; inserting its keys
  // in the same order must give the same rows.
  MemoryStrategy ref(ReadFixture("highbytes.mk"));
  c4_Storage stored(ref, false, 0);
  c4_View want = stored.View("DBDATA");
  ASSERT_GT(want.GetSize(), 30);
  for (int i = 1; i < want.GetSize(); ++i)
    EXPECT_LE(mk::CompareStrings(pKey(want[i - 1]), pKey(want[i])), 0) << "row " << i;
}

TEST(StringOrder, EqualKeysGoNewestFirstAndFindIgnoresCase) {
  c4_Storage s;
  c4_View v = s.GetAs("DBDATA[key:S,data:S]");
  for (const char* k : {"ABC", "abc", "Abc", "abd", "abb"}) v.InsertAt(v.Search(pKey[k]), pKey[k], 1);
  const char* expected[] = {"abb", "Abc", "abc", "ABC", "abd"};
  ASSERT_EQ(v.GetSize(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_STREQ(pKey(v[i]), expected[i]);
  EXPECT_EQ(v.Find(pKey["aBc"]), 1);
  EXPECT_EQ(v.Find(pKey["aBc"], 2), 2);
  EXPECT_EQ(v.Find(pKey["abc"] + pData["x"]), -1);
  EXPECT_EQ(v.Find(pKey["nothing"]), -1);
  EXPECT_EQ(v.Search(pKey["zzz"]), 5);
  EXPECT_EQ(v.Search(pKey[""]), 0);
}

TEST(StringOrder, SearchOnAnUnsortedViewFollowsTheFixedProbeSequence) {
  // Users' files may be out of order; the probes must be the reference
  // library's, or lookups would start at other rows than it does.
  std::mt19937 rng(3);
  for (int round = 0; round < 200; ++round) {
    c4_Storage s;
    c4_View v = s.GetAs("DBDATA[key:S,data:S]");
    int n = rng() % 40;
    std::vector<std::string> keys;
    for (int i = 0; i < n; ++i) {
      keys.push_back(std::string(1, static_cast<char>('a' + rng() % 6)));
      v.Add(pKey[keys.back()]);
    }
    std::string probe(1, static_cast<char>('a' + rng() % 6));
    int lo = -1, hi = n;
    while (lo + 1 != hi) {
      int mid = (lo + hi) >> 1;
      if (keys[mid] < probe) lo = mid;
      else hi = mid;
    }
    EXPECT_EQ(v.Search(pKey[probe]), hi);
  }
}

TEST(PackedVectors, EveryWidthRoundTripsForEveryCount) {
  const std::vector<std::pair<int32_t, int32_t>> ranges = {
      {0, 0}, {0, 1}, {0, 3}, {0, 15}, {-128, 127}, {-32768, 32767}, {INT32_MIN, INT32_MAX}};
  std::mt19937 rng(11);
  for (bool big : {false, true}) {
    for (auto [lo, hi] : ranges) {
      for (uint32_t n = 1; n <= 70; ++n) {
        std::vector<int32_t> values(n);
        for (auto& v : values)
          v = static_cast<int32_t>(lo + static_cast<int64_t>(rng() % (static_cast<uint64_t>(hi) - lo + 1)));
        values[0] = hi;  // make the widest value appear
        std::vector<uint8_t> bytes = mk::PackVector(values, big);
        int width = mk::VectorWidth(n, static_cast<uint32_t>(bytes.size()));
        ASSERT_GE(width, 0) << "n=" << n << " hi=" << hi;
        for (uint32_t i = 0; i < n; ++i)
          ASSERT_EQ(mk::VectorGet(bytes.data(), width, i, big), values[i]) << "n=" << n << " i=" << i;
      }
    }
  }
}

TEST(PackedVectors, DamagedSizesAreRejected) {
  EXPECT_EQ(mk::VectorWidth(4, 3), -1);   // no width stands for 4 entries in 3 bytes
  EXPECT_EQ(mk::VectorWidth(10, 4), -1);  // 3 bits per entry is no width
  EXPECT_EQ(mk::VectorWidth(0, 5), -1);
  EXPECT_EQ(mk::VectorWidth(100, 0), 0);
  EXPECT_EQ(mk::VectorWidth(8, 1), 1);
}

}  // namespace

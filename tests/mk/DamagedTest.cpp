// Truncated, flipped, zeroed, random and hostile files: opening never
// crashes; a file that is not a storage is refused and never written; a
// storage read in part is only ever appended to.
#include <gtest/gtest.h>

#include <random>

#include "Fixtures.h"
#include "mk/memory_strategy.h"
#include "mk/dump.h"
#include "mk/format.h"

namespace {

c4_StringProp pKey("key"), pData("data");

// Opens bytes, lists them, then adds a row and commits. Returns whether the
// file opened as a storage.
bool Exercise(const std::vector<uint8_t>& bytes) {
  MemoryStrategy file(bytes);
  c4_Storage s(file);
  mk::DumpStorage(s);
  c4_View v = s.GetAs("DBDATA[key:S,data:S]");
  v.InsertAt(v.Search(pKey["probe"]), pKey["probe"] + pData["x"], 1);
  bool committed = s.Commit();
  if (!s.IsValid()) {
    EXPECT_FALSE(committed);
    EXPECT_EQ(file.bytes, bytes) << "an unreadable file must never be written";
    return false;
  }
  if (committed && v.IsWritable()) {
    MemoryStrategy again(file.bytes);
    c4_Storage reread(again, false, 0);
    EXPECT_TRUE(reread.IsValid()) << mk::DumpStorage(s);
    c4_View w = reread.View("DBDATA");
    EXPECT_GE(w.Find(pKey["probe"]), 0);
  }
  return true;
}

TEST(DamagedFiles, EveryTruncationFlipAndZeroedRunIsRefusedOrRead) {
  const struct {
    const char* name;
    bool cut, flip;
  } cases[] = {{"words_tiny.mk", true, true}, {"shorthand.mk", true, true},
               {"info_partial.mk", true, false}, {"single_memo.mk", true, false},
               {"bigendian.mk", false, true}, {"xtra_intwidths.mk", false, true}};
  for (const auto& c : cases) {
    std::vector<uint8_t> whole = ReadFixture(c.name);
    size_t step = whole.size() > 5000 ? 251 : 1;
    for (size_t n = 0; c.cut && n < whole.size(); n += step)
      Exercise(std::vector<uint8_t>(whole.begin(), whole.begin() + n));
    for (size_t i = 0; c.flip && i < whole.size(); ++i) {
      for (uint8_t mask : {0xFF, 0x80, 0x01}) {
        std::vector<uint8_t> bad = whole;
        bad[i] ^= mask;
        SCOPED_TRACE(std::string(c.name) + " byte " + std::to_string(i) + " mask " + std::to_string(mask));
        Exercise(bad);
      }
      if (i % 8 == 0) {
        std::vector<uint8_t> zeroed = whole;
        std::fill(zeroed.begin() + i, zeroed.begin() + std::min(i + 16, zeroed.size()), 0);
        Exercise(zeroed);
      }
    }
  }
  // A cut right after a commit's tail leaves that generation readable.
  std::vector<uint8_t> tiny = ReadFixture("words_tiny.mk");
  EXPECT_TRUE(Exercise(std::vector<uint8_t>(tiny.begin(), tiny.begin() + 169)));
  EXPECT_FALSE(Exercise(std::vector<uint8_t>(tiny.begin(), tiny.begin() + 5)));
}

TEST(DamagedFiles, RandomBytesAreRefused) {
  std::mt19937 rng(7);
  int accepted = 0;
  for (int round = 0; round < 2000; ++round) {
    std::vector<uint8_t> bytes(8 + rng() % 300);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng());
    if (round % 2) {  // a plausible header and tail around random content
      bytes[0] = 'J', bytes[1] = 'L', bytes[2] = 0x1a, bytes[3] = 0;
      size_t n = bytes.size();
      if (n >= 24) {
        bytes[n - 16] = 0x80, bytes[n - 15] = bytes[n - 14] = bytes[n - 13] = 0;
        uint32_t at = static_cast<uint32_t>(n - 16);
        bytes[n - 12] = at >> 24, bytes[n - 11] = at >> 16, bytes[n - 10] = at >> 8, bytes[n - 9] = at;
        bytes[n - 8] = 0x80;
      }
    }
    accepted += Exercise(bytes);
  }
  EXPECT_LT(accepted, 2000);
}

// Builds a file with the given structure column and description around it;
// `recordedSize`, when given, is the structure's size as the file records
// it instead of the true one.
std::vector<uint8_t> Handmade(const std::string& desc, const std::vector<uint8_t>& structure,
                              const std::vector<uint8_t>& filler = {}, uint32_t recordedSize = 0) {
  std::vector<uint8_t> f = {'J', 'L', 0x1a, 0, 0, 0, 0, 0};
  f.insert(f.end(), filler.begin(), filler.end());
  uint32_t structPos = static_cast<uint32_t>(f.size());
  f.insert(f.end(), structure.begin(), structure.end());
  uint32_t walkPos = static_cast<uint32_t>(f.size());
  std::vector<uint8_t> walk = {0x80, static_cast<uint8_t>(0x80 | desc.size())};
  walk.insert(walk.end(), desc.begin(), desc.end());
  walk.push_back(0x81);
  mk::PutVarint(walk, recordedSize ? recordedSize : static_cast<uint32_t>(structure.size()));
  mk::PutVarint(walk, structPos);
  f.insert(f.end(), walk.begin(), walk.end());
  uint32_t skipPos = static_cast<uint32_t>(f.size());
  f.insert(f.end(), {0x80, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(skipPos)});
  f.insert(f.end(), {0x80, 0, 0, static_cast<uint8_t>(walk.size()), 0, 0, 0, static_cast<uint8_t>(walkPos)});
  f[7] = static_cast<uint8_t>(f.size());
  return f;
}

TEST(DamagedFiles, HostileCountsAndPositionsAreBounded) {
  // Two billion rows claimed in a tiny file.
  const auto claims = Handmade("DBDATA[key:S,data:S]", {0x80, 0x07, 0x7f, 0x7f, 0x7f, 0xff, 0x80, 0x80});
  EXPECT_TRUE(Exercise(claims));
  MemoryStrategy huge(claims);
  c4_Storage s(huge, false, 0);
  EXPECT_EQ(s.View("DBDATA").GetSize(), 0);
  // A structure recorded as two gigabytes long in a tiny file: that view
  // cannot be read, and a commit that adds another must not write out there.
  std::vector<uint8_t> far = Handmade("OTHER[name:S]", {0x80, 0x80}, {}, 0x7FFFFF00);
  MemoryStrategy farFile(far);
  {
    c4_Storage s(farFile);
    c4_View v = s.GetAs("DBDATA[key:S,data:S]");
    v.Add(pKey["probe"]);
    s.Commit();
  }
  EXPECT_LT(farFile.bytes.size(), 4096u);
  EXPECT_TRUE(Exercise(far));
  // A data column that runs past the end of the file.
  Exercise(Handmade("DBDATA[key:S]", {0x80, 0x81, 0x03, 0x7f, 0xff, 0x81, 0x88, 0x80}));
  // A sizes vector whose width cannot be right (5 rows in 3 bytes of 8 bits).
  Exercise(Handmade("DBDATA[key:S]", {0x80, 0x85, 0x82, 0x88, 0x83, 0x88, 0x80}, {'a', 0}));
  // Nesting deeper than any real file.
  std::string deep = "A";
  for (int i = 0; i < 100; ++i) deep += "[B";
  deep += ":S" + std::string(100, ']');
  EXPECT_FALSE(Exercise(Handmade(deep.substr(0, 120), {0x80, 0x80})));
}

TEST(DamagedFiles, UnknownLayoutsAreKeptWhileOtherViewsChange) {
  // A view with a nested view cannot be rewritten; its bytes must survive
  // commits that change another view.
  std::vector<uint8_t> f = Handmade("OTHER[name:S,sub[x:I]]", {0x80, 0x81, 0x82, 0x88, 0x84, 0x80, 0x80, 0x80, 0x80},
                                    {'h', 0, 0x33, 0x33});
  MemoryStrategy file(f);
  {
    c4_Storage s(file);
    ASSERT_TRUE(s.IsValid());
    EXPECT_FALSE(s.View("OTHER").IsWritable());
    c4_View v = s.GetAs("DBDATA[key:S,data:S]");
    for (int i = 0; i < 20; ++i) v.Add(pKey["k" + std::to_string(i)]);
    ASSERT_TRUE(s.Commit());
  }
  EXPECT_TRUE(std::equal(f.begin() + 8, f.end() - 16, file.bytes.begin() + 8));
  c4_Storage s(file, false, 0);
  EXPECT_EQ(s.Description(), "OTHER[name:S,sub[x:I]],DBDATA[key:S,data:S]");
  EXPECT_EQ(s.View("DBDATA").GetSize(), 20);
}

}  // namespace

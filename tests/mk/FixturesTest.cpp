// Every file the reference library wrote reads back exactly as its listing
// says, with and without the XOR layer, in both byte orders.
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "mk/memory_strategy.h"
#include "mk/dump.h"

namespace {

const char* const kFixtures[] = {
    "bigendian",   "churn",       "data_only",    "dict20k",  "empty_nothing",
    "empty_views", "highbytes",   "info_only",    "info_partial", "keys_only",
    "longstrings", "recscrambled", "shorthand",   "single_memo", "words_tiny",
    "xtra_intwidths", "xtra_intwidths_be"};

std::string ExpectedListing(const std::string& name) {
  std::vector<uint8_t> bytes = ReadFixture(name + ".txt");
  std::string text(bytes.begin(), bytes.end());
  const std::string marker = "--- content as read back with Metakit ---\n";
  size_t at = text.find(marker);
  return at == std::string::npos ? std::string() : text.substr(at + marker.size());
}

class FixtureRead : public ::testing::TestWithParam<const char*> {};

TEST_P(FixtureRead, FilesListAsTheReferenceLibraryReadAndReadOnlyNeverWrites) {
  std::string name = GetParam();
  std::string expected = ExpectedListing(name);
  ASSERT_FALSE(expected.empty()) << "fixture listing missing for " << name;

  MemoryStrategy plain(ReadFixture(name + ".mk"));
  c4_Storage a(plain, false, 0);
  ASSERT_TRUE(a.IsValid());
  EXPECT_EQ(mk::DumpStorage(a), expected);

  MemoryStrategy layered(ReadFixture(name + ".lib"), true);
  c4_Storage b(layered, false, 0);
  ASSERT_TRUE(b.IsValid());
  EXPECT_EQ(mk::DumpStorage(b), expected);

  // A read-only open never writes, even when asked to commit a change.
  a.GetAs("DBDATA[key:S,data:S]").Add(c4_StringProp("key")["zzz"]);
  EXPECT_FALSE(a.Commit());
  EXPECT_EQ(plain.writes, 0);
  EXPECT_EQ(plain.bytes, ReadFixture(name + ".mk"));
}

INSTANTIATE_TEST_SUITE_P(AllFixtures, FixtureRead, ::testing::ValuesIn(kFixtures),
                         [](const auto& info) { return std::string(info.param); });

TEST(FixtureRead, ViewsAreFoundByNameWhateverTheirOrder) {
  MemoryStrategy file(ReadFixture("shorthand.mk"));
  c4_Storage storage(file);
  EXPECT_EQ(storage.NthViewName(0), "DBDATA");
  c4_View info = storage.GetAs("DBINFO[prop:S,value:S]");
  c4_StringProp prop("prop"), value("value");
  int row = info.Find(prop["dbtype"]);  // names of rows match ignoring case
  ASSERT_GE(row, 0);
  EXPECT_STREQ(value(info[row]), "2");
  EXPECT_EQ(storage.Description(), "DBDATA[key:S,data:S],DBINFO[prop:S,value:S]");
}

}  // namespace

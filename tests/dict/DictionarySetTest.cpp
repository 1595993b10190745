// CDictionarySet: loading a folder of dictionaries and the merged lookup.
#include "dict/DictionarySet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "DictTestUtil.h"

namespace {

using namespace dicttest;
using ::testing::ElementsAre;

std::string Pattern(const ScratchDir& dir) { return dir.File("*.lib"); }

struct Result {
  std::string key;
  int type;
  bool operator==(const Result&) const = default;
  friend void PrintTo(const Result& r, std::ostream* os) { *os << r.key << "/" << r.type; }
};

std::vector<Result> Lookup(CDictionarySet& set, const char* text, int flags = 41, bool shorthands = true) {
  std::vector<Result> results;
  DictItem item;
  for (bool found = set.FindFirst(text, item, flags, shorthands); found; found = set.FindNext(item))
    results.push_back({std::string(item.Key()), item.type});
  return results;
}

std::vector<std::string> LookupKeys(CDictionarySet& set, const char* text, bool shorthands = true) {
  std::vector<std::string> keys;
  for (const Result& r : Lookup(set, text, 41, shorthands)) keys.push_back(r.key);
  return keys;
}

int IndexOf(const CDictionarySet& set, const std::string& path) {
  for (int i = 0; i < set.GetCount(); ++i)
    if (set.GetPath(i) == path) return i;
  return -1;
}

TEST(Loading, LoadsEveryMatchingFileAndNothingElse) {
  ScratchDir dir;
  ASSERT_TRUE(MakeDictionary(dir.File("one.lib"), DICT_TYPE_WORDS, {{"apple", ""}}));
  ASSERT_TRUE(MakeDictionary(dir.File("two.LIB"), DICT_TYPE_WORDS, {{"apricot", ""}}));
  ASSERT_TRUE(MakeDictionary(dir.File("copy.lib.dic"), DICT_TYPE_WORDS, {{"apex", ""}}));
  fs::create_directory(dir.File("folder.lib"));
  CDictionarySet set;
  ASSERT_TRUE(set.LoadAll(Pattern(dir).c_str(), false));
  EXPECT_EQ(set.GetCount(), 2);
  EXPECT_THAT(LookupKeys(set, "ap"), ElementsAre("apple", "apricot"));
}

TEST(Loading, NoReadableEnabledFileFailsAndLeavesTheSetEmpty) {
  ScratchDir dir;
  ASSERT_TRUE(MakeDictionary(dir.File("one.lib"), DICT_TYPE_WORDS, {{"apple", ""}}));
  CDictionarySet set;
  ASSERT_TRUE(set.LoadAll(Pattern(dir).c_str(), false));
  EXPECT_FALSE(set.LoadAll(dir.File("*.none").c_str(), false));
  EXPECT_EQ(set.GetCount(), 0);
  EXPECT_FALSE(set.LoadAll("", false));
  EXPECT_FALSE(set.LoadAll(nullptr, false));
  EXPECT_FALSE(set.LoadAll(dir.File("missing-folder/*.lib").c_str(), false));
  DictItem item;
  EXPECT_FALSE(set.FindFirst("a", item, 41, true));
  CDictionarySet noneEnabled([](const std::string&) { return false; });
  EXPECT_FALSE(noneEnabled.LoadAll(Pattern(dir).c_str(), false));
  EXPECT_EQ(noneEnabled.GetCount(), 0);
  // Only unreadable files: the set holds them, and fails.
  ScratchDir junk;
  WriteFile(junk.File("bad.lib"), std::string(100, '\x01'));
  EXPECT_FALSE(set.LoadAll(Pattern(junk).c_str(), false));
  EXPECT_EQ(set.GetCount(), 1);
}

TEST(Loading, DisabledFilesAreLeftOutUnlessAskedFor) {
  ScratchDir dir;
  const std::string off = dir.File("off.lib");
  ASSERT_TRUE(MakeDictionary(dir.File("on.lib"), DICT_TYPE_WORDS, {{"alpha", ""}}));
  ASSERT_TRUE(MakeDictionary(off, DICT_TYPE_WORDS, {{"alps", ""}}));
  std::set<std::string> disabled = {off};
  std::vector<std::pair<std::string, bool>> changes;
  CDictionarySet set([&](const std::string& path) { return disabled.count(path) == 0; },
                     [&](const std::string& path, bool enabled) { changes.emplace_back(path, enabled); });
  ASSERT_TRUE(set.LoadAll(Pattern(dir).c_str(), false));
  EXPECT_THAT(LookupKeys(set, "al"), ElementsAre("alpha"));
  ASSERT_TRUE(set.LoadAll(Pattern(dir).c_str(), true));
  EXPECT_EQ(set.GetCount(), 2);
  EXPECT_FALSE(set.IsEnabled(set.GetDictionary(IndexOf(set, off))));
  set.SetEnabled(off, true);
  EXPECT_EQ(changes, (std::vector<std::pair<std::string, bool>>{{off, true}}));
}

TEST(Loading, UnreadableFileKeepsItsPlaceFindsNothingAndStaysUntouched) {
  ScratchDir dir;
  const std::string bad = dir.File("bad.lib");
  const std::string garbage(4096, '\x7e');
  WriteFile(bad, garbage);
  ASSERT_TRUE(MakeDictionary(dir.File("good.lib"), DICT_TYPE_WORDS, {{"grape", ""}}));
  {
    CDictionarySet set;
    ASSERT_TRUE(set.LoadAll(Pattern(dir).c_str(), false));
    EXPECT_EQ(set.GetCount(), 2);
    const int badIndex = IndexOf(set, bad);
    ASSERT_GE(badIndex, 0);
    EXPECT_FALSE(set.GetDictionary(badIndex).IsOpen());
    EXPECT_THAT(LookupKeys(set, "g"), ElementsAre("grape"));
  }
  EXPECT_EQ(ReadFile(bad), garbage);
}

// Two dictionaries loaded in a known order: the set's own path list tells
// which came first.
class Merge : public ::testing::Test {
 protected:
  void Load() { ASSERT_TRUE(set_.LoadAll(Pattern(dir_).c_str(), false)); }
  ScratchDir dir_;
  CDictionarySet set_;
};

TEST_F(Merge, ResultsAreAscendingAcrossDictionariesWhateverTheCase) {
  const struct {
    std::vector<Entry> words, shorthands;
    const char* text;
    bool withShorthands;
    std::vector<Result> results;
  } cases[] = {
      {{{"ant", ""}, {"bee", ""}}, {{"bat", "x"}}, "b", true, {{"bat", DICT_TYPE_SHORTHAND}, {"bee", DICT_TYPE_WORDS}}},
      {{{"ant", ""}, {"bee", ""}}, {{"bat", "x"}}, "a", true, {{"ant", DICT_TYPE_WORDS}}},
      {{{"Cherry", ""}, {"apple", ""}}, {{"Banana", "x"}}, "", true,
       {{"apple", DICT_TYPE_WORDS}, {"Banana", DICT_TYPE_SHORTHAND}, {"Cherry", DICT_TYPE_WORDS}}},
      // Shorthands take part only when asked, also on the first lookup after loading.
      {{{"bread", ""}}, {{"brb", "be right back"}}, "br", false, {{"bread", DICT_TYPE_WORDS}}},
      {{{"bread", ""}}, {{"brb", "be right back"}}, "br", true,
       {{"brb", DICT_TYPE_SHORTHAND}, {"bread", DICT_TYPE_WORDS}}},
      // Carried-over capitals decide the order.
      {{{"tea", ""}}, {{"te", "x"}, {"tf", "y"}}, "T", true,
       {{"te", DICT_TYPE_SHORTHAND}, {"Tea", DICT_TYPE_WORDS}, {"tf", DICT_TYPE_SHORTHAND}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ScratchDir dir;
    ASSERT_TRUE(MakeDictionary(dir.File("words.lib"), DICT_TYPE_WORDS, c.words));
    ASSERT_TRUE(MakeDictionary(dir.File("short.lib"), DICT_TYPE_SHORTHAND, c.shorthands));
    CDictionarySet set;
    ASSERT_TRUE(set.LoadAll(Pattern(dir).c_str(), false));
    EXPECT_EQ(Lookup(set, c.text, 41, c.withShorthands), c.results);
  }
}

TEST_F(Merge, EqualKeysComeFromTheLaterDictionaryFirst) {
  const std::string d1 = dir_.File("d1.lib");
  const std::string d2 = dir_.File("d2.lib");
  ASSERT_TRUE(MakeDictionary(d1, DICT_TYPE_WORDS, {{"apple", ""}}));
  ASSERT_TRUE(MakeDictionary(d2, DICT_TYPE_WORDS, {{"Apple", ""}}));
  Load();
  const int i1 = IndexOf(set_, d1);
  const int i2 = IndexOf(set_, d2);
  ASSERT_GE(i1, 0);
  ASSERT_GE(i2, 0);
  const std::vector<std::string> keys = LookupKeys(set_, "ap");
  if (i2 > i1) {
    EXPECT_THAT(keys, ElementsAre("Apple", "apple"));
  } else {
    EXPECT_THAT(keys, ElementsAre("apple", "Apple"));
  }
}

TEST_F(Merge, KeyLengthLimitsReachWordsDictionariesOnly) {
  ASSERT_TRUE(MakeDictionary(dir_.File("words.lib"), DICT_TYPE_WORDS,
                             {{"ab", ""}, {"abc", ""}, {"abcdefghij", ""}, {"abcdefghijk", ""}}));
  ASSERT_TRUE(MakeDictionary(dir_.File("short.lib"), DICT_TYPE_SHORTHAND, {{"ab", "x"}}));
  set_.SetKeyLengthLimits(3, 10);  // before loading: reaches the dictionaries loaded later
  Load();
  EXPECT_EQ(Lookup(set_, "ab"), (std::vector<Result>{{"ab", DICT_TYPE_SHORTHAND},
                                                     {"abc", DICT_TYPE_WORDS},
                                                     {"abcdefghij", DICT_TYPE_WORDS}}));
  set_.SetKeyLengthLimits(1, 500);
  EXPECT_EQ(Lookup(set_, "ab").size(), 5u);
}

TEST_F(Merge, ResultsAreDeepCopies) {
  ASSERT_TRUE(MakeDictionary(dir_.File("d.lib"), DICT_TYPE_WORDS, {{"one", "first"}, {"onto", ""}}, "Cap"));
  Load();
  DictItem first;
  EXPECT_FALSE(set_.FindNext(first));  // nothing before the first lookup
  EXPECT_FALSE(set_.FindFirst(nullptr, first, 41, true));
  ASSERT_TRUE(set_.FindFirst("on", first, 41, true));
  DictItem second;
  ASSERT_TRUE(set_.FindNext(second));
  EXPECT_EQ(first.Key(), "one");
  EXPECT_EQ(first.Data(), "----Cap----\rfirst");
  EXPECT_EQ(first.dataLength, 13 + 5);  // the whole header with its line feed, plus the data
  EXPECT_EQ(second.Key(), "onto");
  EXPECT_FALSE(set_.FindNext(second));
}

TEST(MergeDoubleByte, ChineseKeysMergeCharacterWise) {
  CodePageScope cp(936);
  if (!cp.ok()) GTEST_SKIP() << "the system code page is not 936";
  ScratchDir dir;
  const std::string zhong = "\xd6\xd0";   // U+4E2D
  const std::string guo = "\xb9\xfa";     // U+56FD
  const std::string wen = "\xce\xc4";     // U+6587
  ASSERT_TRUE(MakeDictionary(dir.File("a.lib"), DICT_TYPE_WORDS, {{zhong + wen, ""}}));
  ASSERT_TRUE(MakeDictionary(dir.File("b.lib"), DICT_TYPE_WORDS, {{zhong + guo, ""}, {"zz", ""}}));
  CDictionarySet set;
  ASSERT_TRUE(set.LoadAll(Pattern(dir).c_str(), false));
  // 0xB9FA sorts before 0xCEC4.
  EXPECT_THAT(LookupKeys(set, zhong.c_str()), ElementsAre(zhong + guo, zhong + wen));
}

}  // namespace

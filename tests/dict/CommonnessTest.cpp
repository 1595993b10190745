// How common entries are: the values' own view, what a program that knows
// only the two classic views sees and keeps, the merged order by commonness,
// damaged values and the word-count import.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "dict/DictionarySet.h"
#include "dict/ImportExport.h"
#include "dict/LibFileStrategy.h"
#include "DictTestUtil.h"

namespace {

using namespace dicttest;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using Values = std::vector<std::pair<std::string, int32_t>>;

bool SetValues(const std::string& path, const Values& values) {
  CDictionary dictionary;
  return dictionary.Open(path.c_str()) && dictionary.SetCommonness(values);
}

std::vector<std::string> CommonKeys(CDictionarySet& set, const char* text, size_t limit = 100) {
  std::vector<std::string> keys;
  DictItem item;
  for (bool found = set.FindFirst(text, item, kDefaultMatchFlags, true, CDictionarySet::Order::CommonFirst);
       found && keys.size() < limit; found = set.FindNext(item))
    keys.emplace_back(item.Key());
  return keys;
}

// A program that knows DBDATA and DBINFO only: it reads the entries and adds
// one through its own layout, then commits.
std::vector<std::string> ForeignEditAndList(const std::string& path, int scrambled) {
  CLibFileStrategy strategy;
  EXPECT_TRUE(strategy.DataOpen(path.c_str(), 1));
  std::vector<std::string> keys;
  {
    c4_Storage storage(strategy, false, 1);
    c4_View data = storage.GetAs("DBDATA[key:S,data:S]");
    storage.GetAs("DBINFO[prop:S,value:S]");
    const c4_StringProp key("key"), value("data");
    for (int r = 0; r < data.GetSize(); ++r) {
      std::string k = static_cast<const char*>(key(data[r]));
      if (scrambled) UnscrambleRecordText(k);
      keys.push_back(k);
    }
    std::string added = "zebra";
    if (scrambled) ScrambleRecordText(added);
    data.InsertAt(data.Search(key[added]), key[added] + value[""]);
    EXPECT_TRUE(storage.Commit(false));
  }
  return keys;
}

TEST(Commonness, ValuesLiveBesideTheEntriesAndSurviveEditsAndForeignCommits) {
  for (int scrambled : {0, 1}) {
    SCOPED_TRACE(scrambled);
    ScratchDir dir;
    const std::string path = dir.File("words.lib");
    ASSERT_TRUE(MakeDictionary(path, DICT_TYPE_WORDS, {{"apple", "a fruit"}, {"apricot", ""}, {"avocado", ""}}, "",
                               scrambled));
    ASSERT_TRUE(SetValues(path, {{"apple", 7}, {"apricot", 3}, {"avocado", 5}}));
    EXPECT_THAT(ForeignEditAndList(path, scrambled), UnorderedElementsAre("apple", "apricot", "avocado"));

    CDictionary dictionary;
    ASSERT_TRUE(dictionary.Open(path.c_str()));
    EXPECT_EQ(dictionary.GetCommonness(DictItem("apple")), 7);
    EXPECT_EQ(dictionary.GetCommonness(DictItem("zebra")), 0);  // added elsewhere: no value
    // The value follows its entry through a change of key, and goes with it.
    ASSERT_TRUE(dictionary.UpdateItem(DictItem("apricot"), DictItem("apricots", "")));
    ASSERT_TRUE(dictionary.DeleteItem(DictItem("avocado")));
    ASSERT_TRUE(dictionary.AddItem(DictItem("avocado"), true));
    EXPECT_EQ(dictionary.GetCommonness(DictItem("apricots")), 3);
    EXPECT_EQ(dictionary.GetCommonness(DictItem("apricot")), 0);
    EXPECT_EQ(dictionary.GetCommonness(DictItem("avocado")), 0);
    // A lookup by commonness: most common first, no value last in key order.
    dictionary.SetCaptionHeader(0);
    DictItem item;
    std::vector<std::string> keys;
    for (bool f = dictionary.FindFirstCommon("A", item, kDefaultMatchFlags); f; f = dictionary.FindNext(item))
      keys.emplace_back(std::string(item.Key()) + "/" + std::to_string(dictionary.CurrentCommonness()));
    EXPECT_THAT(keys, ElementsAre("Apple/7", "Apricots/3", "Avocado/0"));
    EXPECT_EQ(item.type, DICT_TYPE_WORDS);
  }
}

TEST(Commonness, MergedOrderPutsUnrankedDictionariesFirstThenTheMostCommon) {
  ScratchDir dir;
  // Files load in name order here: a and b are ranked, c and d are not.
  std::vector<Entry> many;
  Values manyValues;
  for (int i = 0; i < 600; ++i) {  // long enough to be walked rather than sorted
    const std::string key = "ta" + std::to_string(1000 + i);
    many.push_back({key, ""});
    manyValues.emplace_back(key, i % 7 == 0 ? 0 : 1 + i % 5);
  }
  many.push_back({"tea", ""});
  manyValues.emplace_back("tea", 90);
  ASSERT_TRUE(MakeDictionary(dir.File("a.lib"), DICT_TYPE_WORDS, many));
  ASSERT_TRUE(SetValues(dir.File("a.lib"), manyValues));
  ASSERT_TRUE(MakeDictionary(dir.File("b.lib"), DICT_TYPE_WORDS, {{"tango", ""}, {"tea", "hot"}, {"ten", ""}}));
  ASSERT_TRUE(SetValues(dir.File("b.lib"), {{"tango", 6}, {"tea", 90}, {"ten", 6}}));
  ASSERT_TRUE(MakeDictionary(dir.File("c.lib"), DICT_TYPE_SHORTHAND, {{"ty", "thank you"}}));
  ASSERT_TRUE(MakeDictionary(dir.File("d.lib"), DICT_TYPE_WORDS, {{"tuba", ""}, {"taco", ""}}));
  CDictionarySet set;
  ASSERT_TRUE(set.LoadFiles({dir.File("a.lib"), dir.File("b.lib"), dir.File("c.lib"), dir.File("d.lib")}, false));

  const std::vector<std::string> all = CommonKeys(set, "t", 1000);
  ASSERT_EQ(all.size(), 607u);
  // Unranked by key, then a tie of 90 (the later dictionary first), then 6.
  EXPECT_THAT(std::vector<std::string>(all.begin(), all.begin() + 7),
              ElementsAre("taco", "tuba", "ty", "tea", "tea", "tango", "ten"));
  // Then the long dictionary by value, ties and unranked entries by key.
  EXPECT_EQ(all[7], "ta1004");
  EXPECT_EQ(all.back(), "ta1595");
  // The short range of a longer text is ordered the same way.
  EXPECT_THAT(CommonKeys(set, "ta100"), ElementsAre("ta1004", "ta1009", "ta1003", "ta1008", "ta1002", "ta1001",
                                                    "ta1006", "ta1005", "ta1000", "ta1007"));
  // Key order is untouched.
  DictItem item;
  ASSERT_TRUE(set.FindFirst("t", item, kDefaultMatchFlags, true));
  EXPECT_EQ(item.Key(), "ta1000");
}

TEST(Commonness, DamagedValuesAreIgnoredEntryByEntry) {
  ScratchDir dir;
  const std::string path = dir.File("words.lib");
  ASSERT_TRUE(MakeDictionary(path, DICT_TYPE_WORDS, {{"cat", ""}, {"cow", ""}}));
  for (const char* layout : {"DBRANK[key:S,rank:S]", "DBRANK[key:I,rank:I]", "DBRANK[rank:I]"}) {
    SCOPED_TRACE(layout);
    const std::string copy = dir.File("damaged.lib");
    WriteFile(copy, ReadFile(path));
    {
      CLibFileStrategy strategy;
      ASSERT_TRUE(strategy.DataOpen(copy.c_str(), 1));
      c4_Storage storage(strategy, false, 1);
      storage.GetAs(layout).SetSize(3);
      ASSERT_TRUE(storage.Commit(false));
    }
    CDictionarySet set;
    ASSERT_TRUE(set.LoadFiles({copy}, false));
    EXPECT_FALSE(set.GetDictionary(0).HasCommonness());
    EXPECT_THAT(CommonKeys(set, "c"), ElementsAre("cat", "cow"));
    EXPECT_FALSE(set.GetDictionary(0).SetCommonness({{"cat", 1}}));  // never over a view of another shape
  }
  // Negative values and values of keys that are not there count for nothing.
  {
    CLibFileStrategy strategy;
    ASSERT_TRUE(strategy.DataOpen(path.c_str(), 1));
    c4_Storage storage(strategy, false, 1);
    c4_View view = storage.GetAs("DBRANK[key:S,rank:I]");
    const c4_StringProp key("key");
    const c4_IntProp rank("rank");
    view.Add(key["cat"] + rank[-5]);
    view.Add(key["cow"] + rank[2]);
    view.Add(key["dog"] + rank[2000000000]);
    ASSERT_TRUE(storage.Commit(false));
  }
  CDictionarySet set;
  ASSERT_TRUE(set.LoadFiles({path}, false));
  EXPECT_THAT(CommonKeys(set, "c"), ElementsAre("cow", "cat"));
}

TEST(Commonness, WordCountsAddMissingWordsAndSkipBadLines) {
  ScratchDir dir;
  const std::string path = dir.File("words.lib");
  ASSERT_TRUE(MakeDictionary(path, DICT_TYPE_WORDS, {{"Paris", ""}, {"pear", ""}}));
  const std::string counts = dir.File("counts.txt");
  WriteFile(counts, std::string("paris\t40\r\npeach\t12\textra column\n\nplum\n\tpear\n"
                                "pear\t4294967296\npear\t-3\npear\t7x\np\x01q\t5\npear\t9\n") +
                        std::string("\0\xff\t1", 4));
  CDictionary dictionary;
  ASSERT_TRUE(dictionary.Open(path.c_str()));
  CountImport result;
  ASSERT_TRUE(ImportCounts(dictionary, counts.c_str(), result));
  EXPECT_EQ(result.words, 3);
  EXPECT_EQ(result.added, 1);
  EXPECT_EQ(result.skipped, 7);
  EXPECT_EQ(dictionary.GetCommonness(DictItem("Paris")), 40);  // the stored letter case keeps the value
  EXPECT_EQ(dictionary.GetCommonness(DictItem("peach")), 12);
  EXPECT_EQ(dictionary.GetCommonness(DictItem("pear")), 9);
  EXPECT_FALSE(ImportCounts(dictionary, dir.File("missing.txt").c_str(), result));
}

}  // namespace

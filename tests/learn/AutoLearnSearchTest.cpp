// Prefix search and the record cursor.

#include "learn/AutoLearn.h"
#include "LearnTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using learn_test::FileOf;
using learn_test::Records;
using learn_test::Series;
using learn_test::WriteFile;

namespace {

using Words = std::vector<std::string>;

class SearchTest : public learn_test::LearnFixture {
protected:
    // Opens a learning file holding the given records, in that order.
    void OpenWith(const Records& records)
    {
        al.Close();
        WriteFile(path, FileOf(records));
        ASSERT_TRUE(al.Open(path));
    }
    void ExpectFile(const Records& records)
    {
        EXPECT_EQ(learn_test::ReadFile(path), FileOf(records));
    }
};

// FindFirst/FindNext and FindAll give the same series; FindAll leaves the
// cursor where the series does.
TEST_F(SearchTest, SeriesComeInFileOrderFromCountedRecords)
{
    struct Case {
        Records records;
        std::vector<std::pair<std::string, Words>> series;
    };
    const Case cases[] = {
        {{{"hello", 1}, {"world", 9}, {"help", 7}, {"he", 3}, {"hex", 2}, {"zed", 1}},
         {{"he", {"hello", "help", "he", "hex"}}, {"w", {"world"}}, {"q", {}}, {"zed", {"zed"}}}},
        {{{"hello", 0}, {"help", -4}, {"hero", 1}}, {{"he", {"hero"}}}},
        {{{"Hello", 1}, {"hello", 1}}, {{"he", {"hello"}}, {"He", {"Hello"}}}},
        {{{"a", 1}, {"b", 0}, {"c", 2}}, {{"", {"a", "c"}}}},
        {{{"help", 1}, {"helpful", 1}}, {{"help", {"help", "helpful"}}, {"helpfully", {}}}},
        {{{"dup", 1}, {"other", 1}, {"dup", 2}}, {{"du", {"dup", "dup"}}}},
        {{{"\xb0\xa1x", 1}, {"\xb0\xa2y", 1}, {"\xb0", 1}},
         {{"\xb0\xa1", {"\xb0\xa1x"}}, {"\xb0", {"\xb0\xa1x", "\xb0\xa2y", "\xb0"}}}},
    };
    for (const Case& c : cases) {
        OpenWith(c.records);
        for (const auto& [prefix, expected] : c.series) {
            SCOPED_TRACE(prefix);
            EXPECT_EQ(Series(al, prefix), expected);
            const std::int32_t current = al.GetCurrent();
            const std::string word = al.strWord;
            const std::int32_t count = al.nCount;
            al.MoveFirst();
            al.MoveNext();
            std::vector<std::string_view> all = al.FindAll(prefix);
            EXPECT_EQ(Words(all.begin(), all.end()), expected);
            EXPECT_EQ(al.GetCurrent(), current);
            EXPECT_EQ(al.strWord, word);
            EXPECT_EQ(al.nCount, count);
        }
    }
    al.bEnable = false;
    EXPECT_EQ(al.FindFirst("\xb0"), "");
    EXPECT_TRUE(al.FindAll("\xb0").empty());
}

TEST_F(SearchTest, CursorIsPastTheMatchAfterEachResult)
{
    OpenWith({{"hello", 1}, {"world", 2}, {"help", 3}});
    EXPECT_EQ(al.FindFirst("he"), "hello");
    EXPECT_EQ(al.GetCurrent(), 1);
    EXPECT_EQ(al.strWord, "world");
    EXPECT_EQ(al.FindNext("he"), "help");
    EXPECT_TRUE(al.IsEOF());
    // Past the end the last record read stays unpacked.
    EXPECT_EQ(al.strWord, "help");
    EXPECT_EQ(al.nCount, 3);
    EXPECT_EQ(al.FindNext("he"), "");
    // A word learned during a series is found by the next one.
    al.SaveInput("hero ");
    EXPECT_EQ(Series(al, "he"), (Words{"hello", "help", "hero"}));
}

TEST_F(SearchTest, ChangedRecordsLeaveAndJoinTheSeries)
{
    OpenWith({{"hello", 1}, {"world", 1}, {"help", 1}, {"hello", 1}, {"hello", 1}});
    EXPECT_EQ(Series(al, "he"), (Words{"hello", "help", "hello", "hello"}));
    al.MoveFirst();
    al.strWord = "help";  // now before the record that held it first
    al.Update();
    al.MoveNext();
    al.strWord = "heavy";
    al.Update();
    al.MoveNext();
    al.nCount = 0;
    al.Update();
    al.MoveNext();
    al.MoveNext();
    al.strWord = "yellow";  // the last of three records of one word
    al.Update();
    EXPECT_EQ(Series(al, "he"), (Words{"help", "heavy", "hello"}));
    EXPECT_EQ(Series(al, "help"), (Words{"help"}));
    EXPECT_EQ(Series(al, "ye"), (Words{"yellow"}));
    EXPECT_EQ(Series(al, "hello"), (Words{"hello"}));
}

TEST_F(SearchTest, CursorWalksAddsAndUpdates)
{
    OpenWith({{"alpha", 4}, {"beta", 2}});
    EXPECT_EQ(al.GetRecordCount(), 2);
    EXPECT_EQ(al.GetCurrent(), 0);
    EXPECT_EQ(al.strWord, "alpha");
    EXPECT_EQ(al.nCount, 4);
    al.MoveNext();
    al.strWord = "BETA";
    al.nCount = -3;
    al.Update();
    al.MoveNext();
    EXPECT_TRUE(al.IsEOF());
    EXPECT_EQ(al.GetCurrent(), 2);
    al.MoveNext();
    EXPECT_EQ(al.GetCurrent(), 2);
    al.strWord = "zzz";
    al.Update();  // past the end: writes nothing
    ExpectFile({{"alpha", 4}, {"BETA", -3}});
    al.MoveFirst();
    EXPECT_EQ(al.GetCurrent(), 0);
    EXPECT_EQ(al.strWord, "alpha");
    al.strWord = std::string(700, 'g');
    al.nCount = 7;
    al.AddNew();
    EXPECT_EQ(al.GetRecordCount(), 3);
    EXPECT_EQ(al.GetCurrent(), 2);
    ExpectFile({{"alpha", 4}, {"BETA", -3}, {std::string(511, 'g'), 7}});
}

TEST_F(SearchTest, DeleteAllEmptiesTheFileAndCloseEndsEverything)
{
    OpenWith({{"alpha", 4}, {"beta", 2}});
    al.DeleteAll();
    EXPECT_EQ(al.GetRecordCount(), 0);
    EXPECT_TRUE(al.IsEOF());
    EXPECT_TRUE(al.IsOpen());
    ExpectFile({});
    EXPECT_EQ(al.FindFirst("al"), "");
    al.SaveInput("again ");
    ExpectFile({{"again", 1}});
    // Once closed, nothing reaches the file.
    al.Close();
    EXPECT_FALSE(al.IsOpen());
    EXPECT_EQ(al.GetRecordCount(), 0);
    al.strWord = "beta";
    al.AddNew();
    al.DeleteAll();
    ExpectFile({{"again", 1}});
}

}  // namespace

// Prefix search and the record cursor.

#include "learn/AutoLearn.h"
#include "learn_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using learn_test::Record;
using learn_test::ReadBytes;
using learn_test::ScratchDir;
using learn_test::WriteBytes;

namespace {

class SearchTest : public ::testing::Test {
protected:
    // Opens a learning file holding the given records, in that order.
    void OpenWith(const std::vector<std::pair<std::string, std::int32_t>>& records)
    {
        std::string bytes;
        for (const auto& [word, count] : records)
            bytes += Record(count, word);
        WriteBytes(path, bytes);
        ASSERT_TRUE(al.Open(path));
    }
    std::vector<std::string> Series(std::string_view prefix)
    {
        std::vector<std::string> out;
        for (std::string w = al.FindFirst(prefix); !w.empty(); w = al.FindNext(prefix))
            out.push_back(w);
        return out;
    }
    ScratchDir dir;
    std::string path = dir.File("AutoLearn.dic");
    CAutoLearn al;
};

TEST_F(SearchTest, WordsComeInFileOrderNotByCount)
{
    OpenWith({{"hello", 1}, {"world", 9}, {"help", 7}, {"he", 3}});
    EXPECT_EQ(Series("he"), (std::vector<std::string>{"hello", "help", "he"}));
}

TEST_F(SearchTest, RecordsBelowTheMinimumCountAreSkipped)
{
    OpenWith({{"hello", 0}, {"help", -4}, {"hero", 1}});
    EXPECT_EQ(Series("he"), (std::vector<std::string>{"hero"}));
}

TEST_F(SearchTest, LetterCaseCounts)
{
    OpenWith({{"Hello", 1}, {"hello", 1}});
    EXPECT_EQ(Series("he"), (std::vector<std::string>{"hello"}));
    EXPECT_EQ(Series("He"), (std::vector<std::string>{"Hello"}));
}

TEST_F(SearchTest, EmptyPrefixGivesEveryCountedWord)
{
    OpenWith({{"a", 1}, {"b", 0}, {"c", 2}});
    EXPECT_EQ(Series(""), (std::vector<std::string>{"a", "c"}));
}

TEST_F(SearchTest, PrefixMatchesTheWholeWordToo)
{
    OpenWith({{"help", 1}, {"helpful", 1}});
    EXPECT_EQ(Series("help"), (std::vector<std::string>{"help", "helpful"}));
    EXPECT_TRUE(Series("helpfully").empty());
}

TEST_F(SearchTest, DuplicateRecordsAreAllOffered)
{
    OpenWith({{"dup", 1}, {"other", 1}, {"dup", 2}});
    EXPECT_EQ(Series("du"), (std::vector<std::string>{"dup", "dup"}));
}

TEST_F(SearchTest, HighBytesCompareAsBytes)
{
    OpenWith({{"\xb0\xa1x", 1}, {"\xb0\xa2y", 1}, {"\xb0", 1}});
    EXPECT_EQ(Series("\xb0\xa1"), (std::vector<std::string>{"\xb0\xa1x"}));
    EXPECT_EQ(Series("\xb0"), (std::vector<std::string>{"\xb0\xa1x", "\xb0\xa2y", "\xb0"}));
}

TEST_F(SearchTest, SwitchedOffFindsNothing)
{
    OpenWith({{"hello", 1}});
    al.bEnable = false;
    EXPECT_EQ(al.FindFirst("he"), "");
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
}

TEST_F(SearchTest, WordsLearnedDuringASeriesAreFoundLater)
{
    OpenWith({{"hello", 1}, {"world", 1}});
    EXPECT_EQ(al.FindFirst("he"), "hello");
    al.SaveInput("hero ");
    EXPECT_EQ(al.FindFirst("he"), "hello");
    EXPECT_EQ(al.FindNext("he"), "hero");
    EXPECT_EQ(al.FindNext("he"), "");
}

TEST_F(SearchTest, ChangedWordLeavesAndJoinsTheSeries)
{
    OpenWith({{"hello", 1}, {"world", 1}, {"help", 1}});
    EXPECT_EQ(Series("he"), (std::vector<std::string>{"hello", "help"}));
    al.MoveFirst();
    al.strWord = "yellow";
    al.Update();
    al.MoveNext();
    al.strWord = "heavy";
    al.Update();
    EXPECT_EQ(Series("he"), (std::vector<std::string>{"heavy", "help"}));
    EXPECT_EQ(Series("ye"), (std::vector<std::string>{"yellow"}));
}

TEST_F(SearchTest, CountChangedToZeroDropsTheWordFromTheSeries)
{
    OpenWith({{"hello", 1}, {"help", 1}});
    EXPECT_EQ(Series("hel"), (std::vector<std::string>{"hello", "help"}));
    al.MoveFirst();
    al.nCount = 0;
    al.Update();
    EXPECT_EQ(Series("hel"), (std::vector<std::string>{"help"}));
}

class CursorTest : public SearchTest {};

TEST_F(CursorTest, OpenReadsTheFirstRecord)
{
    OpenWith({{"alpha", 4}, {"beta", 2}});
    EXPECT_EQ(al.GetRecordCount(), 2);
    EXPECT_EQ(al.GetCurrent(), 0);
    EXPECT_EQ(al.strWord, "alpha");
    EXPECT_EQ(al.nCount, 4);
}

TEST_F(CursorTest, MoveNextWalksToTheEndAndStops)
{
    OpenWith({{"alpha", 4}, {"beta", 2}});
    al.MoveNext();
    EXPECT_EQ(al.strWord, "beta");
    al.MoveNext();
    EXPECT_TRUE(al.IsEOF());
    EXPECT_EQ(al.GetCurrent(), 2);
    al.MoveNext();
    EXPECT_EQ(al.GetCurrent(), 2);
    al.MoveFirst();
    EXPECT_EQ(al.GetCurrent(), 0);
    EXPECT_EQ(al.strWord, "alpha");
}

TEST_F(CursorTest, AddNewAppendsAndMovesTheCursorToIt)
{
    OpenWith({{"alpha", 4}});
    al.strWord = "gamma";
    al.nCount = 7;
    al.AddNew();
    EXPECT_EQ(al.GetRecordCount(), 2);
    EXPECT_EQ(al.GetCurrent(), 1);
    EXPECT_EQ(ReadBytes(path), Record(4, "alpha") + Record(7, "gamma"));
}

TEST_F(CursorTest, UpdateRewritesTheCurrentRecordInPlace)
{
    OpenWith({{"alpha", 4}, {"beta", 2}, {"gamma", 1}});
    al.MoveNext();
    al.strWord = "BETA";
    al.nCount = -3;
    al.Update();
    EXPECT_EQ(ReadBytes(path), Record(4, "alpha") + Record(-3, "BETA") + Record(1, "gamma"));
}

TEST_F(CursorTest, UpdatePastTheEndWritesNothing)
{
    OpenWith({{"alpha", 4}});
    al.MoveNext();
    al.strWord = "zzz";
    al.Update();
    EXPECT_EQ(ReadBytes(path), Record(4, "alpha"));
}

TEST_F(CursorTest, WordsLongerThanTheFieldAreCutTo511Bytes)
{
    OpenWith({});
    al.strWord = std::string(700, 'w');
    al.nCount = 1;
    al.AddNew();
    EXPECT_EQ(ReadBytes(path), Record(1, std::string(511, 'w')));
}

TEST_F(CursorTest, DeleteAllEmptiesTheFileAndKeepsItOpen)
{
    OpenWith({{"alpha", 4}, {"beta", 2}});
    al.DeleteAll();
    EXPECT_EQ(al.GetRecordCount(), 0);
    EXPECT_TRUE(al.IsEOF());
    EXPECT_TRUE(al.IsOpen());
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_EQ(al.FindFirst("al"), "");
    al.SaveInput("again ");
    EXPECT_EQ(ReadBytes(path), Record(1, "again"));
}

TEST_F(CursorTest, CloseEndsEverything)
{
    OpenWith({{"alpha", 4}});
    al.Close();
    EXPECT_FALSE(al.IsOpen());
    EXPECT_EQ(al.GetRecordCount(), 0);
    EXPECT_TRUE(al.IsEOF());
    al.strWord = "beta";
    al.AddNew();
    al.DeleteAll();
    EXPECT_EQ(ReadBytes(path), Record(4, "alpha"));
}

}  // namespace

namespace {

TEST_F(SearchTest, FindAllGivesTheSeriesAndLeavesTheCursorWhereTheSeriesDoes)
{
    OpenWith({{"hello", 1}, {"world", 9}, {"help", 0}, {"he", 3}, {"hex", 2}, {"zed", 1}});
    for (const char* prefix : {"he", "w", "q", "zed", "hex"}) {
        std::vector<std::string> series = Series(prefix);
        const std::int32_t current = al.GetCurrent();
        const std::string word = al.strWord;
        const std::int32_t count = al.nCount;
        al.MoveFirst();
        al.MoveNext();
        std::vector<std::string_view> all = al.FindAll(prefix);
        EXPECT_EQ(std::vector<std::string>(all.begin(), all.end()), series) << prefix;
        EXPECT_EQ(al.GetCurrent(), current) << prefix;
        EXPECT_EQ(al.strWord, word) << prefix;
        EXPECT_EQ(al.nCount, count) << prefix;
    }
    al.bEnable = false;
    EXPECT_TRUE(al.FindAll("he").empty());
}

}  // namespace

// Learning: which words SaveInput keeps, and how it counts them.

#include "learn/AutoLearn.h"
#include "learn_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using learn_test::Record;
using learn_test::ReadBytes;
using learn_test::ScratchDir;

namespace {

learn::AutoLearnOptions Defaults(std::int32_t minLength = 3)
{
    learn::AutoLearnOptions o;
    o.nMinLearnLength = minLength;
    return o;
}

struct Learned {
    std::string word;
    std::int32_t count;
    bool operator==(const Learned&) const = default;
};

std::vector<Learned> AllRecords(CAutoLearn& al)
{
    std::vector<Learned> out;
    for (al.MoveFirst(); !al.IsEOF(); al.MoveNext())
        out.push_back({al.strWord, al.nCount});
    return out;
}

class LearningTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(al.Open(path, Defaults())); }
    ScratchDir dir;
    std::string path = dir.File("AutoLearn.dic");
    CAutoLearn al;
};

TEST_F(LearningTest, WordEndingWithCommaAndBlankIsLearnedOnceThenCounted)
{
    al.SaveInput("hello, ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"hello", 1}}));
    al.SaveInput("hello, ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"hello", 2}}));
    EXPECT_EQ(ReadBytes(path), Record(2, "hello"));
}

TEST_F(LearningTest, LetterCaseMakesADifferentWord)
{
    al.SaveInput("hello ");
    al.SaveInput("Hello ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"hello", 1}, {"Hello", 1}}));
}

TEST_F(LearningTest, TextNotEndingWithSeparatorLearnsNothing)
{
    al.SaveInput("hello");
    al.SaveInput("");
    EXPECT_EQ(al.GetRecordCount(), 0);
    EXPECT_EQ(ReadBytes(path), "");
}

TEST_F(LearningTest, OnlySeparatorsLearnNothing)
{
    al.SaveInput(" ,.;!? \t\r\n");
    EXPECT_EQ(al.GetRecordCount(), 0);
}

TEST_F(LearningTest, OnlyTheLastWordIsLearned)
{
    al.SaveInput("good morning.");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"morning", 1}}));
    al.SaveInput("one;two'three\"four, ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"morning", 1}, {"four", 1}}));
}

TEST_F(LearningTest, ControlAndHighBytesInFrontAreStripped)
{
    al.SaveInput("\x01\x1f\xe4\xb8\x80word ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"word", 1}}));
}

TEST_F(LearningTest, HighBytesInsideAWordAreKept)
{
    al.SaveInput("caf\xe9s ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"caf\xe9s", 1}}));
}

TEST_F(LearningTest, TextOfOnlyHighBytesLearnsNothing)
{
    al.SaveInput("\xb0\xa1\xb0\xa2 ");
    EXPECT_EQ(al.GetRecordCount(), 0);
}

TEST_F(LearningTest, LineEndsAndTabsAlwaysSeparate)
{
    al.SetSeparators("#");
    EXPECT_EQ(al.GetSeparators(), "#\t\r\n");
    al.SaveInput("alpha beta\n");
    al.SaveInput("gamma#");
    al.SaveInput("delta ");  // a blank is no longer a separator
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"alpha beta", 1}, {"gamma", 1}}));
}

TEST_F(LearningTest, EmptySeparatorsChangeNothing)
{
    al.SetSeparators("");
    EXPECT_EQ(al.GetSeparators(), std::string(learn::kDefaultSeparators) + "\t\r\n");
}

TEST_F(LearningTest, EndsWithSeparatorLooksAtTheLastByteOnly)
{
    EXPECT_FALSE(al.EndsWithSeparator(""));
    EXPECT_TRUE(al.EndsWithSeparator("a?"));
    EXPECT_TRUE(al.EndsWithSeparator("a\t"));
    EXPECT_FALSE(al.EndsWithSeparator("a, b"));
}

TEST_F(LearningTest, MinimumLengthCountsBytes)
{
    al.nMinLength = 4;
    al.SaveInput("cat ");
    al.SaveInput("cats ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"cats", 1}}));
}

TEST_F(LearningTest, SwitchedOffLearnsNothing)
{
    al.bEnable = false;
    al.SaveInput("hello ");
    EXPECT_EQ(al.GetRecordCount(), 0);
}

TEST_F(LearningTest, CountsRiseInTheFirstOfDuplicateRecords)
{
    al.strWord = "twice";
    al.nCount = 5;
    al.AddNew();
    al.AddNew();
    al.SaveInput("twice ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"twice", 6}, {"twice", 5}}));
}

TEST_F(LearningTest, CountWrapsInsteadOfOverflowing)
{
    al.strWord = "often";
    al.nCount = 2147483647;
    al.AddNew();
    al.SaveInput("often ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"often", -2147483647 - 1}}));
}

TEST_F(LearningTest, LongWordsAreCutAndNeverMatchTheirCutRecord)
{
    const std::string longWord(600, 'x');
    al.SaveInput(longWord + " ");
    al.SaveInput(longWord + " ");
    // The typed word is compared whole, the stored one holds 511 bytes.
    EXPECT_EQ(AllRecords(al),
              (std::vector<Learned>{{std::string(511, 'x'), 1}, {std::string(511, 'x'), 1}}));
    al.SaveInput(std::string(511, 'x') + " ");
    EXPECT_EQ(AllRecords(al)[0].count, 2);
}

TEST_F(LearningTest, AfterLearningACountedWordTheCursorIsOnItsRecord)
{
    al.SaveInput("first ");
    al.SaveInput("second ");
    al.SaveInput("first ");
    EXPECT_EQ(al.GetCurrent(), 0);
    EXPECT_EQ(al.strWord, "first");
    EXPECT_EQ(al.nCount, 2);
}

class DictionaryCheckTest : public LearningTest {
protected:
    void SetUp() override
    {
        LearningTest::SetUp();
        al.SetDictionaryCheck([this](std::string_view word, std::string& key) {
            asked.emplace_back(word);
            for (const auto& entry : dictionary) {
                if (entry.compare(0, word.size(), word) == 0) {
                    key = entry;
                    return true;
                }
            }
            return false;
        });
    }
    std::vector<std::string> dictionary;
    std::vector<std::string> asked;
};

TEST_F(DictionaryCheckTest, WordTheDictionaryHoldsExactlyIsNotLearned)
{
    dictionary = {"hello"};
    al.SaveInput("hello ");
    EXPECT_EQ(al.GetRecordCount(), 0);
    EXPECT_EQ(asked, (std::vector<std::string>{"hello"}));
}

TEST_F(DictionaryCheckTest, WordHeldOnlyInAnotherCaseIsLearned)
{
    dictionary = {"Hello"};
    al.SetDictionaryCheck([](std::string_view, std::string& key) {
        key = "Hello";
        return true;
    });
    al.SaveInput("hello ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"hello", 1}}));
}

TEST_F(DictionaryCheckTest, OnlyTheFirstCandidateIsCompared)
{
    dictionary = {"helloworld", "hello"};
    al.SaveInput("hello ");
    EXPECT_EQ(AllRecords(al), (std::vector<Learned>{{"hello", 1}}));
}

TEST_F(DictionaryCheckTest, DictionaryIsNotAskedForWordsThatAreTooShort)
{
    al.SaveInput("ab ");
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(al.GetRecordCount(), 0);
}

TEST(LearningClosed, NothingIsLearnedWithoutAFile)
{
    CAutoLearn al;
    al.SaveInput("hello ");
    EXPECT_EQ(al.GetRecordCount(), 0);
    EXPECT_TRUE(al.IsEOF());
    EXPECT_EQ(al.FindFirst("he"), "");
}

}  // namespace

// Learning: which words SaveInput keeps, and how it counts them.

#include "learn/AutoLearn.h"
#include "LearnTestUtil.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

using learn_test::AllRecords;
using learn_test::FileOf;
using learn_test::Records;

namespace {

class LearningTest : public learn_test::LearnFixture {
protected:
    void SetUp() override
    {
        learn::AutoLearnOptions o;
        o.nMinLearnLength = 3;
        ASSERT_TRUE(al.Open(path, o));
    }
};

struct LearnCase {
    const char* name;
    std::vector<std::string> typed;
    Records learned;
    std::string_view separators = learn::kDefaultSeparators;
    std::int32_t minLength = 3;
    bool enabled = true;
};

TEST_F(LearningTest, TypedTextLearnsItsLastWord)
{
    const std::string x600(600, 'x');
    const std::string x511(511, 'x');
    const LearnCase cases[] = {
        {"counted once learned", {"hello, ", "hello, "}, {{"hello", 2}}},
        {"letter case", {"hello ", "Hello "}, {{"hello", 1}, {"Hello", 1}}},
        {"no separator at the end", {"hello", ""}, {}},
        {"only separators", {" ,.;!? \t\r\n"}, {}},
        {"last word only",
         {"good morning.", "one;two'three\"four, "},
         {{"morning", 1}, {"four", 1}}},
        {"control and high bytes in front", {"\x01\x1f\xe4\xb8\x80word "}, {{"word", 1}}},
        {"high bytes inside", {"caf\xe9s "}, {{"caf\xe9s", 1}}},
        {"only high bytes", {"\xb0\xa1\xb0\xa2 "}, {}},
        {"minimum length in bytes", {"cat ", "cats "}, {{"cats", 1}}, learn::kDefaultSeparators, 4},
        {"switched off", {"hello "}, {}, learn::kDefaultSeparators, 3, false},
        // A blank is no longer a separator; tabs and line ends always are.
        {"own separators", {"alpha beta\n", "gamma#", "delta "}, {{"alpha beta", 1}, {"gamma", 1}},
         "#"},
        // The typed word is compared whole, the stored one holds 511 bytes.
        {"long words", {x600 + " ", x600 + " ", x511 + " "}, {{x511, 2}, {x511, 1}}},
    };
    for (const LearnCase& c : cases) {
        SCOPED_TRACE(c.name);
        al.DeleteAll();
        al.SetSeparators(c.separators);
        al.nMinLength = c.minLength;
        al.bEnable = c.enabled;
        for (const std::string& text : c.typed)
            al.SaveInput(text);
        EXPECT_EQ(AllRecords(al), c.learned);
        EXPECT_EQ(learn_test::ReadFile(path), FileOf(c.learned));
    }
}

TEST_F(LearningTest, CountsRiseInTheFirstOfDuplicatesAndWrap)
{
    learn_test::AddRecords(al, {{"twice", 5}, {"twice", 5}, {"often", 2147483647}});
    al.SaveInput("twice ");
    // The cursor stays on the counted record.
    EXPECT_EQ(al.GetCurrent(), 0);
    EXPECT_EQ(al.strWord, "twice");
    EXPECT_EQ(al.nCount, 6);
    al.SaveInput("often ");
    EXPECT_EQ(AllRecords(al), (Records{{"twice", 6}, {"twice", 5}, {"often", -2147483647 - 1}}));
}

// The check answers with the first dictionary key that starts with the
// word, letter case aside.
TEST_F(LearningTest, DictionaryWordsAreNotLearned)
{
    struct Case {
        std::vector<std::string> dictionary;
        std::string typed;
        Records learned;
        std::vector<std::string> asked;
    };
    const Case cases[] = {
        {{"hello"}, "hello ", {}, {"hello"}},
        {{"Hello"}, "hello ", {{"hello", 1}}, {"hello"}},
        {{"helloworld", "hello"}, "hello ", {{"hello", 1}}, {"hello"}},
        {{"ab"}, "ab ", {}, {}},  // too short to ask
    };
    al.bLearnKnown = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed + c.dictionary[0]);
        std::vector<std::string> asked;
        al.DeleteAll();
        al.SetDictionaryCheck([&](std::string_view word, std::string& key) {
            asked.emplace_back(word);
            for (const std::string& entry : c.dictionary) {
                bool same = entry.size() >= word.size();
                for (std::size_t i = 0; same && i < word.size(); ++i)
                    same = std::tolower(static_cast<unsigned char>(entry[i])) ==
                           std::tolower(static_cast<unsigned char>(word[i]));
                if (same) {
                    key = entry;
                    return true;
                }
            }
            return false;
        });
        al.SaveInput(c.typed);
        EXPECT_EQ(AllRecords(al), c.learned);
        EXPECT_EQ(asked, c.asked);
    }
}

}  // namespace

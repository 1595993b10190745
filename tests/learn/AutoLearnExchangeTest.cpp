// Text exchange: the export and import formats, damaged import files,
// progress and cancelling.

#include "learn/AutoLearn.h"
#include "common/Wait.h"
#include "LearnTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using learn_test::AllRecords;
using learn_test::FileOf;
using learn_test::ReadFile;
using learn_test::Records;
using learn_test::WriteFile;
using testutil::FakeWait;

namespace {

class ExchangeTest : public learn_test::LearnFixture {
protected:
    void SetUp() override { ASSERT_TRUE(al.Open(path)); }
    void Add(const Records& records) { learn_test::AddRecords(al, records); }
    std::string textPath = dir.File("words.txt");
};

TEST_F(ExchangeTest, ExportWritesEveryRecordInFileOrderEndingWithCrCrLf)
{
    const std::pair<Records, std::string> cases[] = {
        {{{"hello", 2}, {"world", 1}}, "hello\t2\r\r\nworld\t1\r\r\n"},
        {{{"b", -2147483647 - 1}, {"a", 0}, {"b", 5}, {"w", 2147483647}},
         "b\t-2147483648\r\r\na\t0\r\r\nb\t5\r\r\nw\t2147483647\r\r\n"},
        {{}, ""},
    };
    for (const auto& [records, text] : cases) {
        SCOPED_TRACE(text);
        al.DeleteAll();
        Add(records);
        WriteFile(textPath, "old contents");
        std::int32_t count = -1;
        ASSERT_TRUE(al.Export(textPath, nullptr, &count));
        EXPECT_EQ(count, static_cast<std::int32_t>(records.size()));
        EXPECT_EQ(ReadFile(textPath), text);
    }
}

TEST_F(ExchangeTest, ExportReportsEveryTenthRecordAndRunsToTheEnd)
{
    for (int i = 0; i < 25; ++i)
        Add({{"w" + std::to_string(i), 1}});
    FakeWait wait;
    wait.cancelAfterPumps = 1;  // an export runs to the end regardless
    std::int32_t count = 0;
    ASSERT_TRUE(al.Export(textPath, &wait, &count));
    EXPECT_EQ(count, 25);
    EXPECT_EQ(wait.pumps, 2);  // after the 10th and the 20th record
    EXPECT_EQ(wait.texts, (std::vector<std::string>{"10 items have been exported!", "20 items have been exported!"}));
    count = -1;
    EXPECT_FALSE(al.Export(dir.File("missing/out.txt"), nullptr, &count));
    EXPECT_EQ(count, 0);
}

TEST_F(ExchangeTest, ImportedLinesBecomeRecords)
{
    std::string binary("bin\x01\xff", 5);
    binary += std::string("\0tail\t7\n", 8);
    binary += "\x80\x81\n";
    const std::string k(511, 'k');
    const std::string m(511, 'm');
    struct Case {
        const char* name;
        std::string text;
        Records records;
    };
    const Case cases[] = {
        {"no tab: count one", "hello\r\n", {{"hello", 1}}},
        {"count without digits", "abc\tx\r\n", {{"abc", 0}}},
        {"leading number after the last tab",
         "a\tb\t 12abc\n-x\t-3\nplus\t+4\nbig\t99999999999\nsmall\t-99999999999\n",
         {{"a\tb", 12}, {"-x", -3}, {"plus", 4}, {"big", 2147483647}, {"small", -2147483647 - 1}}},
        {"leading or trailing tab", "\tword\nend\t\n", {{"\tword", 1}, {"end", 1}}},
        {"empty line ends the import", "one\t1\r\n\r\ntwo\t2\r\n", {{"one", 1}}},
        {"last line without line feed", "one\t1\ntwo\t2", {{"one", 1}, {"two", 2}}},
        {"CR at the very end", "one\ntwo\r", {{"one", 1}, {"two\r", 1}}},
        // CR LF ends a line; the extra CR of an exported line stays in it.
        {"own export line ends", "word\t5\r\r\nplain\r\r\n", {{"word", 5}, {"plain\r", 1}}},
        {"CR only makes one line", "one\t1\rtwo\t2\rthree\r", {{"one\t1\rtwo", 2}}},
        {"very long lines", std::string(100000, 'k') + "\t3\n" + std::string(1 << 20, 'm') + "\n",
         {{k, 3}, {m, 1}}},
        {"binary bytes up to a NUL", binary, {{"bin\x01\xff", 7}, {"\x80\x81", 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        al.DeleteAll();
        WriteFile(textPath, c.text);
        std::int32_t count = -1;
        EXPECT_TRUE(al.Import(textPath, nullptr, &count));
        EXPECT_EQ(count, static_cast<std::int32_t>(c.records.size()));
        EXPECT_EQ(AllRecords(al), c.records);
        EXPECT_EQ(ReadFile(path), FileOf(c.records));
    }
}

TEST_F(ExchangeTest, ImportReportsEveryLineAndCanBeCancelled)
{
    WriteFile(textPath, "a\nb\nc\nd\ne\n");
    FakeWait wait;
    wait.cancelAfterPumps = 3;
    std::int32_t count = 0;
    ASSERT_TRUE(al.Import(textPath, &wait, &count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(wait.pumps, 3);
    EXPECT_EQ(AllRecords(al), (Records{{"a", 1}, {"b", 1}, {"c", 1}}));
    // Every 10th line says how far it is.
    std::string lines;
    for (int i = 0; i < 25; ++i) lines += "w\n";
    WriteFile(textPath, lines);
    FakeWait counted;
    ASSERT_TRUE(al.Import(textPath, &counted, &count));
    EXPECT_EQ(counted.texts, (std::vector<std::string>{"10 items have been imported!", "20 items have been imported!"}));
}

TEST_F(ExchangeTest, ImportWithoutATextFileOrALearningFileFails)
{
    std::int32_t count = -1;
    EXPECT_FALSE(al.Import(dir.File("absent.txt"), nullptr, &count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(al.GetRecordCount(), 0);
    WriteFile(textPath, "hello\t1\n");
    CAutoLearn closed;
    EXPECT_FALSE(closed.Import(textPath));
}

}  // namespace

// Text exchange: the export and import formats, damaged import files,
// progress and cancelling.

#include "learn/AutoLearn.h"
#include "learn/LearnText.h"
#include "learn_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using learn_test::Record;
using learn_test::ReadBytes;
using learn_test::ScratchDir;
using learn_test::WriteBytes;

namespace {

using Records = std::vector<std::pair<std::string, std::int32_t>>;

class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(al.Open(path)); }
    void Add(const std::string& word, std::int32_t count)
    {
        al.strWord = word;
        al.nCount = count;
        al.AddNew();
    }
    Records All()
    {
        Records out;
        for (al.MoveFirst(); !al.IsEOF(); al.MoveNext())
            out.emplace_back(al.strWord, al.nCount);
        return out;
    }
    // Imports the given text and returns the records added.
    Records ImportText(const std::string& text, std::int32_t* pCount = nullptr)
    {
        WriteBytes(textPath, text);
        EXPECT_TRUE(al.Import(textPath, nullptr, pCount));
        return All();
    }
    ScratchDir dir;
    std::string path = dir.File("AutoLearn.dic");
    std::string textPath = dir.File("words.txt");
    CAutoLearn al;
};

// A wait window whose Cancel button is pressed after cancelAt pumps.
class CountingWait : public WaitProgress {
public:
    void SetText(const std::string&) override {}
    void PumpMessages() override { ++pumps; }
    bool IsCancelled() const override { return cancelAt != 0 && pumps >= cancelAt; }
    std::int32_t pumps = 0;
    std::int32_t cancelAt = 0;
};

TEST_F(ExchangeTest, ExportLinesEndWithCrCrLf)
{
    Add("hello", 2);
    Add("world", 1);
    std::int32_t count = -1;
    ASSERT_TRUE(al.Export(textPath, nullptr, &count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ReadBytes(textPath), "hello\t2\r\r\nworld\t1\r\r\n");
}

TEST_F(ExchangeTest, ExportWritesNegativeCountsAndEveryRecordInFileOrder)
{
    Add("b", -2147483647 - 1);
    Add("a", 0);
    Add("b", 5);
    ASSERT_TRUE(al.Export(textPath));
    EXPECT_EQ(ReadBytes(textPath), "b\t-2147483648\r\r\na\t0\r\r\nb\t5\r\r\n");
}

TEST_F(ExchangeTest, ExportOfAnEmptyFileWritesAnEmptyFile)
{
    WriteBytes(textPath, "old contents");
    std::int32_t count = -1;
    ASSERT_TRUE(al.Export(textPath, nullptr, &count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(ReadBytes(textPath), "");
}

TEST_F(ExchangeTest, ExportReportsEveryTenthRecord)
{
    for (int i = 0; i < 25; ++i) {
        std::string word = "w";
        word += std::to_string(i);
        Add(word, 1);
    }
    CountingWait wait;
    wait.cancelAt = 1;  // an export runs to the end regardless
    std::int32_t count = 0;
    ASSERT_TRUE(al.Export(textPath, &wait, &count));
    EXPECT_EQ(count, 25);
    EXPECT_EQ(wait.pumps, 2);  // after the 10th and the 20th record
}

TEST_F(ExchangeTest, ExportToAnUnwritablePathFails)
{
    Add("x", 1);
    std::int32_t count = -1;
    EXPECT_FALSE(al.Export(dir.File("missing/out.txt"), nullptr, &count));
    EXPECT_EQ(count, 0);
}

TEST_F(ExchangeTest, ExportThenImportGivesTheSameRecords)
{
    Add("hello", 2);
    Add("caf\xe9", 1);
    Add(std::string(511, 'z'), -7);
    const Records before = All();
    ASSERT_TRUE(al.Export(textPath));
    al.DeleteAll();
    ASSERT_TRUE(al.Import(textPath));
    EXPECT_EQ(All(), before);
}

TEST_F(ExchangeTest, LineWithoutTabIsAWordWithCountOne)
{
    EXPECT_EQ(ImportText("hello\r\n"), (Records{{"hello", 1}}));
}

TEST_F(ExchangeTest, CountWithoutDigitsIsZero)
{
    EXPECT_EQ(ImportText("abc\tx\r\n"), (Records{{"abc", 0}}));
}

TEST_F(ExchangeTest, CountIsTheLeadingNumberAfterTheLastTab)
{
    EXPECT_EQ(ImportText("a\tb\t 12abc\n-x\t-3\nplus\t+4\nbig\t99999999999\nsmall\t-99999999999\n"),
              (Records{{"a\tb", 12},
                       {"-x", -3},
                       {"plus", 4},
                       {"big", 2147483647},
                       {"small", -2147483647 - 1}}));
}

TEST_F(ExchangeTest, LeadingTabOrTrailingTabKeepsCountOne)
{
    EXPECT_EQ(ImportText("\tword\nend\t\n"), (Records{{"\tword", 1}, {"end", 1}}));
}

TEST_F(ExchangeTest, EmptyLineEndsTheImport)
{
    std::int32_t count = 0;
    EXPECT_EQ(ImportText("one\t1\r\n\r\ntwo\t2\r\n", &count), (Records{{"one", 1}}));
    EXPECT_EQ(count, 1);
}

TEST_F(ExchangeTest, DuplicatesGetASecondRecord)
{
    Add("dup", 3);
    EXPECT_EQ(ImportText("dup\t1\ndup\t2\n"), (Records{{"dup", 3}, {"dup", 1}, {"dup", 2}}));
    al.SaveInput("dup ");
    EXPECT_EQ(All()[0].second, 4);
}

TEST_F(ExchangeTest, LastLineWithoutLineFeedIsImported)
{
    EXPECT_EQ(ImportText("one\t1\ntwo\t2"), (Records{{"one", 1}, {"two", 2}}));
}

TEST_F(ExchangeTest, OwnExportLineEndsLeaveACrOnlyInLinesWithoutTab)
{
    // CR LF ends a line; the extra CR of an exported line stays in the line.
    EXPECT_EQ(ImportText("word\t5\r\r\nplain\r\r\n"), (Records{{"word", 5}, {"plain\r", 1}}));
}

TEST_F(ExchangeTest, CrOnlyLineEndsMakeOneLine)
{
    EXPECT_EQ(ImportText("one\t1\rtwo\t2\rthree\r"), (Records{{"one\t1\rtwo", 2}}));
}

TEST_F(ExchangeTest, VeryLongLinesAreCutTo511Bytes)
{
    const std::string longWord(100000, 'k');
    std::string text = longWord + "\t3\n" + std::string(1 << 20, 'm') + "\n";
    EXPECT_EQ(ImportText(text),
              (Records{{std::string(511, 'k'), 3}, {std::string(511, 'm'), 1}}));
}

TEST_F(ExchangeTest, BinaryBytesImportUpToANul)
{
    std::string text("bin\x01\xff", 5);
    text += std::string("\0tail\t7\n", 8);
    text += "\x80\x81\n";
    EXPECT_EQ(ImportText(text), (Records{{"bin\x01\xff", 7}, {"\x80\x81", 1}}));
}

TEST_F(ExchangeTest, ImportReportsEveryLineAndCanBeCancelled)
{
    WriteBytes(textPath, "a\nb\nc\nd\ne\n");
    CountingWait wait;
    wait.cancelAt = 3;
    std::int32_t count = 0;
    ASSERT_TRUE(al.Import(textPath, &wait, &count));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(wait.pumps, 3);
    EXPECT_EQ(All(), (Records{{"a", 1}, {"b", 1}, {"c", 1}}));
}

TEST_F(ExchangeTest, ImportedRecordsAreOnDiskAndSearchable)
{
    ImportText("hello\t2\nworld\t1\nhelp\t1\n");
    EXPECT_EQ(ReadBytes(path), Record(2, "hello") + Record(1, "world") + Record(1, "help"));
    EXPECT_EQ(al.FindFirst("hel"), "hello");
    EXPECT_EQ(al.FindNext("hel"), "help");
}

TEST_F(ExchangeTest, MissingImportFileFails)
{
    std::int32_t count = -1;
    EXPECT_FALSE(al.Import(dir.File("absent.txt"), nullptr, &count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(al.GetRecordCount(), 0);
}

TEST(ExchangeClosed, ImportWithoutALearningFileFails)
{
    ScratchDir dir;
    WriteBytes(dir.File("words.txt"), "hello\t1\n");
    CAutoLearn al;
    EXPECT_FALSE(al.Import(dir.File("words.txt")));
}

TEST(ImportLineParser, HandlesLinesFedAcrossAnyChunking)
{
    const std::string text = "ab\t1\r\ncd\r\r\n\r\nx";
    learn::ImportLineParser parser;
    std::vector<std::pair<std::string, std::uint64_t>> lines;
    for (char c : text) {
        if (parser.Push(c))
            lines.emplace_back(parser.Word(), parser.LineLength());
    }
    if (parser.Finish())
        lines.emplace_back(parser.Word(), parser.LineLength());
    EXPECT_EQ(lines, (std::vector<std::pair<std::string, std::uint64_t>>{
                         {"ab", 4}, {"cd\r", 3}, {"", 0}, {"x", 1}}));
}

TEST(ImportLineParser, FinishAfterALineFeedHasNoLine)
{
    learn::ImportLineParser parser;
    EXPECT_FALSE(parser.Finish());
    EXPECT_TRUE(parser.Push('\n'));
    EXPECT_FALSE(parser.Finish());
    EXPECT_FALSE(parser.Push('\r'));
    EXPECT_TRUE(parser.Finish());
    EXPECT_EQ(parser.Word(), "\r");
}

TEST(ExportLine, FormatsWordTabCountCrCrLf)
{
    std::string out;
    learn::AppendExportLine(out, "w", 2147483647);
    learn::AppendExportLine(out, std::string("a\0b", 3), -1);
    EXPECT_EQ(out, "w\t2147483647\r\r\na\t-1\r\r\n");
}

}  // namespace

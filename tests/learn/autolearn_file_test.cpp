// The learning file on disk: format, reopening, damaged files, permissions.

#include "learn/AutoLearn.h"
#include "learn_test_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using learn_test::Record;
using learn_test::ReadBytes;
using learn_test::ScratchDir;
using learn_test::WriteBytes;

namespace {

TEST(LearningFileFormat, RecordsAreCountThenNulPaddedWord)
{
    ScratchDir dir;
    const std::string path = dir.File("AutoLearn.dic");
    CAutoLearn al;
    ASSERT_TRUE(al.Open(path));
    al.SaveInput("abc ");
    al.SaveInput("xyz ");
    al.SaveInput("xyz ");
    std::string expected(1032, '\0');
    expected[0] = 1;
    expected.replace(4, 3, "abc");
    expected[516] = 2;
    expected.replace(520, 3, "xyz");
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST(LearningFileFormat, CountIsLittleEndianAndSigned)
{
    ScratchDir dir;
    const std::string path = dir.File("AutoLearn.dic");
    std::string bytes = Record(0, "neg");
    bytes[0] = '\xfe';
    bytes[1] = bytes[2] = bytes[3] = '\xff';  // -2
    std::string big = Record(0, "big");
    big[0] = 0x04;
    big[1] = 0x03;
    big[2] = 0x02;
    big[3] = 0x01;
    WriteBytes(path, bytes + big);
    CAutoLearn al;
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(al.nCount, -2);
    al.MoveNext();
    EXPECT_EQ(al.nCount, 0x01020304);
}

TEST(LearningFileFormat, OpenCreatesAMissingFileAndNeverTruncates)
{
    ScratchDir dir;
    const std::string path = dir.File("AutoLearn.dic");
    {
        CAutoLearn al;
        ASSERT_TRUE(al.Open(path));
        EXPECT_TRUE(std::filesystem::exists(path));
        al.SaveInput("kept ");
    }
    CAutoLearn al;
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(al.GetRecordCount(), 1);
    EXPECT_EQ(ReadBytes(path), Record(1, "kept"));
}

TEST(LearningFileFormat, ReopenedFileReadsBackTheSameRecords)
{
    ScratchDir dir;
    const std::string path = dir.File("AutoLearn.dic");
    std::string before;
    {
        CAutoLearn al;
        ASSERT_TRUE(al.Open(path));
        al.SaveInput("one ");
        al.SaveInput("two ");
        al.SaveInput("one ");
        al.strWord = std::string(600, 'L');
        al.nCount = -9;
        al.AddNew();
        before = ReadBytes(path);
    }
    CAutoLearn al;
    ASSERT_TRUE(al.Open(path));
    std::vector<std::pair<std::string, std::int32_t>> records;
    for (al.MoveFirst(); !al.IsEOF(); al.MoveNext())
        records.emplace_back(al.strWord, al.nCount);
    EXPECT_EQ(records, (std::vector<std::pair<std::string, std::int32_t>>{
                           {"one", 2}, {"two", 1}, {std::string(511, 'L'), -9}}));
    EXPECT_EQ(ReadBytes(path), before);
    al.SaveInput("two ");
    EXPECT_EQ(al.GetCurrent(), 1);
    EXPECT_EQ(al.nCount, 2);
}

TEST(LearningFileFormat, OpenTakesOverTheOptions)
{
    ScratchDir dir;
    learn::AutoLearnOptions options;
    options.bEnableAutolearn = false;
    options.nMinLearnLength = 7;
    options.strSeparate = "/";
    CAutoLearn al;
    ASSERT_TRUE(al.Open(dir.File("AutoLearn.dic"), options));
    EXPECT_FALSE(al.bEnable);
    EXPECT_EQ(al.nMinLength, 7);
    EXPECT_EQ(al.GetSeparators(), "/\t\r\n");
}

TEST(LearningFileFormat, EmptySeparatorOptionKeepsTheCurrentOnes)
{
    ScratchDir dir;
    learn::AutoLearnOptions options;
    options.strSeparate.clear();
    CAutoLearn al;
    ASSERT_TRUE(al.Open(dir.File("AutoLearn.dic"), options));
    EXPECT_EQ(al.GetSeparators(), std::string(learn::kDefaultSeparators) + "\t\r\n");
}

#ifndef _WIN32
TEST(LearningFileFormat, NewFileIsForItsOwnerOnly)
{
    ScratchDir dir;
    const std::string path = dir.File("AutoLearn.dic");
    CAutoLearn al;
    ASSERT_TRUE(al.Open(path));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    al.DeleteAll();
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
#endif

TEST(LearningFileUnopenable, MissingFolderLeavesTheEngineOff)
{
    ScratchDir dir;
    CAutoLearn al;
    EXPECT_FALSE(al.Open(dir.File("no-such-folder/AutoLearn.dic")));
    EXPECT_FALSE(al.IsOpen());
    EXPECT_TRUE(al.IsEOF());
    al.SaveInput("hello ");
    al.AddNew();
    al.Update();
    al.MoveFirst();
    al.MoveNext();
    EXPECT_EQ(al.GetRecordCount(), 0);
    EXPECT_EQ(al.FindFirst(""), "");
    EXPECT_EQ(al.FindNext(""), "");
}

TEST(LearningFileUnopenable, AFolderIsNotALearningFile)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir.File("folder"));
    CAutoLearn al;
    EXPECT_FALSE(al.Open(dir.File("folder")));
    EXPECT_FALSE(al.IsOpen());
}

TEST(LearningFileUnopenable, FailedOpenKeepsTheFileAlreadyOpen)
{
    ScratchDir dir;
    const std::string path = dir.File("AutoLearn.dic");
    CAutoLearn al;
    ASSERT_TRUE(al.Open(path));
    al.SaveInput("still ");
    EXPECT_FALSE(al.Open(dir.File("missing/x.dic")));
    EXPECT_TRUE(al.IsOpen());
    EXPECT_EQ(al.GetPath(), path);
    EXPECT_EQ(al.FindFirst("st"), "still");
}

class DamagedFile : public ::testing::Test {
protected:
    ScratchDir dir;
    std::string path = dir.File("AutoLearn.dic");
    CAutoLearn al;
};

TEST_F(DamagedFile, PartialTailIsIgnored)
{
    WriteBytes(path, Record(1, "hello") + Record(1, "help") + "X");  // 1033 bytes
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(al.GetRecordCount(), 2);
    EXPECT_EQ(al.FindFirst("he"), "hello");
    EXPECT_EQ(al.FindNext("he"), "help");
    EXPECT_EQ(al.FindNext("he"), "");
}

TEST_F(DamagedFile, NewRecordReplacesThePartialTail)
{
    const std::string whole = Record(3, "first");
    WriteBytes(path, whole + Record(9, "torn").substr(0, 300));
    ASSERT_TRUE(al.Open(path));
    al.SaveInput("second ");
    EXPECT_EQ(ReadBytes(path), whole + Record(1, "second"));
    al.Close();
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(al.GetRecordCount(), 2);
}

TEST_F(DamagedFile, TailOfAFileWithoutWholeRecordsIsReplacedFromTheStart)
{
    WriteBytes(path, std::string(515, '\x7f'));
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(al.GetRecordCount(), 0);
    al.SaveInput("fresh ");
    EXPECT_EQ(ReadBytes(path), Record(1, "fresh"));
}

TEST_F(DamagedFile, WordWithoutNulTakesTheWholeField)
{
    const std::string full(512, 'q');
    WriteBytes(path, Record(1, full) + Record(1, "qq"));
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(al.strWord, full);
    EXPECT_EQ(al.FindFirst("qq"), full);
    EXPECT_EQ(al.FindNext("qq"), "qq");
    // Typed again, it is counted in its record, which then keeps 511 bytes.
    al.SaveInput(full + " ");
    EXPECT_EQ(ReadBytes(path), Record(2, std::string(511, 'q')) + Record(1, "qq"));
    EXPECT_EQ(al.GetRecordCount(), 2);
    al.SaveInput(std::string(511, 'q') + " ");
    EXPECT_EQ(al.GetRecordCount(), 2);
    EXPECT_EQ(al.nCount, 3);
}

TEST_F(DamagedFile, BytesAfterTheFirstNulAreIgnored)
{
    std::string r = Record(1, "abc");
    r.replace(8, 3, "zzz");  // garbage behind the terminating NUL
    WriteBytes(path, r);
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(al.strWord, "abc");
    al.SaveInput("abc ");
    EXPECT_EQ(al.GetRecordCount(), 1);
    EXPECT_EQ(ReadBytes(path), Record(2, "abc"));
}

TEST_F(DamagedFile, EmptyAndNegativeRecordsWork)
{
    WriteBytes(path, std::string(516 * 3, '\0') + Record(-5, "neg") + Record(1, "negative"));
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(al.GetRecordCount(), 5);
    EXPECT_EQ(al.FindFirst("neg"), "negative");
    al.SaveInput("neg ");
    EXPECT_EQ(al.nCount, -4);
    EXPECT_EQ(al.GetCurrent(), 3);
}

TEST_F(DamagedFile, EveryByteValueOpens)
{
    std::string bytes;
    for (int i = 0; i < 516 * 4 + 17; ++i)
        bytes.push_back(static_cast<char>((i * 37 + 11) & 0xFF));
    WriteBytes(path, bytes);
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(al.GetRecordCount(), 4);
    int seen = 0;
    for (al.MoveFirst(); !al.IsEOF(); al.MoveNext())
        ++seen;
    EXPECT_EQ(seen, 4);
    al.SaveInput("after ");
    EXPECT_EQ(ReadBytes(path).size(), 516u * 5);
    EXPECT_EQ(ReadBytes(path).substr(0, 516 * 4), bytes.substr(0, 516 * 4));
}

}  // namespace

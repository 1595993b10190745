// The learning file on disk: format, reopening, damaged files, permissions.

#include "learn/AutoLearn.h"
#include "LearnTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using learn_test::AllRecords;
using learn_test::FileOf;
using learn_test::Record;
using learn_test::Records;
using learn_test::ReadFile;
using learn_test::Series;
using learn_test::WriteFile;

namespace {

using LearningFile = learn_test::LearnFixture;

TEST_F(LearningFile, RecordsAreASignedLittleEndianCountThenANulPaddedWord)
{
    ASSERT_TRUE(al.Open(path));
    EXPECT_TRUE(std::filesystem::exists(path));
    al.SaveInput("abc ");
    al.SaveInput("xyz ");
    al.SaveInput("xyz ");
    std::string expected(1032, '\0');
    expected[0] = 1;
    expected.replace(4, 3, "abc");
    expected[516] = 2;
    expected.replace(520, 3, "xyz");
    EXPECT_EQ(ReadFile(path), expected);
    al.Close();

    std::string neg = Record(0, "neg");
    neg.replace(0, 4, "\xfe\xff\xff\xff");  // -2
    std::string big = Record(0, "big");
    big.replace(0, 4, "\x04\x03\x02\x01");
    WriteFile(path, neg + big);
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(AllRecords(al), (Records{{"neg", -2}, {"big", 0x01020304}}));
}

TEST_F(LearningFile, OpenTakesOverTheOptions)
{
    learn::AutoLearnOptions options;
    options.bEnableAutolearn = false;
    options.nMinLearnLength = 7;
    options.strSeparate = "/";
    ASSERT_TRUE(al.Open(path, options));
    EXPECT_FALSE(al.bEnable);
    EXPECT_EQ(al.nMinLength, 7);
    EXPECT_EQ(al.GetSeparators(), "/\t\r\n");
    // An empty separator option keeps the current ones.
    options.strSeparate.clear();
    ASSERT_TRUE(al.Open(path, options));
    EXPECT_EQ(al.GetSeparators(), "/\t\r\n");
}

#ifndef _WIN32
TEST_F(LearningFile, NewFileIsForItsOwnerOnly)
{
    ASSERT_TRUE(al.Open(path));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    al.DeleteAll();
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
#endif

TEST_F(LearningFile, UnopenablePathsLeaveTheEngineOff)
{
    std::filesystem::create_directories(dir.File("folder"));
    for (const char* name : {"no-such-folder/AutoLearn.dic", "folder"}) {
        SCOPED_TRACE(name);
        CAutoLearn off;
        EXPECT_FALSE(off.Open(dir.File(name)));
        EXPECT_FALSE(off.IsOpen());
        EXPECT_TRUE(off.IsEOF());
        off.SaveInput("hello ");
        off.AddNew();
        off.Update();
        off.MoveFirst();
        off.MoveNext();
        EXPECT_EQ(off.GetRecordCount(), 0);
        EXPECT_EQ(off.FindFirst(""), "");
        EXPECT_EQ(off.FindNext(""), "");
    }
    // A failed open keeps the file already open.
    ASSERT_TRUE(al.Open(path));
    al.SaveInput("still ");
    EXPECT_FALSE(al.Open(dir.File("missing/x.dic")));
    EXPECT_TRUE(al.IsOpen());
    EXPECT_EQ(al.GetPath(), path);
    EXPECT_EQ(al.FindFirst("st"), "still");
}

// A damaged file opens with its whole records; a torn tail is ignored and
// replaced by the next record learned.
TEST_F(LearningFile, DamagedFilesOpenAndLearnOn)
{
    const std::string garbage = testutil::Junk(516 * 4 + 17, 37, 11);
    std::string afterNul = Record(1, "abc");
    afterNul.replace(8, 3, "zzz");  // garbage behind the terminating NUL
    const std::string empty3(516 * 3, '\0');
    struct Case {
        const char* name;
        std::string bytes;
        std::int32_t records;
        const char* prefix;
        std::vector<std::string> series;
        const char* typed;
        std::string after;
    };
    const Case cases[] = {
        {"partial tail", FileOf({{"hello", 1}, {"help", 1}}) + "X", 2, "he", {"hello", "help"},
         "hero ", FileOf({{"hello", 1}, {"help", 1}, {"hero", 1}})},
        {"torn record", Record(3, "first") + Record(9, "torn").substr(0, 300), 1, "fi", {"first"},
         "second ", Record(3, "first") + Record(1, "second")},
        {"no whole record", std::string(515, '\x7f'), 0, "", {}, "fresh ", Record(1, "fresh")},
        {"bytes after the NUL", afterNul, 1, "abc", {"abc"}, "abc ", Record(2, "abc")},
        {"empty and negative records", empty3 + Record(-5, "neg") + Record(1, "negative"), 5,
         "neg", {"negative"}, "neg ", empty3 + Record(-4, "neg") + Record(1, "negative")},
        {"every byte value", garbage, 4, "\x7f", {}, "after ",
         garbage.substr(0, 516 * 4) + Record(1, "after")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(path, c.bytes);
        ASSERT_TRUE(al.Open(path));
        EXPECT_EQ(al.GetRecordCount(), c.records);
        EXPECT_EQ(static_cast<std::int32_t>(AllRecords(al).size()), c.records);
        EXPECT_EQ(Series(al, c.prefix), c.series);
        al.SaveInput(c.typed);
        EXPECT_EQ(ReadFile(path), c.after);
        al.Close();
        ASSERT_TRUE(al.Open(path));
        EXPECT_EQ(al.GetRecordCount(), static_cast<std::int32_t>(c.after.size() / 516));
    }
}

TEST_F(LearningFile, WordWithoutNulTakesTheWholeField)
{
    const std::string full(512, 'q');
    WriteFile(path, Record(1, full) + Record(1, "qq"));
    ASSERT_TRUE(al.Open(path));
    EXPECT_EQ(al.strWord, full);
    EXPECT_EQ(Series(al, "qq"), (std::vector<std::string>{full, "qq"}));
    // Typed again, it is counted in its record, which then keeps 511 bytes.
    al.SaveInput(full + " ");
    EXPECT_EQ(ReadFile(path), Record(2, std::string(511, 'q')) + Record(1, "qq"));
    al.SaveInput(std::string(511, 'q') + " ");
    EXPECT_EQ(al.GetRecordCount(), 2);
    EXPECT_EQ(al.nCount, 3);
}

}  // namespace

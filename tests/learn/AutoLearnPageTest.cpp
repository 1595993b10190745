// The AutoLearn page's list: filled newest first, edited, and written back
// only whole, through a new file that replaces the old one.
#include "learn/AutoLearnPage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "learn/AutoLearn.h"
#include "LearnTestUtil.h"

using learn_test::ReadFile;
using learn_test::Record;
using learn_test::ScratchDir;
using learn_test::WriteFile;

namespace {

class AutoLearnPage : public ::testing::Test {
 protected:
  void SetUp() override {
    path = dir.File("AutoLearn.dic");
    original = Record(3, "alpha") + Record(1, "beta") + Record(7, "gamma");
    WriteFile(path, original);
    ASSERT_TRUE(engine.Open(path));
  }
  std::vector<std::string> Words() const {
    std::vector<std::string> words;
    for (const auto& row : page.Rows()) words.push_back(row.word + ":" + row.count);
    return words;
  }

  ScratchDir dir;
  std::string path;
  std::string original;
  CAutoLearn engine;
  CAutoLearnPageModel page{&engine};
};

TEST_F(AutoLearnPage, FillsNewestFirstAndSavesBackByteForByte) {
  page.FillList();
  EXPECT_EQ(Words(), (std::vector<std::string>{"gamma:7", "beta:1", "alpha:3"}));
  ASSERT_TRUE(page.SaveList());
  EXPECT_EQ(ReadFile(path), original);
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));
}

TEST_F(AutoLearnPage, EditsReachTheFile) {
  page.FillList();
  page.EndLabelEdit(1, "bravo");  // rename: count 1
  page.AddRow();
  page.EndLabelEdit(0, "");  // an empty new row goes away
  page.AddRow();
  page.EndLabelEdit(0, "delta");  // a new row at the top ends the file
  page.DeleteRows({3, 3});        // alpha
  EXPECT_EQ(Words(), (std::vector<std::string>{"delta:1", "gamma:7", "bravo:1"}));
  ASSERT_TRUE(page.SaveList());
  EXPECT_EQ(ReadFile(path), Record(1, "bravo") + Record(7, "gamma") + Record(1, "delta"));
  EXPECT_EQ(engine.GetRecordCount(), 3);
  EXPECT_EQ(engine.FindFirst("de"), "delta");  // the engine reads the new file
}

TEST_F(AutoLearnPage, AnIncompleteListIsNeverWrittenBack) {
  CAutoLearnPageModel unfilled(&engine);  // the page was never shown
  EXPECT_FALSE(unfilled.SaveList());
  page.FillList([](std::int32_t done, std::int32_t) { return done < 2; });  // cancelled
  EXPECT_EQ(page.Rows().size(), 2u);
  page.DeleteAllRows();
  EXPECT_FALSE(page.SaveList());
  EXPECT_EQ(ReadFile(path), original);
  EXPECT_FALSE(CAutoLearnPageModel(nullptr).SaveList());
}

TEST_F(AutoLearnPage, ImportAppendsAndFillsAgain) {
  page.FillList();
  const std::string text = dir.File("words.txt");
  WriteFile(text, "alpha\t2\r\nzeta\t5\r\n");
  ASSERT_TRUE(page.Import(text));
  EXPECT_EQ(Words(), (std::vector<std::string>{"zeta:5", "alpha:2", "gamma:7", "beta:1", "alpha:3"}));
  EXPECT_TRUE(page.listComplete());
  EXPECT_EQ(engine.FindFirst("ze"), "zeta");  // the engine's index has the new words
}

// A new file that cannot be written (here its name is taken by a folder)
// leaves the learning file and the engine as they were.
TEST_F(AutoLearnPage, AFailedSaveKeepsTheOldFile) {
  page.FillList();
  page.DeleteAllRows();
  std::filesystem::create_directory(path + ".new");
  EXPECT_FALSE(page.SaveList());
  EXPECT_EQ(ReadFile(path), original);
  EXPECT_EQ(engine.GetRecordCount(), 3);
  EXPECT_TRUE(page.listChanged);
}

TEST_F(AutoLearnPage, AMinimumLengthOutsideItsRangeIsRefused) {
  EXPECT_FALSE(page.TakeMinLength("501"));
  EXPECT_EQ(page.minLength, 1);
}

}  // namespace

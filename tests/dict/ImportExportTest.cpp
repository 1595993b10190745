// Tagged text export and import, word-list import, and the wait window's
// progress and cancel.
#include "dict/ImportExport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Wait.h"
#include "DictTestUtil.h"

namespace {

using namespace dicttest;
using ::testing::ElementsAre;
using Entries = std::vector<std::pair<std::string, std::string>>;
using testutil::FakeWait;

Entries AllEntries(CDictionary& dictionary) {
  Entries entries;
  const int32_t header = dictionary.GetCaptionHeader();
  dictionary.SetCaptionHeader(0);
  DictItem item;
  for (bool found = dictionary.FindFirst("", item, DICT_MATCH_ALL); found; found = dictionary.FindNext(item))
    entries.emplace_back(item.Key(), item.Data());
  dictionary.SetCaptionHeader(header);
  return entries;
}

class Exchange : public ::testing::Test {
 protected:
  CDictionary& Open(const std::string& name, int type, const std::vector<Entry>& entries = {}) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(MakeDictionary(path, type, entries, "Cap"));
    dictionaries_.push_back(std::make_unique<CDictionary>());
    EXPECT_TRUE(dictionaries_.back()->Open(path.c_str()));
    return *dictionaries_.back();
  }
  std::string Input(const std::string& text) {
    const std::string in = dir_.File("in" + std::to_string(inputs_++) + ".txt");
    WriteFile(in, text);
    return in;
  }

  ScratchDir dir_;
  std::vector<std::unique_ptr<CDictionary>> dictionaries_;
  int inputs_ = 0;
};

// --- Export --------------------------------------------------------------------

TEST_F(Exchange, ExportWritesTaggedLinesWithoutTheCaptionHeader) {
  const struct {
    int type;
    std::vector<Entry> entries;
    int written;
    const char* file;
  } cases[] = {
      {DICT_TYPE_SHORTHAND, {{"btw", "by the way"}}, 1, "<shortkey>btw\r\n<replacement text>by the way\r\n"},
      {DICT_TYPE_SHORTHAND, {{"sig", "Regards,\r\nMe"}}, 1, "<shortkey>sig\r\n<replacement text>Regards,\r\nMe\r\n"},
      {DICT_TYPE_WORDS, {{"apple", "fruit"}, {"pie", ""}}, 2, "<key>apple\r\n<data>fruit\r\n<key>pie\r\n<data>\r\n"},
      // Words longer than the limit are not exported.
      {DICT_TYPE_WORDS, {{std::string(501, 'x'), ""}, {"y", ""}}, 1, "<key>y\r\n<data>\r\n"},
      // An unknown type leaves an empty file.
      {0, {{"a", ""}}, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    CDictionary& dictionary = Open("d" + std::to_string(inputs_++) + ".lib", DICT_TYPE_WORDS, c.entries);
    dictionary.SetType(c.type);
    const std::string out = dir_.File("out.txt");
    EXPECT_EQ(ExportTagged(dictionary, out.c_str(), nullptr), c.written);
    EXPECT_EQ(ReadFile(out), c.file);
    EXPECT_EQ(dictionary.GetCaptionHeader(), 1);  // restored after the export
    // What is exported imports back as it was.
    CDictionary& back = Open("b" + std::to_string(inputs_++) + ".lib", c.type ? c.type : DICT_TYPE_WORDS);
    EXPECT_EQ(ImportTagged(back, out.c_str(), nullptr), c.written);
    if (c.written == 1 && c.type == DICT_TYPE_SHORTHAND) {
      EXPECT_EQ(AllEntries(back), AllEntries(dictionary));
    }
  }
  CDictionary& dictionary = Open("w.lib", DICT_TYPE_WORDS, {{"a", ""}});
  EXPECT_EQ(ExportTagged(dictionary, "", nullptr), 0);
  EXPECT_EQ(ExportTagged(dictionary, dir_.File("no/such/folder.txt").c_str(), nullptr), 0);
  CDictionary closed;
  EXPECT_EQ(ExportTagged(closed, dir_.File("x.txt").c_str(), nullptr), 0);
}

TEST_F(Exchange, ExportReportsEveryTenthEntryAndStopsWhenCancelled) {
  std::vector<Entry> entries;
  for (int i = 0; i < 35; ++i) entries.push_back({"w" + std::to_string(100 + i), ""});
  CDictionary& dictionary = Open("w.lib", DICT_TYPE_WORDS, entries);
  FakeWait wait;
  EXPECT_EQ(ExportTagged(dictionary, dir_.File("a.txt").c_str(), &wait), 35);
  EXPECT_THAT(wait.texts, ElementsAre("10 items have been exported!", "20 items have been exported!",
                                      "30 items have been exported!"));
  EXPECT_EQ(wait.pumps, 34);  // after every entry but the first
  FakeWait cancel;
  cancel.cancelAfterPumps = 5;
  EXPECT_EQ(ExportTagged(dictionary, dir_.File("b.txt").c_str(), &cancel), 6);
}

// --- Import --------------------------------------------------------------------

TEST_F(Exchange, ImportReadsTaggedFilesAndWordLists) {
  const std::string longest(kMaxImportWordLength, 'a');  // fits
  const std::string tooLong(kMaxImportWordLength + 1, 'b');
  const std::string huge(20000, 'c');  // spans two read chunks
  const struct {
    bool tagged;
    std::string text;
    int count;
    Entries entries;
  } cases[] = {
      // Tags are found anywhere in the line, and either pair of tags works.
      {true, "junk<key>alpha\r\n<replacement text>first\r\n<shortkey>beta\r\nxx<data>second\n", 2,
       {{"alpha", "first"}, {"beta", "second"}}},
      {true, "<key>k\r\n<data>one\r\n<data>two\r\n", 1, {{"k", "onetwo"}}},
      // An untagged first line is no tagged file; the editor then reads it as a word list.
      {true, "hello world\r\n<key>late\r\n", 0, {}},
      {false, "hello world\r\n<key>late\r\n", 4, {{"hello", ""}, {"key", ""}, {"late", ""}, {"world", ""}}},
      {false, "well-known, x_y\r\n42", 3, {{"42", ""}, {"well-known", ""}, {"x_y", ""}}},
      // Words longer than the word buffer are skipped whole.
      {false, "before " + longest + " " + tooLong + " middle " + huge + " after " + tooLong, 4,
       {{longest, ""}, {"after", ""}, {"before", ""}, {"middle", ""}}},
      // A word spanning two read chunks stays whole.
      {false, std::string(10235, ' ') + "splitword end", 2, {{"end", ""}, {"splitword", ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    CDictionary& dictionary = Open("t" + std::to_string(inputs_) + ".lib", DICT_TYPE_WORDS);
    dictionary.SetKeyLengthLimits(1, 5000);
    const std::string in = Input(c.text);
    EXPECT_EQ(c.tagged ? ImportTagged(dictionary, in.c_str(), nullptr) : ImportWordList(dictionary, in.c_str(), nullptr),
              c.count);
    EXPECT_EQ(AllEntries(dictionary), c.entries);
  }
}

TEST_F(Exchange, ImportAddsToTheFileAndCountsRefusedPairs) {
  CDictionary& dictionary = Open("t.lib", DICT_TYPE_WORDS);
  const std::string in = Input("<key>a\r\n<data>1\r\n<key>b\r\n<data>2\r\n");
  EXPECT_EQ(ImportTagged(dictionary, in.c_str(), nullptr), 2);
  EXPECT_EQ(ImportTagged(dictionary, in.c_str(), nullptr), 2);
  // Committed by the import: a second reader sees it before the close.
  CDictionary reader;
  ASSERT_TRUE(reader.Open(dictionary.GetPath().c_str()));
  EXPECT_EQ(reader.GetItemCount(), 4);

  CDictionary& scrambled = Open("s.lib", DICT_TYPE_WORDS);
  scrambled.SetScrambled(1);
  EXPECT_EQ(ImportTagged(scrambled, Input("<key>ok\r\n<data>fine\r\n<key>bad\x1dkey\r\n<data>x\r\n").c_str(), nullptr),
            2);
  EXPECT_EQ(AllEntries(scrambled), (Entries{{"ok", "fine"}}));

  EXPECT_EQ(ImportTagged(dictionary, dir_.File("none.txt").c_str(), nullptr), 0);
  EXPECT_EQ(ImportWordList(dictionary, dir_.File("none.txt").c_str(), nullptr), 0);
  EXPECT_EQ(ImportTagged(dictionary, "", nullptr), 0);
  CDictionary closed;
  EXPECT_EQ(ImportWordList(closed, in.c_str(), nullptr), 0);
}

TEST_F(Exchange, ImportReportsProgressAndStopsWhenCancelled) {
  std::string text;
  for (int i = 0; i < 25; ++i) text += "<key>k" + std::to_string(i) + "\r\n<data>d\r\n";
  const std::string in = Input(text);
  CDictionary& dictionary = Open("t.lib", DICT_TYPE_WORDS);
  FakeWait wait;
  EXPECT_EQ(ImportTagged(dictionary, in.c_str(), &wait), 25);
  EXPECT_EQ(wait.pumps, 50);  // before every line
  EXPECT_EQ(wait.texts.front(), "0 items have been imported!");
  EXPECT_NE(std::find(wait.texts.begin(), wait.texts.end(), "20 items have been imported!"), wait.texts.end());
  CDictionary& other = Open("u.lib", DICT_TYPE_WORDS);
  FakeWait cancel;
  cancel.cancelAfterPumps = 7;  // lines 1..6 read; the pending key of line 5 is still added
  EXPECT_EQ(ImportTagged(other, in.c_str(), &cancel), 3);
  EXPECT_EQ(other.GetItemCount(), 3);

  CDictionary& words = Open("w.lib", DICT_TYPE_WORDS);
  FakeWait stop;
  stop.cancelAfterTests = 5;  // after "one " and the 't' of "two"
  EXPECT_EQ(ImportWordList(words, Input("one two three four").c_str(), &stop), 2);  // with the word cut by the stop
  EXPECT_EQ(AllEntries(words), (Entries{{"one", ""}, {"t", ""}}));
}

TEST_F(Exchange, WordListUsesTheCodePageLettersAndNothingElse) {
  CodePageScope cp(1252);
  if (!cp.ok()) GTEST_SKIP() << "the system code page is not 1252";
  CDictionary& dictionary = Open("t.lib", DICT_TYPE_WORDS);
  // The times sign and the no-break space separate words.
  EXPECT_EQ(ImportWordList(dictionary, Input("caf\xe9\xd7na\xefve\xa0\x9c" "uvre").c_str(), nullptr), 3);
  EXPECT_EQ(AllEntries(dictionary), (Entries{{"caf\xe9", ""}, {"na\xefve", ""}, {"\x9c" "uvre", ""}}));

  CDictionary& garbage = Open("g.lib", DICT_TYPE_WORDS);
  const int32_t added = ImportWordList(garbage, Input(testutil::Junk(5000, 131, 7)).c_str(), nullptr);
  EXPECT_GT(added, 0);
  EXPECT_EQ(garbage.GetItemCount(), added);
  for (const auto& [key, data] : AllEntries(garbage)) {
    for (char c : key) {
      const auto b = static_cast<unsigned char>(c);
      EXPECT_TRUE(platform::IsCharAlphaNumeric(b) || c == '_' || c == '-') << int(b);
    }
  }
}

}  // namespace

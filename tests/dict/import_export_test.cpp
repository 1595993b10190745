// Tagged text export and import, word-list import, and the wait window's
// progress and cancel.
#include "dict/import_export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dict_test_util.h"

namespace {

using namespace dicttest;
using ::testing::ElementsAre;

// A wait window that records what it is told and can be cancelled after a
// number of pumps or cancel tests.
class FakeWait : public WaitProgress {
 public:
  void SetText(const std::string& text) override { texts.push_back(text); }
  void PumpMessages() override {
    ++pumps;
    if (cancelAfterPumps >= 0 && pumps >= cancelAfterPumps) cancelled = true;
  }
  bool IsCancelled() const override {
    ++tests;
    if (cancelAfterTests >= 0 && tests >= cancelAfterTests) cancelled = true;
    return cancelled;
  }

  std::vector<std::string> texts;
  int pumps = 0;
  mutable int tests = 0;
  mutable bool cancelled = false;
  int cancelAfterPumps = -1;
  int cancelAfterTests = -1;
};

std::vector<Entry> AllEntries(CDictionary& dictionary) {
  std::vector<Entry> entries;
  const int32_t header = dictionary.GetCaptionHeader();
  dictionary.SetCaptionHeader(0);
  DictItem item;
  for (bool found = dictionary.FindFirst("", item, DICT_MATCH_ALL); found; found = dictionary.FindNext(item))
    entries.push_back({std::string(item.Key()), std::string(item.Data())});
  dictionary.SetCaptionHeader(header);
  return entries;
}

MATCHER_P2(IsEntry, key, data, "") { return arg.key == key && arg.data == data; }

class Exchange : public ::testing::Test {
 protected:
  CDictionary& Open(const std::string& name, int type, const std::vector<Entry>& entries,
                    const std::string& caption = "Cap") {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(MakeDictionary(path, type, entries, caption));
    dictionaries_.push_back(std::make_unique<CDictionary>());
    EXPECT_TRUE(dictionaries_.back()->Open(path.c_str()));
    return *dictionaries_.back();
  }
  CDictionary& Empty(const std::string& name, int type = DICT_TYPE_WORDS) { return Open(name, type, {}); }

  ScratchDir dir_;
  std::vector<std::unique_ptr<CDictionary>> dictionaries_;
};

// --- Export --------------------------------------------------------------------

TEST_F(Exchange, ShorthandEntryExportsAsTwoTaggedLines) {
  CDictionary& dictionary = Open("s.lib", DICT_TYPE_SHORTHAND, {{"btw", "by the way"}});
  const std::string out = dir_.File("out.txt");
  EXPECT_EQ(ExportTagged(dictionary, out.c_str(), nullptr), 1);
  EXPECT_EQ(ReadFile(out), "<shortkey>btw\r\n<replacement text>by the way\r\n");
}

TEST_F(Exchange, WordsExportCarriesNoCaptionHeaderAndRestoresIt) {
  CDictionary& dictionary = Open("w.lib", DICT_TYPE_WORDS, {{"apple", "fruit"}, {"pie", ""}});
  const std::string out = dir_.File("out.txt");
  EXPECT_EQ(ExportTagged(dictionary, out.c_str(), nullptr), 2);
  EXPECT_EQ(ReadFile(out), "<key>apple\r\n<data>fruit\r\n<key>pie\r\n<data>\r\n");
  EXPECT_EQ(dictionary.GetCaptionHeader(), 1);
}

TEST_F(Exchange, MultiLineDataExportsAsContinuationLinesAndImportsBack) {
  CDictionary& source = Open("s.lib", DICT_TYPE_SHORTHAND, {{"sig", "Regards,\r\nMe"}});
  const std::string out = dir_.File("out.txt");
  ASSERT_EQ(ExportTagged(source, out.c_str(), nullptr), 1);
  EXPECT_EQ(ReadFile(out), "<shortkey>sig\r\n<replacement text>Regards,\r\nMe\r\n");
  CDictionary& target = Empty("t.lib", DICT_TYPE_SHORTHAND);
  EXPECT_EQ(ImportTagged(target, out.c_str(), nullptr), 1);
  EXPECT_THAT(AllEntries(target), ElementsAre(IsEntry("sig", "Regards,\r\nMe")));
}

TEST_F(Exchange, ExportFailsWithoutAFileOrAnOpenDictionary) {
  CDictionary& dictionary = Open("w.lib", DICT_TYPE_WORDS, {{"a", ""}});
  EXPECT_EQ(ExportTagged(dictionary, "", nullptr), 0);
  EXPECT_EQ(ExportTagged(dictionary, dir_.File("no/such/folder.txt").c_str(), nullptr), 0);
  CDictionary closed;
  EXPECT_EQ(ExportTagged(closed, dir_.File("x.txt").c_str(), nullptr), 0);
}

TEST_F(Exchange, ExportOfAnUnknownTypeLeavesAnEmptyFile) {
  CDictionary& dictionary = Open("w.lib", DICT_TYPE_WORDS, {{"a", ""}});
  dictionary.SetType(0);
  const std::string out = dir_.File("out.txt");
  EXPECT_EQ(ExportTagged(dictionary, out.c_str(), nullptr), 0);
  EXPECT_TRUE(fs::exists(out));
  EXPECT_EQ(ReadFile(out), "");
}

TEST_F(Exchange, WordsLongerThanTheLimitAreNotExported) {
  CDictionary& dictionary = Open("w.lib", DICT_TYPE_WORDS, {{std::string(501, 'x'), ""}, {"y", ""}});
  EXPECT_EQ(ExportTagged(dictionary, dir_.File("out.txt").c_str(), nullptr), 1);
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

// --- Tagged import -----------------------------------------------------------------

TEST_F(Exchange, TagsAreFoundAnywhereInTheLineAndEitherPairWorks) {
  const std::string in = dir_.File("in.txt");
  WriteFile(in, "junk<key>alpha\r\n<replacement text>first\r\n<shortkey>beta\r\nxx<data>second\n");
  CDictionary& dictionary = Empty("t.lib");
  EXPECT_EQ(ImportTagged(dictionary, in.c_str(), nullptr), 2);
  EXPECT_THAT(AllEntries(dictionary), ElementsAre(IsEntry("alpha", "first"), IsEntry("beta", "second")));
}

TEST_F(Exchange, TwoDataLinesJoinWithoutSeparator) {
  const std::string in = dir_.File("in.txt");
  WriteFile(in, "<key>k\r\n<data>one\r\n<data>two\r\n");
  CDictionary& dictionary = Empty("t.lib");
  EXPECT_EQ(ImportTagged(dictionary, in.c_str(), nullptr), 1);
  EXPECT_THAT(AllEntries(dictionary), ElementsAre(IsEntry("k", "onetwo")));
}

TEST_F(Exchange, ImportingTwiceDoublesTheEntries) {
  const std::string in = dir_.File("in.txt");
  WriteFile(in, "<key>a\r\n<data>1\r\n<key>b\r\n<data>2\r\n");
  CDictionary& dictionary = Empty("t.lib");
  EXPECT_EQ(ImportTagged(dictionary, in.c_str(), nullptr), 2);
  EXPECT_EQ(ImportTagged(dictionary, in.c_str(), nullptr), 2);
  EXPECT_EQ(dictionary.GetItemCount(), 4);
}

TEST_F(Exchange, UntaggedFirstLineIsNoTaggedFile) {
  const std::string in = dir_.File("in.txt");
  WriteFile(in, "hello world\r\n<key>late\r\n");
  CDictionary& dictionary = Empty("t.lib");
  EXPECT_EQ(ImportTagged(dictionary, in.c_str(), nullptr), 0);
  EXPECT_EQ(dictionary.GetItemCount(), 0);
  // The editor then reads it as a word list.
  EXPECT_EQ(ImportWordList(dictionary, in.c_str(), nullptr), 4);
}

TEST_F(Exchange, ImportedEntriesReachTheFile) {
  const std::string in = dir_.File("in.txt");
  WriteFile(in, "<key>kept\r\n<data>yes\r\n");
  CDictionary& dictionary = Empty("t.lib");
  ASSERT_EQ(ImportTagged(dictionary, in.c_str(), nullptr), 1);
  // Committed by the import: a second reader sees it before the close.
  CDictionary reader;
  ASSERT_TRUE(reader.Open(dictionary.GetPath().c_str()));
  EXPECT_EQ(reader.GetItemCount(), 1);
}

TEST_F(Exchange, ImportCountsPairsEvenWhenTheDictionaryRefusesOne) {
  const std::string in = dir_.File("in.txt");
  WriteFile(in, "<key>ok\r\n<data>fine\r\n<key>bad\x1dkey\r\n<data>x\r\n");
  CDictionary& dictionary = Empty("t.lib");
  dictionary.SetScrambled(1);
  EXPECT_EQ(ImportTagged(dictionary, in.c_str(), nullptr), 2);
  EXPECT_THAT(AllEntries(dictionary), ElementsAre(IsEntry("ok", "fine")));
}

TEST_F(Exchange, ImportReportsProgressAndStopsWhenCancelled) {
  std::string text;
  for (int i = 0; i < 25; ++i) text += "<key>k" + std::to_string(i) + "\r\n<data>d\r\n";
  const std::string in = dir_.File("in.txt");
  WriteFile(in, text);
  CDictionary& dictionary = Empty("t.lib");
  FakeWait wait;
  EXPECT_EQ(ImportTagged(dictionary, in.c_str(), &wait), 25);
  EXPECT_EQ(wait.pumps, 50);  // before every line
  EXPECT_EQ(wait.texts.front(), "0 items have been imported!");
  EXPECT_NE(std::find(wait.texts.begin(), wait.texts.end(), "20 items have been imported!"), wait.texts.end());
  CDictionary& other = Empty("u.lib");
  FakeWait cancel;
  cancel.cancelAfterPumps = 7;  // lines 1..6 read; the pending key of line 5 is still added
  EXPECT_EQ(ImportTagged(other, in.c_str(), &cancel), 3);
  EXPECT_EQ(other.GetItemCount(), 3);
}

TEST_F(Exchange, ImportFailsOnMissingFiles) {
  CDictionary& dictionary = Empty("t.lib");
  EXPECT_EQ(ImportTagged(dictionary, dir_.File("none.txt").c_str(), nullptr), 0);
  EXPECT_EQ(ImportWordList(dictionary, dir_.File("none.txt").c_str(), nullptr), 0);
  EXPECT_EQ(ImportTagged(dictionary, "", nullptr), 0);
  CDictionary closed;
  EXPECT_EQ(ImportWordList(closed, dir_.File("none.txt").c_str(), nullptr), 0);
}

// --- Word lists ------------------------------------------------------------------

TEST_F(Exchange, WordListTakesLettersDigitsUnderscoresAndHyphens) {
  const std::string in = dir_.File("in.txt");
  WriteFile(in, "well-known, x_y\r\n42");
  CDictionary& dictionary = Empty("t.lib");
  EXPECT_EQ(ImportWordList(dictionary, in.c_str(), nullptr), 3);
  EXPECT_THAT(AllEntries(dictionary), ElementsAre(IsEntry("42", ""), IsEntry("well-known", ""), IsEntry("x_y", "")));
}

TEST_F(Exchange, WordListUsesTheCodePageLetters) {
  CodePageScope cp(1252);
  if (!cp.ok()) GTEST_SKIP() << "the system code page is not 1252";
  const std::string in = dir_.File("in.txt");
  WriteFile(in, "caf\xe9\xd7na\xefve\xa0\x9c" "uvre");  // times sign and no-break space separate
  CDictionary& dictionary = Empty("t.lib");
  EXPECT_EQ(ImportWordList(dictionary, in.c_str(), nullptr), 3);
  EXPECT_THAT(AllEntries(dictionary),
              ElementsAre(IsEntry("caf\xe9", ""), IsEntry("na\xefve", ""), IsEntry("\x9c" "uvre", "")));
}

TEST_F(Exchange, WordsLongerThanTheBufferAreSkippedWhole) {
  const std::string in = dir_.File("in.txt");
  const std::string longest(kMaxImportWordLength, 'a');   // fits
  const std::string tooLong(kMaxImportWordLength + 1, 'b');
  const std::string huge(20000, 'c');                      // spans two read chunks
  WriteFile(in, "before " + longest + " " + tooLong + " middle " + huge + " after " + tooLong);
  CDictionary& dictionary = Empty("t.lib");
  dictionary.SetKeyLengthLimits(1, 5000);
  EXPECT_EQ(ImportWordList(dictionary, in.c_str(), nullptr), 4);
  EXPECT_THAT(AllEntries(dictionary), ElementsAre(IsEntry(longest, ""), IsEntry("after", ""),
                                                  IsEntry("before", ""), IsEntry("middle", "")));
}

TEST_F(Exchange, WordSpanningTwoChunksStaysWhole) {
  const std::string in = dir_.File("in.txt");
  std::string text(10235, ' ');
  text += "splitword end";
  WriteFile(in, text);
  CDictionary& dictionary = Empty("t.lib");
  EXPECT_EQ(ImportWordList(dictionary, in.c_str(), nullptr), 2);
  EXPECT_THAT(AllEntries(dictionary), ElementsAre(IsEntry("end", ""), IsEntry("splitword", "")));
}

TEST_F(Exchange, BinaryGarbageAddsOnlyWhatTheWordRuleExtracts) {
  const std::string in = dir_.File("in.bin");
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>((i * 131 + 7) % 256);
  WriteFile(in, bytes);
  CDictionary& dictionary = Empty("t.lib");
  const int32_t added = ImportWordList(dictionary, in.c_str(), nullptr);
  EXPECT_GT(added, 0);
  EXPECT_EQ(dictionary.GetItemCount(), added);
  for (const Entry& entry : AllEntries(dictionary)) {
    for (char c : entry.key) {
      const auto b = static_cast<unsigned char>(c);
      EXPECT_TRUE(platform::IsCharAlphaNumeric(b) || c == '_' || c == '-') << int(b);
    }
  }
}

TEST_F(Exchange, WordListStopsWhenCancelled) {
  const std::string in = dir_.File("in.txt");
  WriteFile(in, "one two three four");
  CDictionary& dictionary = Empty("t.lib");
  FakeWait cancel;
  cancel.cancelAfterTests = 5;  // after "one " and the 't' of "two"
  EXPECT_EQ(ImportWordList(dictionary, in.c_str(), &cancel), 2);  // "one" and the word cut by the stop
  EXPECT_THAT(AllEntries(dictionary), ElementsAre(IsEntry("one", ""), IsEntry("t", "")));
}

}  // namespace
